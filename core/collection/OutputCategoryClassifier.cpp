#include "core/collection/OutputCategoryClassifier.h"

#include "platform/UnicodeText.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <unordered_map>

namespace norvane::OutputCategoryClassifier {
namespace {

using namespace std::string_view_literals;

constexpr std::array testPathMarkers{"/test/"sv, "/tests/"sv, "_test."sv, ".spec."sv,
                                     "test_"sv,  ".test."sv,  "/spec/"sv, "/specs/"sv};

constexpr std::array docsLanguages{"markdown"sv,         "rst"sv, "asciidoc"sv, "text"sv, "plain text"sv,
                                   "restructuredtext"sv, "org"sv, "creole"sv};

constexpr std::array configLanguages{
    "json"sv,  "yaml"sv,      "yml"sv,      "toml"sv,           "xml"sv,    "dockerfile"sv, "properties"sv, "ini"sv,
    "env"sv,   "dotenv"sv,    "makefile"sv, "cmake"sv,          "gradle"sv, "maven pom"sv,  "gitignore"sv,  "license"sv,
    "shell"sv, "bash"sv,      "zsh"sv,      "fish"sv,           "batch"sv,  "powershell"sv, "awk"sv,        "sed"sv,
    "nix"sv,   "terraform"sv, "hcl"sv,      "docker compose"sv, "helm"sv,   "kustomize"sv};

constexpr std::array docsExtensions{"md"sv,       "markdown"sv, "rst"sv, "txt"sv,
                                    "asciidoc"sv, "adoc"sv,     "org"sv, "creole"sv};

constexpr std::array configExtensions{
    "json"sv,         "yaml"sv,      "yml"sv,           "toml"sv,         "xml"sv,     "plist"sv,
    "ini"sv,          "cfg"sv,       "conf"sv,          "config"sv,       "env"sv,     "dockerfile"sv,
    "dockerignore"sv, "gitignore"sv, "gitattributes"sv, "editorconfig"sv, "sh"sv,      "bash"sv,
    "zsh"sv,          "fish"sv,      "bat"sv,           "ps1"sv,          "psm1"sv,    "makefile"sv,
    "cmake"sv,        "gradle"sv,    "properties"sv,    "lock"sv,         "resolved"sv};

constexpr std::array configFileNames{"dockerfile"sv,        "makefile"sv,     "gemfile"sv,       "rakefile"sv,
                                     "procfile"sv,          "brewfile"sv,     "podfile"sv,       "fastfile"sv,
                                     "appfile"sv,           "matchfile"sv,    "license"sv,       "licence"sv,
                                     "authors"sv,           "contributors"sv, "changelog"sv,     "package.resolved"sv,
                                     "package-lock.json"sv, "yarn.lock"sv,    "pnpm-lock.yaml"sv};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool hasTestMarker(std::string_view lowercasedPath) {
    return std::any_of(testPathMarkers.begin(), testPathMarkers.end(),
                       [&](std::string_view marker) { return lowercasedPath.find(marker) != std::string_view::npos; });
}

std::string_view lastComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

/// The text after the last component's last ".", unless that "." is the component's first
/// character (".gitignore" has no extension).
std::string_view extension(std::string_view path) {
    const auto name = lastComponent(path);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return name.substr(dot + 1);
}

} // namespace

OutputCategory categorize(std::string_view language, std::optional<std::string_view> filePath) {
    if (filePath && hasTestMarker(platform::UnicodeText::lowercased(*filePath))) {
        return OutputCategory::tests;
    }
    const auto name = platform::UnicodeText::lowercased(language);
    if (contains(docsLanguages, name)) {
        return OutputCategory::docs;
    }
    if (contains(configLanguages, name)) {
        return OutputCategory::config;
    }
    return OutputCategory::code;
}

namespace {

OutputCategory categorizeNewPath(std::string_view path) {
    const auto lowered = platform::UnicodeText::lowercased(path);
    if (hasTestMarker(lowered) || lowered.starts_with("tests/")) {
        return OutputCategory::tests;
    }
    const auto ext = extension(lowered);
    if (contains(docsExtensions, ext)) {
        return OutputCategory::docs;
    }
    if (contains(configExtensions, ext)) {
        return OutputCategory::config;
    }
    if (contains(configFileNames, lastComponent(lowered))) {
        return OutputCategory::config;
    }
    return OutputCategory::code;
}

struct PathHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view path) const { return std::hash<std::string_view>()(path); }
};

/// Enough for the paths a history of thousands of files names, in a few hundred kilobytes; past
/// it the paths are worked out afresh.
constexpr std::size_t rememberedPaths = 1 << 12;

} // namespace

OutputCategory categorizePath(std::string_view path) {
    // A history names the same paths commit after commit: each thread keeps what it worked out.
    thread_local std::unordered_map<std::string, OutputCategory, PathHash, std::equal_to<>> known;
    if (const auto found = known.find(path); found != known.end()) {
        return found->second;
    }
    const auto category = categorizeNewPath(path);
    if (known.size() >= rememberedPaths) {
        known.clear();
    }
    known.emplace(path, category);
    return category;
}

} // namespace norvane::OutputCategoryClassifier
