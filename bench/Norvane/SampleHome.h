#pragma once

#include <filesystem>
#include <string>

class QApplication;

namespace norvane::app {

/// A home folder of its own for the application benchmarks, with the store filled once with the
/// portfolio that NORVANE_BENCH_PORTFOLIO names ("weekly" when unset; see PortfolioShape) and today's
/// count of every project (so the scheduler's start-up check finds nothing to collect); removed when
/// it goes. The store is filled by a child process, so that what this process holds is what the
/// application holds. Made before anything reads the home folder or picks a display (it picks the
/// offscreen one unless told otherwise).
class SampleHome {
public:
    explicit SampleHome(const std::string& name);
    ~SampleHome();
    SampleHome(const SampleHome&) = delete;
    SampleHome& operator=(const SampleHome&) = delete;

    /// Bounds the memory the application holds, names it and gives it its theme as the real one
    /// does, and marks the first-run wizard as done: it follows the window later and is not what
    /// the benchmarks measure.
    static void prepare(QApplication& application);

private:
    std::filesystem::path folder_;
};

} // namespace norvane::app
