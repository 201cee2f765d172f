#include "core/collection/OutputCategoryClassifier.h"
#include "core/collection/GitService.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using Classifier = std::pair<const char*, OutputCategory>;

TEST(OutputCategoryClassifier, PathsWithTestMarkersAreTests) {
    for (const auto* path : {"src/LatestTest_Utils.swift", "lib/latest_version.py", "app/foo_test.go",
                             "web/button.spec.ts", "Tests/AppTests.swift", "pkg/specs/a.rb", "x/TEST/y.c"}) {
        EXPECT_EQ(GitService::categorize(path), OutputCategory::tests) << path;
    }
    // "/test/" needs a slash before it, and only "tests/" counts as a prefix.
    EXPECT_EQ(GitService::categorize("test/app.c"), OutputCategory::code);
}

TEST(OutputCategoryClassifier, ExtensionComesBeforeFileName) {
    const std::vector<Classifier> cases{
        {"notes.TXT", OutputCategory::docs},         {"CMakeLists.txt", OutputCategory::docs},
        {"Makefile", OutputCategory::config},        {"build.dockerfile", OutputCategory::config},
        {".gitignore", OutputCategory::code},        {"x.gitignore", OutputCategory::config},
        {"LICENSE", OutputCategory::config},         {"README", OutputCategory::code},
        {"dir.v2/Makefile", OutputCategory::config}, {"", OutputCategory::code},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(GitService::categorize(path), expected) << path;
}

TEST(OutputCategoryClassifier, LanguageNamesCompareWholeAndIgnoreCase) {
    using OutputCategoryClassifier::categorize;
    EXPECT_EQ(categorize("Markdown"), OutputCategory::docs);
    EXPECT_EQ(categorize("Plain Text"), OutputCategory::docs);
    for (const auto* language : {"JSON", "YAML", "Shell", "BASH", "Makefile", "License"}) {
        EXPECT_EQ(categorize(language), OutputCategory::config) << language;
    }
    EXPECT_EQ(categorize("Go"), OutputCategory::code);
    EXPECT_EQ(categorize("Properties File"), OutputCategory::code);
    EXPECT_EQ(categorize("Python", "src/tests/util.py"), OutputCategory::tests);
    EXPECT_EQ(categorize("Markdown", "docs/readme.md"), OutputCategory::docs);
}

} // namespace
} // namespace norvane
