#include "counter/CodeCounter.h"
#include "counter/FileReader.h"
#include "counter/LongFileCount.h"
#include "platform/ProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include <fcntl.h>
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
    folder.writeFile("tools/build", "#!/bin/sh\nmake\n"); // a file named like the folder rule
    folder.writeFile("top.c", "int top;\n");
    folder.writeFile("src/top.c", "int top;\n");
    folder.writeFile("a/b/gen/x.go", "package gen\n");
    folder.writeFile("a/b/main.go", "package main\n");
    folder.writeFile("lib.rs", "fn f() {}\n");
    EXPECT_EQ(filesPerLanguage(folder.path()),
              (std::map<std::string, std::int64_t>{
                  {"C", 1}, {"Go", 1}, {"Plain Text", 1}, {"Rust", 1}, {"Shell", 1}, {"gitignore", 1}}));
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
    // A folder whose only ignore file is .ignore.
    folder.writeFile("other/.ignore", "*.rs\n!keep.c\n");
    folder.writeFile("other/w.rs", "fn w() {}\n");
    folder.writeFile("other/keep.c", "int keep;\n");
    EXPECT_EQ(filesPerLanguage(folder.path()),
              (std::map<std::string, std::int64_t>{{"C", 2}, {"Python", 1}, {"gitignore", 3}, {"ignore", 2}}));
}

// An ignore file of any size is applied where its patterns fit, as git applies it: one larger than
// 100 MB is no more left out than one of 100 MB.
TEST(CodeCounter, AnIgnoreFileOfAnySizeIsAppliedWhereItsPatternsFit) {
    for (const std::uintmax_t size : {std::uintmax_t{100} << 20, (std::uintmax_t{100} << 20) + 1}) {
        const TemporaryFolder folder;
        // The rest is NUL bytes, which make the file no text to count either.
        const fs::path ignoreFile = folder.writeFile("sub/.gitignore", "*.c\n");
        fs::resize_file(ignoreFile, size);
        folder.writeFile("sub/a.c", "int a;\n");
        const auto report = CodeCounter().count(folder.path().string());
        EXPECT_TRUE(report.rows.empty()) << size;
        EXPECT_TRUE(report.skipped.empty()) << report.skipped.describe();
    }
}

// Ignore lines of 24 or 25 bytes, whose records take 29 or 30 bytes of the bound: 760 of them take
// 22 KB, so that two such files nested fit 64 KB, and three do not, even counted in whole pages.
// None names "kept.c"; the first names "long_pattern_name_100x.c".
std::string patternLines(int first, int count) {
    std::string text;
    for (int index = first; index < first + count; ++index) {
        text += "long_pattern_name_" + std::to_string(100 + index) + "*.c\n";
    }
    return text;
}

// The patterns in force in a folder, its own and those of the folders above it, share one bound,
// so that ignore files cannot add up to more memory than one may take. Ignore files beyond it fail
// the count, which would otherwise count what they name.
TEST(CodeCounter, IgnoreFilesBeyondTheBoundOfTheirPatternsFailTheCount) {
    constexpr std::size_t bound = 64 * 1024;
    const auto lines = patternLines;
    struct Case {
        std::vector<std::string> ignoreFiles; // each in a folder below the one before
        std::string refused;                  // empty: the count succeeds
    };
    const Case cases[] = {
        {{lines(0, 1500)}, ""},
        {{lines(0, 760), lines(760, 760)}, ""},
        {{lines(0, 760), lines(760, 760), lines(1520, 760)}, "a/b/.gitignore"},
        {{lines(0, 1500), lines(1500, 1500)}, "a/.gitignore"},
        {{lines(0, 4000)}, ".gitignore"},
    };
    for (const auto& c : cases) {
        const TemporaryFolder folder;
        std::string below;
        for (const auto& contents : c.ignoreFiles) {
            folder.writeFile(below + ".gitignore", contents);
            folder.writeFile(below + "long_pattern_name_100x.c", "int ignored;\n");
            folder.writeFile(below + "kept.c", "int kept;\n");
            below += below.empty() ? "a/" : "b/";
        }
        const auto counted = [&] { return CodeCounter(2, bound).count(folder.path().string()); };
        if (c.refused.empty()) {
            const auto rows = counted().rows;
            EXPECT_EQ(rows.front(), (LanguageSummary{"C", static_cast<std::int64_t>(c.ignoreFiles.size()),
                                                     FileCounts{std::ssize(c.ignoreFiles), std::ssize(c.ignoreFiles)}}))
                << c.ignoreFiles.size();
            continue;
        }
        try {
            counted();
            ADD_FAILURE() << c.refused << " was applied";
        } catch (const std::length_error& error) {
            EXPECT_THAT(error.what(), ::testing::StartsWith("cannot apply " + (folder.path() / c.refused).string() +
                                                            ": the ignore patterns in force in its folder would "
                                                            "take more than 64 KB ("));
        }
    }
}

