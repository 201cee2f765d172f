#include "Norvane/state/UpdateFeed.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

namespace norvane::app {
namespace {

std::optional<std::vector<std::uint64_t>> versionComponents(std::string_view version) {
    std::vector<std::uint64_t> components;
    while (true) {
        const auto dot = version.find('.');
        const std::string_view part = version.substr(0, dot);
        std::uint64_t number = 0;
        const auto [last, error] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (part.empty() || error != std::errc() || last != part.data() + part.size()) {
            return std::nullopt;
        }
        components.push_back(number);
        if (dot == std::string_view::npos) {
            return components;
        }
        version.remove_prefix(dot + 1);
    }
}

} // namespace

std::optional<UpdateFeed> UpdateFeed::parse(std::string_view document) {
    const auto json = nlohmann::json::parse(document, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    const auto version = json.find("version");
    const auto url = json.find("url");
    if (version == json.end() || url == json.end() || !version->is_string() || !url->is_string()) {
        return std::nullopt;
    }
    UpdateFeed feed{version->get<std::string>(), url->get<std::string>()};
    const bool webAddress = feed.url.starts_with("https://") || feed.url.starts_with("http://");
    if (!versionComponents(feed.version) || !webAddress) {
        return std::nullopt;
    }
    return feed;
}

std::optional<std::strong_ordering> compareVersions(std::string_view left, std::string_view right) {
    auto leftComponents = versionComponents(left);
    auto rightComponents = versionComponents(right);
    if (!leftComponents || !rightComponents) {
        return std::nullopt;
    }
    const auto length = std::max(leftComponents->size(), rightComponents->size());
    leftComponents->resize(length, 0);
    rightComponents->resize(length, 0);
    return *leftComponents <=> *rightComponents;
}

} // namespace norvane::app
