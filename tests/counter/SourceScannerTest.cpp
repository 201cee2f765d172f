#include "counter/SourceScanner.h"
#include "counter/LanguageRegistry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

namespace norvane::counter {

void PrintTo(const FileCounts& counts, std::ostream* out) {
    *out << "{lines " << counts.lines << ", code " << counts.code << ", comment " << counts.comment << ", blank "
         << counts.blank << ", complexity " << counts.complexity << "}";
}

namespace {

FileCounts countAs(std::string_view fileName, std::string_view text) {
    static const LanguageRegistry registry;
    const auto language = registry.find(fileName);
    if (!language) {
        ADD_FAILURE() << "no language for " << fileName;
        return {};
    }
    return registry.scanner(*language).scan(text);
}

FileCounts lines(std::int64_t code, std::int64_t comment, std::int64_t blank, std::int64_t complexity = 0) {
    return FileCounts{code + comment + blank, code, comment, blank, complexity};
}

TEST(SourceScanner, CommentMarkersInsideStringsAreCode) {
    EXPECT_EQ(countAs("a.c", "const char *s = \"/*\";\nint x;\n// real\n"), lines(2, 1, 0));
    EXPECT_EQ(countAs("a.c", "char q = '\"'; int y;\n// real\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.js", "const s = '/* not */';\nlet t = \"// nor\";\n"), lines(2, 0, 0));
    EXPECT_EQ(countAs("a.py", "s = \"# no\"  # yes\n# only\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.sh", "echo \"arg # not comment\"\n"), lines(1, 0, 0));
}

TEST(SourceScanner, EscapedQuotesNeitherEndNorKeepStrings) {
    EXPECT_EQ(countAs("a.c", "s = \"a \\\" // b\";\n// c\n"), lines(1, 1, 0));
    // Rust strings span lines: a string ending in an escaped backslash must end there.
    EXPECT_EQ(countAs("a.rs", "let s = \"\\\\\";\n// c\nlet t = 1;\n"), lines(2, 1, 0));
}

TEST(SourceScanner, BlockCommentsCoverWholeLinesIncludingBlankOnes) {
    EXPECT_EQ(countAs("a.c", "/* start\n\n   end */\nint x; /* inline */\n/* a */ /* b */\n\n"), lines(1, 4, 1));
    EXPECT_EQ(countAs("a.c", "/* a\n b */ int x;\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.css", "/* styles */\nbody { color: red; }\n\n.a { margin: 0; } /* trailing */\n"),
              lines(2, 1, 1));
}

TEST(SourceScanner, BlockCommentsNestOnlyWhereTheLanguageNestsThem) {
    EXPECT_EQ(countAs("a.c", "/* a /* b */ int x; */\n"), lines(1, 0, 0));
    EXPECT_EQ(countAs("a.cpp", "/* outer /* not nested */\nint x;\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.rs", "/* a /* b */ still */\nfn f() {}\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.rs", "/* a /* b */\nstill comment */\nfn f() {}\n"), lines(1, 2, 0));
    EXPECT_EQ(countAs("a.swift", "/* a /* b */ c */\nlet x = 1\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.kt", "/* a /* b */ c */\nval x = 1\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.hs", "{- a {- b -} c -}\nmain = pure ()\n"), lines(1, 1, 0));
}

TEST(SourceScanner, LineBreaksOfAnyKindAndAMissingLastOne) {
    EXPECT_EQ(countAs("a.c", "int a;\r\n\r\n// c\r\nint b;"), lines(2, 1, 1));
    EXPECT_EQ(countAs("a.c", "int nofinalnewline = 1;"), lines(1, 0, 0));
    EXPECT_EQ(countAs("a.c", "// only"), lines(0, 1, 0));
    EXPECT_EQ(countAs("a.c", ""), lines(0, 0, 0));
    EXPECT_EQ(countAs("a.c", "\n"), lines(0, 0, 1));
    EXPECT_EQ(countAs("a.c", " \t \n"), lines(0, 0, 1));
}

TEST(SourceScanner, ShebangsAndByteOrderMarksAreNotCode) {
    EXPECT_EQ(countAs("a.sh", "#!/bin/bash\n# c\nset -e\n"), lines(1, 2, 0));
    EXPECT_EQ(countAs("a.js", "#!/usr/bin/env node\nconsole.log(1);\n"), lines(1, 1, 0));
    EXPECT_EQ(countAs("a.rs", "#![allow(dead_code)]\nfn main() {}\n"), lines(2, 0, 0));
    EXPECT_EQ(countAs("a.c", "\xEF\xBB\xBF// c\nint x;\n"), lines(1, 1, 0));
}

TEST(SourceScanner, PythonDocstringsAreCommentsButOtherTripleQuotedStringsAreCode) {
    EXPECT_EQ(countAs("a.py", "#!/usr/bin/env python3\n\"\"\"Module docstring\nspanning lines.\"\"\"\nimport os\n"),
              lines(1, 3, 0));
    EXPECT_EQ(countAs("a.py", "def f():\n    r'''Raw doc.'''\n\n    '''\n\n    '''\n    return 1\n"), lines(2, 4, 1));
    EXPECT_EQ(countAs("a.py", "text = \"\"\"not\n# a docstring\n\"\"\"\n"), lines(3, 0, 0));
}

TEST(SourceScanner, MultilineStringsKeepCommentMarkersAsCode) {
    EXPECT_EQ(countAs("a.go", "s := `first\n// inside\n/* also */`\n// real\n"), lines(3, 1, 0));
    EXPECT_EQ(countAs("a.js", "const t = `a\n// b ${x}\n`;\n/* real */\n"), lines(3, 1, 0));
    EXPECT_EQ(countAs("a.cpp", "auto a = R\"(// code)\";\nauto b = R\"x(\n)\" /* inside */\n)x\";\n// real\n"),
              lines(4, 1, 0));
    EXPECT_EQ(countAs("a.rs", "let r = r#\"a \"// b\" c\"#;\n// real\n"), lines(1, 1, 0));
    // A backslash before the line break carries a C string over.
    EXPECT_EQ(countAs("a.c", "const char *s = \"one \\\n// two\";\n// real\n"), lines(2, 1, 0));
}

TEST(SourceScanner, OneLineStringsThatAreNotClosedEndWithTheirLine) {
    EXPECT_EQ(countAs("a.c", "#error don't\n// comment\nint x;\n"), lines(2, 1, 0));
    EXPECT_EQ(countAs("a.yaml", "note: it's here\n# comment\n"), lines(1, 1, 0));
}

TEST(SourceScanner, ApostrophesThatAreNotQuotes) {
    EXPECT_EQ(countAs("a.rs", "let q = '\"'; // quote\nfn f<'a>(x: &'a str) {}\n// real\n"), lines(2, 1, 0));
    EXPECT_EQ(countAs("a.hs", "f x' = '\"'\n-- real\n"), lines(1, 1, 0));
}

TEST(SourceScanner, MarkersThatCountOnlyInTheFirstColumn) {
    EXPECT_EQ(countAs("a.rb", "start =begin_time\n=begin\ndoc =end\n=end\nputs 1\n"), lines(2, 3, 0));
    EXPECT_EQ(countAs("a.pl", "my $x = 1;\n=pod\n\nText.\n=cut\nprint $x;\n"), lines(2, 4, 0));
}

TEST(SourceScanner, CommentStylesOfOtherLanguages) {
    EXPECT_EQ(countAs("a.html", "<!DOCTYPE html>\n<!--\n a\n-->\n<p>x</p>\n"), lines(2, 3, 0));
    EXPECT_EQ(countAs("a.sql", "-- a\nSELECT 1; -- b\n/* c\n d */\n"), lines(1, 3, 0));
    EXPECT_EQ(countAs("a.lua", "--[[ a\n b ]]\nlocal x = 1 -- c\n-- d\n"), lines(1, 3, 0));
    EXPECT_EQ(countAs("Makefile", "# c\nall:\n\tcc -o app main.c\n"), lines(2, 1, 0));
    EXPECT_EQ(countAs("CMakeLists.txt", "#[[ a\n b ]]\nproject(x) # c\n"), lines(1, 2, 0));
    EXPECT_EQ(countAs("a.md", "# Title\n\ntext\n"), lines(2, 0, 1));
    EXPECT_EQ(countAs("a.bat", "REM note\n@echo off\n:: label\n"), lines(1, 2, 0));
}

TEST(SourceScanner, BranchPointsOutsideStringsAndComments) {
    EXPECT_EQ(countAs("a.c", "if (a && b) { x = \"if for while\"; } // if\n"
                             "else if (c == d || e != f) {}\nwhile (x) {}\n/* for (;;) */\n"),
              lines(3, 1, 0, 8));
    EXPECT_EQ(countAs("a.c", "int ifdef_value = format(elsewhere, whilst);\n#if X\n#endif\n"), lines(3, 0, 0, 0));
    EXPECT_EQ(countAs("a.js", "if (a === b && c !== d) {}\n"), lines(1, 0, 0, 2));
    EXPECT_EQ(countAs("a.py", "if a and b or not c:\n    pass\nelif orange:\n    pass\n"), lines(4, 0, 0, 4));
    EXPECT_EQ(countAs("a.go", "switch s { case \"a\": }\nfor i := 0; i < 2; i++ {}\n"), lines(2, 0, 0, 2));
}

} // namespace
} // namespace norvane::counter
