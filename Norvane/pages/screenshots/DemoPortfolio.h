#pragma once

#include <filesystem>

namespace norvane {
class NorvaneKit;
}

namespace norvane::app {

/// The demo store: a few repositories of different languages and ages, made under `folder`,
/// added through the facade and measured by its first collection (the counter and the history
/// import); the oldest one is archived afterwards. Commit dates are whole days before now, so
/// the pictures look the same whenever they are made. Throws what a step fails with.
namespace DemoPortfolio {

void create(const std::filesystem::path& folder, NorvaneKit& kit);

} // namespace DemoPortfolio
} // namespace norvane::app
