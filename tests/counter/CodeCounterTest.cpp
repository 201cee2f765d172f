#include "counter/CodeCounter.h"
#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <tuple>

#include <unistd.h>

namespace norvane::counter {
namespace {

using norvane::testing::TemporaryFolder;
namespace fs = std::filesystem;

// Files per language name, for trees where which files were seen is what matters.
std::map<std::string, std::int64_t> filesPerLanguage(const fs::path& path, unsigned threads = 0) {
    std::map<std::string, std::int64_t> files;
    for (const auto& row : CodeCounter(threads).count(path.string()).rows) files[row.name] = row.files;
    return files;
}

TEST(CodeCounter, GitignoreNegationFolderRulesAndAnchors) {
    const TemporaryFolder folder;
    folder.writeFile(".gitignore", "*.txt\n!keep.txt\nbuild/\n/top.c\n**/gen/*.go\n# *.rs\n");
    folder.writeFile("a.txt", "ignored\n");
    folder.writeFile("keep.txt", "kept\n");
    folder.writeFile("build/out.c", "int x;\n");
    folder.writeFile("tools/build", "cc_library(name = \"x\")\n"); // a file named like the folder rule
    folder.writeFile("top.c", "int top;\n");
    folder.writeFile("src/top.c", "int top;\n");
    folder.writeFile("a/b/gen/x.go", "package gen\n");
    folder.writeFile("a/b/main.go", "package main\n");
    folder.writeFile("lib.rs", "fn f() {}\n");
    EXPECT_EQ(filesPerLanguage(folder.path()),
              (std::map<std::string, std::int64_t>{
                  {"Bazel", 1}, {"C", 1}, {"Go", 1}, {"Plain Text", 1}, {"Rust", 1}, {"gitignore", 1}}));
}

TEST(CodeCounter, DeeperIgnoreFilesOverrideHigherOnes) {
    const TemporaryFolder folder;
    folder.writeFile(".gitignore", "*.c\n");
    folder.writeFile("a.c", "int a;\n");
    folder.writeFile("sub/.gitignore", "!keep.c\n");
    folder.writeFile("sub/keep.c", "int keep;\n");
    folder.writeFile("sub/other.c", "int other;\n");
    folder.writeFile("sub/deeper/.ignore", "*.py\n");
    folder.writeFile("sub/deeper/.gitignore", "!*.py\n*.rs\n");
    folder.writeFile("sub/deeper/x.py", "x = 1\n");
    folder.writeFile("sub/deeper/y.rs", "fn y() {}\n");
    folder.writeFile("z.py", "z = 1\n");
    EXPECT_EQ(filesPerLanguage(folder.path()),
              (std::map<std::string, std::int64_t>{{"C", 1}, {"Python", 1}, {"gitignore", 3}, {"ignore", 1}}));
}

TEST(CodeCounter, SkipsVersionControlFoldersBinaryAndUnknownFiles) {
    const TemporaryFolder folder;
    folder.writeFile(".git/hooks/pre-commit.sh", "exit 0\n");
    folder.writeFile(".hg/x.py", "x = 1\n");
    folder.writeFile(".svn/x.c", "int x;\n");
    folder.writeFile("blob.c", std::string("\x00\x01\x02int x;\n", 10));
    folder.writeFile("data.xyz", "whatever\n");
    folder.writeFile("README", "text\n");
    folder.writeFile(".github/ci.yml", "on: push\n");
    folder.writeFile("main.c", "int main(void) { return 0; }\n");
    EXPECT_EQ(filesPerLanguage(folder.path()), (std::map<std::string, std::int64_t>{{"C", 1}, {"YAML", 1}}));
}

TEST(CodeCounter, ScriptsWithoutExtensionAreKnownByTheirFirstLineInAFolderOrAlone) {
    const TemporaryFolder folder;
    folder.writeFile("bin/deploy", "#!/usr/bin/env python3\n# c\nprint(1)\n");
    folder.writeFile("bin/setup", "#!/bin/sh\necho hi\n");
    folder.writeFile("bin/tool", std::string("\x7f"
                                             "ELF\x02\x01\x01\x00",
                                             8));
    folder.writeFile("bin/notes", "just text\n");
    folder.writeFile("bin/run.unknown", "#!/bin/sh\necho hi\n");
    const auto rows = CodeCounter().count(folder.path().string()).rows;
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0], (LanguageSummary{"Python", 1, FileCounts{3, 1, 2, 0, 0}}));
    EXPECT_EQ(rows[1], (LanguageSummary{"Shell", 1, FileCounts{2, 1, 1, 0, 0}}));
    EXPECT_EQ(filesPerLanguage(folder.path() / "bin/setup"), (std::map<std::string, std::int64_t>{{"Shell", 1}}));
    EXPECT_TRUE(CodeCounter().count((folder.path() / "bin/notes").string()).rows.empty());
}