/// 2,000 lines of three character classes: a class is a set of 256 bits, so that a line takes more
/// than 96 bytes of patterns for its 22 of text, and 64 KB of patterns are made of less than 16 KB.
std::string classLines() {
    std::string classes;
    for (int index = 0; index < 2000; ++index) classes += "[ab][cd][ef]" + std::to_string(100000 + index) + "*.c\n";
    return classes;
}

/// The two figures that the refusal of a count of `folder` within 64 KB of patterns gives, as
/// `figures` (a pattern of what it says in brackets) reads them.
std::vector<int> refusalFigures(const fs::path& folder, const std::string& figures) {
    try {
        CodeCounter(1, 64 * 1024).count(folder.string());
        ADD_FAILURE() << "the classes were applied";
    } catch (const std::length_error& error) {
        std::cmatch found;
        if (std::regex_match(
                error.what(), found,
                std::regex(".*: the ignore patterns in force in its folder would take more than 64 KB \\(" + figures +
                           "\\)"))) {
            return {std::stoi(found[1]), std::stoi(found[2])};
        }
        ADD_FAILURE() << error.what();
    }
    return {0, 0};
}

TEST(CodeCounter, ARefusalSaysHowMuchOfTheIgnoreFileMadeHowManyPatterns) {
    const TemporaryFolder folder;
    folder.writeFile(".gitignore", "*.o\n");
    folder.writeFile("sub/.gitignore", classLines());
    const auto figures = refusalFigures(
        folder.path(), "its first (\\d+) KB made (\\d+) KB of patterns, the other ignore files in force 4 KB");
    EXPECT_LT(figures[0], 16);
    EXPECT_GE(figures[1], 56);
}

// A refusal in a later read of the file says how far into the file, not into that read: 3 MB of
// comment lines make no pattern.
TEST(CodeCounter, ARefusalSaysHowMuchOfAnIgnoreFileLongerThanOneReadMadeThePatterns) {
    const TemporaryFolder folder;
    std::string comments;
    while (comments.size() < 3 * 1024 * 1024) comments += "# " + std::string(61, 'c') + "\n";
    folder.writeFile(".gitignore", comments + classLines());
    const auto figures = refusalFigures(folder.path(), "its first (\\d+) MB made (\\d+) KB of patterns");
    EXPECT_EQ(figures[0], 3);
    EXPECT_GE(figures[1], 56);
    EXPECT_LE(figures[1], 64);
}

// A folder's patterns are given back to the bound when the walk below it ends: sibling folders with
// far more patterns together than the bound (81 ignore files of a page each, against 4 pages, of
// which 3 are in force at most) are counted, however many threads hold some at once.
TEST(CodeCounter, AFoldersIgnorePatternsAreGivenBackToTheBoundWhenItsWalkEnds) {
    constexpr int folders = 40;
    const TemporaryFolder folder;
    folder.writeFile(".gitignore", patternLines(0, 20));
    for (int index = 0; index < folders; ++index) {
        const std::string below = std::string("m").append(std::to_string(index)).append("/");
        folder.writeFile(below + ".gitignore", patternLines(20 * index, 40));
        folder.writeFile(below + "sub/.gitignore", patternLines(0, 30));
        folder.writeFile(below + "sub/long_pattern_name_100x.c", "int ignored;\n");
        folder.writeFile(below + "sub/kept.c", "int kept;\n");
    }
    for (const unsigned threads : {1U, 4U, 8U}) {
        // Every ignore file counts too, each of its lines as code: 20 + 40 x (40 + 30).
        EXPECT_EQ(CodeCounter(threads, 16 * 1024).count(folder.path().string()).rows,
                  (std::vector<LanguageSummary>{{"gitignore", 2 * folders + 1, FileCounts{2820, 2820}},
                                                {"C", folders, FileCounts{folders, folders}}}))
            << threads;
    }
}

