#pragma once

#include <filesystem>

namespace norvane::app {

/// A home folder of its own for the application benchmarks, with the store filled once with the
/// 50-project portfolio and today's count of every project (so the scheduler's start-up check finds
/// nothing to collect); removed when it goes. Made before anything reads the home folder.
class SampleHome {
public:
    explicit SampleHome(const std::string& name);
    ~SampleHome();
    SampleHome(const SampleHome&) = delete;
    SampleHome& operator=(const SampleHome&) = delete;

private:
    std::filesystem::path folder_;
};

} // namespace norvane::app