TEST(CodeCounter, SymbolicLinksAreNotFollowed) {
    const TemporaryFolder folder;
    folder.writeFile("real/a.c", "int a;\n");
    fs::create_directory_symlink("..", folder.path() / "real/loop");
    fs::create_directory_symlink(folder.path() / "real", folder.path() / "again");
    fs::create_symlink(folder.path() / "real/a.c", folder.path() / "link.c");
    fs::create_symlink(folder.path() / "missing.c", folder.path() / "dangling.c");
    EXPECT_EQ(filesPerLanguage(folder.path()), (std::map<std::string, std::int64_t>{{"C", 1}}));
}

TEST(CodeCounter, WhatCannotBeReadIsSkippedAndCountedButTheFolderAskedForMustBeRead) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root; run the counter tests as another user to cover this";
    }
    const TemporaryFolder folder;
    folder.writeFile("open/a.c", "int a;\n");
    folder.writeFile("open/secret.c", "int s;\n");
    folder.writeFile("open/.gitignore", "*.o\n");
    folder.writeFile("closed/b.c", "int b;\n");
    fs::permissions(folder.path() / "closed", fs::perms::none);
    fs::permissions(folder.path() / "open/secret.c", fs::perms::none);
    fs::permissions(folder.path() / "open/.gitignore", fs::perms::none);
    for (const unsigned threads : {1U, 4U}) {
        const auto report = CodeCounter(threads).count(folder.path().string());
        ASSERT_EQ(report.rows.size(), 1U);
        EXPECT_EQ(report.rows[0].files, 1);
        EXPECT_EQ(std::tuple(report.skipped.files(), report.skipped.folders()), std::tuple(2, 1));
        EXPECT_EQ(report.skipped.describe(), "skipped 2 files and 1 folder that could not be read, such as " +
                                                 (folder.path() / "closed").string() + " (Permission denied)");
    }
    fs::permissions(folder.path(), fs::perms::none);
    EXPECT_THROW(CodeCounter().count(folder.path().string()), std::system_error);
    fs::permissions(folder.path(), fs::perms::owner_all);
}

TEST(CodeCounter, FileNamesThatAreNotUtf8) {
    const TemporaryFolder folder;
    folder.writeFile("caf\xE9.py", "x = 1\n");
    folder.writeFile("d\xFF\xFE/x.c", "int x;\n");
    folder.writeFile("d\xFF\xFE/.gitignore", "*\xE9.rs\n");
    folder.writeFile("d\xFF\xFE/caf\xE9.rs", "fn f() {}\n");
    EXPECT_EQ(filesPerLanguage(folder.path()),
              (std::map<std::string, std::int64_t>{{"C", 1}, {"Python", 1}, {"gitignore", 1}}));
}

TEST(CodeCounter, RowsDoNotDependOnTheNumberOfThreads) {
    const TemporaryFolder folder;
    for (int index = 0; index < 300; ++index) {
        std::string name = "m";
        name.append(std::to_string(index % 7)).append("/f").append(std::to_string(index));
        folder.writeFile(name + ".c", std::string(static_cast<std::size_t>(index % 5), '\n') + "int x; // c\n");
        folder.writeFile(name + ".py", "if x:\n    pass\n" + std::string(static_cast<std::size_t>(index % 3), '#'));
    }
    const auto single = CodeCounter(1).count(folder.path().string()).rows;
    EXPECT_EQ(CodeCounter(3).count(folder.path().string()).rows, single);
    EXPECT_EQ(CodeCounter(8).count(folder.path().string()).rows, single);
    ASSERT_EQ(single.size(), 2U);
    EXPECT_EQ(single[0].name, "C");
    EXPECT_EQ(single[0].files, 300);
}

} // namespace
} // namespace norvane::counter