TEST(CodeCounter, SkipsVersionControlFoldersBinaryAndUnknownFiles) {
    const TemporaryFolder folder;
    folder.writeFile(".git/hooks/pre-commit.sh", "exit 0\n");
    folder.writeFile(".hg/x.py", "x = 1\n");
    folder.writeFile(".svn/x.c", "int x;\n");
    folder.writeFile("blob.c", std::string("\x00\x01\x02int x;\n", 10));
    // A NUL among the first 10,000 bytes tells a binary file, one after them does not.
    folder.writeFile("late-blob.c", std::string(9999, '\n') + std::string(1, '\0') + "int x;\n");
    folder.writeFile("text.c", std::string(10000, '\n') + std::string(1, '\0') + "int x;\n");
    folder.writeFile("data.xyz", "whatever\n");
    folder.writeFile("README", "text\n");
    folder.writeFile(".github/ci.yml", "on: push\n");
    folder.writeFile("main.c", "int main(void) { return 0; }\n");
    EXPECT_EQ(filesPerLanguage(folder.path()), (std::map<std::string, std::int64_t>{{"C", 2}, {"YAML", 1}}));
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

// A link whose own name tells nothing, as /dev/stdin or /proc/self/fd/3, is known by the name of the
// file it leads to.
TEST(CodeCounter, AFileAskedForThroughItsDescriptorIsKnownByItsOwnName) {
    const TemporaryFolder folder;
    const auto path = folder.writeFile("main.c", "int main(void) { return 0; }\n");
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    const auto rows = CodeCounter(1).count("/proc/self/fd/" + std::to_string(descriptor)).rows;
    ::close(descriptor);
    EXPECT_EQ(rows, (std::vector<LanguageSummary>{{"C", 1, FileCounts{1, 1}}}));
}

TEST(CodeCounter, DecidesEachFilesLanguageAsItsNameAndContentsSay) {
    struct Case {
        const char* fileName;
        const char* contents;
        const char* language; // empty: the file is not counted
        std::int64_t code = 0;
        std::int64_t comment = 0;
        std::int64_t blank = 0;
    };
    const Case cases[] = {
        // YAML and JSON are CloudFormation only when they are templates, whatever words they hold.
        {"a.yml", "releaseType: python\nhandleGHRelease: true\n", "YAML", 2},
        {"b.yml", "releaseType: a\nserviceAccountName: b\nadditionalProperties: c\n", "YAML", 3},
        {"deployment.yaml",
         "kind: Deployment\nspec:\n  serviceAccountName: web\n  env:\n    - valueFrom:\n        secretKeyRef:\n"
         "          name: s\n",
         "YAML", 7},
        {"other.yml", "Resources:\n  Thing:\n    Type: Custom\n", "YAML", 3},
        {"indented.yml", "x:\n  AWSTemplateFormatVersion: '2010-09-09'\n", "YAML", 2},
        {"stack.yaml", "AWSTemplateFormatVersion: '2010-09-09'\n# demo\nResources:\n  B:\n    Type: AWS::S3::Bucket\n",
         "CloudFormation (YAML)", 4, 1},
        {"sam.yml", "Transform: x\nResources:\n  Fn:\n    Type: 'AWS::Serverless::Function'\n", "CloudFormation (YAML)",
         4},
        {"a.json", "{\"name\": \"x\", \"Type\": \"AWS::S3::Bucket\", \"Description\": \"Fn::Sub Fn::If\"}\n", "JSON",
         1},
        {"nested.json", "{\"config\": {\"AWSTemplateFormatVersion\": \"2010-09-09\"}}\n", "JSON", 1},
        {"template.json", "{\n  \"AWSTemplateFormatVersion\": \"2010-09-09\",\n  \"Resources\": {}\n}\n",
         "CloudFormation (JSON)", 4},
        {"resources.json", "{\"Resources\": {\"Queue\": {\"Type\": \"AWS::SQS::Queue\"}}}\n", "CloudFormation (JSON)",
         1},
        // A name without an extension is not one: the first line tells a script's language.
        {"java", "#!/bin/sh\n# hi\necho x\n", "Shell", 1, 2},
        {"go", "#!/bin/sh\n# hi\necho x\n", "Shell", 1, 2},
        {"py", "#!/bin/sh\n# hi\necho x\n", "Shell", 1, 2},
        {"js", "#!/bin/sh\n# hi\necho x\n", "Shell", 1, 2},
        {"c", "#!/bin/sh\n# hi\necho x\n", "Shell", 1, 2},
        {".profile2", "#!/bin/sh\necho x\n", "Shell", 1, 1},
        {"c", "int x;\n", ""},
        {"BUILD", "cc_library(name = \"x\")\n", ""},
        {".yml", "x: 1\n", ""},
        {"Makefile", "all:\n\techo\n", "Makefile", 2},
        // In markup a backslash escapes nothing, so no quote after one opens or closes a string.
        {"page.html", "<p>a \\\\\"b</p>\n\n\n<p>c</p>\n", "HTML", 2, 0, 2},
        {"page.xml", "<a t=\"x\\\\\"/>\n\n<b/>\n\"\n", "XML", 4},
    };
    for (const auto& c : cases) {
        const TemporaryFolder folder;
        folder.writeFile(c.fileName, c.contents);
        const auto rows = CodeCounter().count(folder.path().string()).rows;
        if (*c.language == '\0') {
            EXPECT_TRUE(rows.empty()) << c.fileName << ": " << rows.front().name;
            continue;
        }
        if (rows.size() != 1) {
            ADD_FAILURE() << c.fileName << ": " << rows.size() << " rows";
            continue;
        }
        EXPECT_EQ(rows[0], (LanguageSummary{c.language, 1,
                                            FileCounts{c.code + c.comment + c.blank, c.code, c.comment, c.blank, 0}}))
            << c.fileName << ": " << rows[0].name << " " << rows[0].counts.code << "/" << rows[0].counts.comment << "/"
            << rows[0].counts.blank;
    }
}

// Read a window at a time, a long file counts as its whole text does: comments and strings run
// over the windows' ends at many places, as the pieces' lengths do not divide a window's.
TEST(CodeCounter, AFileLongerThanAWindowCountsAsItsWholeText) {
    std::string text;
    for (std::size_t piece = 0; text.size() < 5 * FileReader::kWindowLength / 2; ++piece) {
        const std::string filler(piece % 700, 'x');
        text += "int a; /* " + filler + "\n\n */ auto s = R\"(" + filler + "\n// in\n)\";\n\n// c " + filler + "\n";
    }
    const TemporaryFolder folder;
    folder.writeFile("long.cpp", text);
    const LanguageRegistry registry;
    const auto language = registry.decide(*registry.find("long.cpp"), text);
    EXPECT_EQ(CodeCounter(1).count(folder.path().string()).rows,
              (std::vector<LanguageSummary>{{"C++", 1, registry.scanner(language).scan(text)}}));
}

// A long file is counted in pieces by several threads, each piece as if code came before it; where
// a comment or a string runs over a piece's start, the piece is scanned again. The counts are those
// of the whole text, in whatever order the pieces are scanned and wherever they start.
TEST(LongFileCount, PiecesCountAsTheWholeTextWhereverTheyStart) {
    const std::string line(300, 'x');
    const std::pair<const char*, std::string> texts[] = {
        {"a.cpp", "\xEF\xBB\xBF#!/usr/bin/env run\nint a; /* " + line +
                      "\n\n\n */ if (a) { s = R\"(\n// in\n\n)\"; }\n// c\r\n\r\nelse if (b)  return;\n" + line +
                      "\n/*\n" + line + "\n*/ x"},
        {"a.py", "def f():\n    \"\"\"Doc\n\n    \"\"\"\n    if a and b:\n        x = '''\n\n'''\n" + line + "\n# c\n"},
        {"a.rs", "/* a /* b\n\n */ c\n */ fn f() {}\n" + line + " // c\nlet s = \"\n\n\";\n"},
    };
    const LanguageRegistry registry;
    for (const auto& [fileName, piece] : texts) {
        std::string text;
        for (int copy = 0; copy < 8; ++copy) text += piece;
        const TemporaryFolder folder;
        const auto path = folder.writeFile(fileName, text).string();
        const auto& scanner = registry.scanner(registry.decide(*registry.find(fileName), text));
        const FileCounts whole = scanner.scan(text);
        FileReader reader;
        for (const std::size_t pieceLength : {1UL, 7UL, 64UL, 301UL, 1000UL}) {
            LongFileCount file(path, text.size(), scanner, pieceLength);
            bool done = false;
            // Backwards, as the threads may take them.
            for (std::size_t index = file.pieceCount(); index-- > 0;) {
                EXPECT_FALSE(done);
                done = file.scanPiece(index, reader);
            }
            ASSERT_TRUE(done);
            EXPECT_EQ(file.total(reader), whole) << fileName << " in pieces of " << pieceLength;
        }
    }
}

// The pieces of a file longer than two of them are shared among the threads; so are those of a
// long file named on its own.
TEST(CodeCounter, AFileCountedInPiecesByManyThreadsCountsAsItsWholeText) {
    std::string text;
    for (std::size_t piece = 0; text.size() < 2 * LongFileCount::kPieceLength + 100; ++piece) {
        const std::string filler(piece % 5000, 'x');
        text += "int a; /* " + filler + "\n\n */ if (a) { s = \"" + filler + "\"; }\n\n// c\n";
    }
    const TemporaryFolder folder;
    folder.writeFile("long.c", text);
    const LanguageRegistry registry;
    const auto language = registry.decide(*registry.find("long.c"), text);
    const std::vector<LanguageSummary> whole{{"C", 1, registry.scanner(language).scan(text)}};
    EXPECT_EQ(CodeCounter(4).count(folder.path().string()).rows, whole);
    EXPECT_EQ(CodeCounter(3).count((folder.path() / "long.c").string()).rows, whole);
}

// A file of a terabyte is cut into no more pieces than one of 32 GB, so that they hold little.
TEST(LongFileCount, AFileOfATerabyteIsCountedInAFewThousandPieces) {
    const LanguageRegistry registry;
    const auto c = registry.decide(*registry.find("huge.c"), "int x;\n");
    const LongFileCount file("huge.c", std::size_t{1} << 40, registry.scanner(c));
    EXPECT_EQ(file.pieceCount(), 4096U);
}

// A folder is listed a part at a time; its ignore files apply to every part, wherever the
// listing names them, and so do those above it.
TEST(CodeCounter, AFolderOfThousandsOfEntriesIsCountedWholeUnderItsIgnoreFiles) {
    const TemporaryFolder folder;
    folder.writeFile(".gitignore", "*.h\n");
    // "f1*.c" names f1, f10 to f19, f100 to f199 and f1000 to f1999: 1,111 of the 2,500.
    folder.writeFile("wide/.gitignore", "f1*.c\n");
    for (int index = 0; index < 2500; ++index) {
        folder.writeFile("wide/f" + std::to_string(index) + ".c", "int x;\n");
        if (index % 100 == 0) folder.writeFile("wide/d" + std::to_string(index) + "/x.py", "x = 1\n");
    }
    folder.writeFile("wide/d0/x.h", "int x;\n");
    for (const unsigned threads : {1U, 8U}) {
        EXPECT_EQ(filesPerLanguage(folder.path(), threads),
                  (std::map<std::string, std::int64_t>{{"C", 1389}, {"Python", 25}, {"gitignore", 2}}))
            << threads;
    }
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

TEST(SkippedEntries, ALongPathIsShownByItsStartAndItsEnd) {
    SkippedEntries skipped;
    // A two-byte character stands where the start is cut.
    const std::string path = "/" + std::string(58, 'a') + "\xC3\xA9" + std::string(4000, 'b') + "/name.c";
    skipped.addFile(path, std::system_error(std::make_error_code(std::errc::permission_denied)));
    EXPECT_EQ(skipped.describe(), "skipped 1 file that could not be read, such as /" + std::string(58, 'a') + "..." +
                                      std::string(93, 'b') + "/name.c (Permission denied)");
}

// Each name as git writes it when it lists the name: `git ls-files` here, with core.quotePath as
// git sets it unless told otherwise.
TEST(SkippedEntries, ANameIsWrittenAsGitWritesIt) {
    std::vector<std::string> names{"plain name.c", "new\nline.c", "tab\there.c",   "quote\"d.c",    "back\\slash.c",
                                   "del\x7F.c",    "bell\a.c",    "esc\x1B[31m.c", "caf\xC3\xA9.c", "bad\xFF.c"};
    std::sort(names.begin(), names.end());
    const TemporaryFolder home;
    const TemporaryFolder work;
    for (const auto& name : names) work.writeFile(name, "");
    const std::map<std::string, std::string> environment{
        {"HOME", home.path().string()}, {"GIT_CONFIG_NOSYSTEM", "1"}, {"PATH", "/usr/bin:/bin"}};
    platform::PosixProcessRunner runner;
    for (const auto& arguments : {std::vector<std::string>{"init", "-q"}, {"add", "-A"}}) {
        const auto step = runner.run(
            {.executable = "git", .arguments = arguments, .workingDirectory = work.path(), .environment = environment});
        ASSERT_TRUE(step.succeeded()) << step.standardError;
    }
    const auto listed = runner.run(
        {.executable = "git", .arguments = {"ls-files"}, .workingDirectory = work.path(), .environment = environment});
    std::vector<std::string> written;
    for (std::size_t start = 0, end = 0; (end = listed.standardOutput.find('\n', start)) != std::string::npos;
         start = end + 1) {
        written.push_back(listed.standardOutput.substr(start, end - start));
    }
    ASSERT_EQ(written.size(), names.size()) << listed.standardOutput;
    for (std::size_t index = 0; index < names.size(); ++index) {
        SkippedEntries skipped;
        skipped.addFile(names[index], std::system_error(std::make_error_code(std::errc::permission_denied)));
        EXPECT_EQ(skipped.describe(),
                  "skipped 1 file that could not be read, such as " + written[index] + " (Permission denied)");
    }
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
