#include "counter/SourceScanner.h"
#include "counter/LanguageRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace norvane::counter {

void PrintTo(const FileCounts& counts, std::ostream* out) {
    *out << "{code " << counts.code << ", comment " << counts.comment << ", blank " << counts.blank << ", complexity "
         << counts.complexity << ", lines " << counts.lines << "}";
}

namespace {

const SourceScanner* scannerFor(std::string_view fileName, std::string_view text) {
    static const LanguageRegistry registry;
    const auto choice = registry.find(fileName);
    if (!choice) {
        ADD_FAILURE() << "no language for " << fileName;
        return nullptr;
    }
    return &registry.scanner(registry.decide(*choice, text));
}

FileCounts countAs(std::string_view fileName, std::string_view text) {
    const auto* scanner = scannerFor(fileName, text);
    return scanner != nullptr ? scanner->scan(text) : FileCounts{};
}

/// Hands a text out `step` bytes at a time after what the scanner keeps, as a file is read a
/// window at a time, so that a window ends at every place of the text.
class Trickle final : public TextSource {
public:
    Trickle(std::string_view text, std::size_t step) : text_(text), step_(step), end_(std::min(step, text.size())) {}

    std::string_view first() const { return text_.substr(0, end_); }
    std::string_view next(std::size_t keep) override {
        EXPECT_LE(keep, kLongestKept);
        const std::size_t start = end_ - keep;
        end_ = std::min(end_ + step_, text_.size());
        return text_.substr(start, end_ - start);
    }
    bool atEnd() const override { return end_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t step_;
    std::size_t end_;
};

/// The text over and again, long enough for many windows.
std::string repeated(std::string_view text) {
    std::string copies(text);
    while (!text.empty() && copies.size() < 4 * SourceScanner::kLookahead) copies += text;
    return copies;
}

// Read in windows, a text counts as it does whole, wherever the windows end.
void expectSameInWindows(std::string_view fileName, std::string_view text) {
    const auto* scanner = scannerFor(fileName, text);
    if (scanner == nullptr) return;
    const FileCounts whole = scanner->scan(text);
    for (const std::size_t step : {1, 3, 100, 1000}) {
        Trickle source(text, step);
        EXPECT_EQ(scanner->scan(source.first(), source), whole)
            << fileName << " in steps of " << step << ": " << text.substr(0, 60);
    }
}

struct CountedText {
    const char* fileName;
    std::string_view text;
    std::int64_t code;
    std::int64_t comment;
    std::int64_t blank;
    std::int64_t complexity = 0;
};

void expectCounts(std::initializer_list<CountedText> cases) {
    for (const CountedText& c : cases) {
        const FileCounts expected{c.code + c.comment + c.blank, c.code, c.comment, c.blank, c.complexity};
        EXPECT_EQ(countAs(c.fileName, c.text), expected) << c.fileName << ": " << c.text;
        expectSameInWindows(c.fileName, repeated(c.text));
    }
}

// Comments, strings, escapes and lines far longer than what the scanner sees past its place.
TEST(SourceScanner, WhatSpansWindowsCountsAsInTheWholeText) {
    const std::string longRun(700, 'x');
    const std::string backslashes(301, '\\');
    const std::pair<const char*, std::string> texts[] = {
        {"a.c", "int a;\n/* " + longRun + "\n\n" + longRun + " */ int b; // " + longRun + "\nint c;\n"},
        {"a.c", "s = \"" + longRun + "\\\n// in\n" + longRun + "\";\n// out\n"},
        {"a.c", "s = \"" + backslashes + "\"; // in or out\n\n// c\n"},
        {"a.html", "<p>" + backslashes + "\"a</p>\n\n<p>" + backslashes + backslashes + "\"b\n\n"},
        {"a.cpp", "auto r = R\"tag(" + longRun + "\n)\" // in\n)tag\"; // out\n"},
        {"a.py", "def f():\n    \"\"\"" + longRun + "\n\n\"\"\"\n    return 1\n"},
        {"a.rs", "/* /* " + longRun + " */\n" + longRun + " */ fn f() {}\n"},
        {"a.rb", longRun + "\n=begin\n" + longRun + "\n=end\nputs 1\n"},
        {"a.c", "\xEF\xBB\xBF// " + longRun + "\r\nint x; \\\r\n" + longRun + "\r\n"},
        {"a.sh", "#!/bin/sh\n" + longRun + " # " + longRun + "\nif [ a ] && [ b ]; then echo; fi\n"},
    };
    for (const auto& [fileName, text] : texts) expectSameInWindows(fileName, text);
}

TEST(SourceScanner, LineCommentsOfEveryKind) {
    expectCounts({
        {"a.c", "// c\nint x; // trailing\n", 1, 1, 0},
        {"a.py", "# c\nx = 1  # trailing\n", 1, 1, 0},
        {"a.sql", "-- a\nSELECT 1; -- b\n", 1, 1, 0},
        {"a.lisp", "; a\n(car x)\n", 1, 1, 0},
        {"a.erl", "% a\nf() -> ok.\n", 1, 1, 0},
        {"a.vb", "' a\nDim x\n", 1, 1, 0},
        {"a.vim", "\" a\nlet x = 1\n", 1, 1, 0},
        // Comments start with the table's spelling only: "@rem" and lower-case "rem" are commands.
        {"a.bat", "REM note\n:: label\n@rem quiet\nrem lower\n@echo off\n", 3, 2, 0},
        {"configure.in", "dnl a\n# b\nAC_INIT\n", 1, 2, 0},
        // "!=" continues into the keyword "!= ", so it does not open a comment.
        {"a.f90", "! a\nif (a != b) x = 1\nif (a !=b) y = 2\n", 2, 1, 0, 3},
    });
}

TEST(SourceScanner, BlockCommentsNestOnlyWhereTheLanguageNestsThem) {
    expectCounts({
        {"a.c", "/* start\n\n   end */\nint x; /* inline */\n/* a */ /* b */\n\n", 1, 4, 1},
        {"a.c", "/* a\n b */ int x;\n", 1, 1, 0},
        {"a.c", "/* a /* b */ int x; */\n", 1, 0, 0},
        {"a.rs", "/* a /* b */\nstill comment */\nfn f() {}\n", 1, 2, 0},
        {"a.hs", "{- a\n-}\nmain = pure ()\n", 1, 2, 0},
        {"a.html", "<!DOCTYPE html>\n<!--\n a\n-->\n<p>x</p>\n", 2, 3, 0},
        {"a.lua", "--[[ a\n b ]]\nlocal x = 1 -- c\n-- d\n", 1, 3, 0},
        // Long brackets of a level end only at a closing one of that level.
        {"a.lua", "--[=[\ncomment ]] and ]==] still comment\n]=]\nx = 1\n", 1, 3, 0},
        {"a.lua", "--[==[\ncomment ]] still comment\n]==]\nx = 1\n", 1, 3, 0},
        {"a.lua", "--[" + std::string(60, '=') + "[\n]]\n]" + std::string(60, '=') + "]\nx = t[a[1]] -- c\n", 1, 3, 0},
        {"a.lua", "---[[ a line\nx = 1\n", 1, 1, 0},
        {"a.m", "%{\nfunction notes\n}%\nx = zeros(2);\n", 1, 3, 0},
    });
}

TEST(SourceScanner, MarkersThatCountOnlyInTheFirstColumn) {
    expectCounts({
        {"a.rb", "start =begin_time\n=begin\ndoc =end\n=end\nputs 1\n", 2, 3, 0},
        {"a.pl", "my $x = 1;\n=pod\n\nText.\n=cut\nprint $x;\n", 2, 4, 0},
        {"a.pl", "=head1 NAME\n\nTool\n=cut\n", 0, 4, 0},
    });
}

TEST(SourceScanner, CommentMarkersInsideStringsAreCode) {
    expectCounts({
        {"a.c", "const char *s = \"/*\";\nint x;\n// real\n", 2, 1, 0},
        {"a.c", "s = \"a \\\" // b\";\n// c\n", 1, 1, 0},
        // The escaped quote does not end the string, so the block comment after it opens.
        {"a.c", "s = \"a \\\" b\"; /* c\n d */\nint x;\n", 2, 1, 0},
        {"a.c", "char q = '\"'; int y;\n// real\n", 1, 1, 0},
        {"a.js", "const s = '/* not */';\nlet t = \"// nor\";\n", 2, 0, 0},
        // A quote in a regular-expression literal does not open a string that runs on.
        {"a.js", "const re = /\"/;\n// real\n", 1, 1, 0},
        {"a.py", "s = \"# no\"  # yes\n# only\n", 1, 1, 0},
        {"a.sh", "echo \"it's # here\"\n# real\n", 1, 1, 0},
        // Rust strings span lines: one ending in an escaped backslash must end there.
        {"a.rs", "let s = \"\\\\\";\n// c\nlet t = 1;\n", 2, 1, 0},
        {"a.rs", "let q = '\"'; // quote\nfn f<'a>(x: &'a str) {}\n// real\n", 2, 1, 0},
    });
}

TEST(SourceScanner, StringsThatRunOverLines) {
    expectCounts({
        // Lua's long strings, of any level, hide comment markers and keep their keywords counted.
        {"a.lua", "s = [[\n-- inside\nif x then\n]]\n-- c\n", 4, 1, 0, 1},
        {"a.lua", "s = [=[\n-- not a comment ]] still string\n]=]\n-- c\n", 3, 1, 0},
        {"a.lua", "f[[\n--[[ a ]]\n-- b\n", 2, 1, 0},
        {"a.go", "s := `first\n// inside\n\n/* also */`\n// real\n", 4, 1, 0},
        {"a.cs", "var s = @\"C:\\dir\\\n// inside\";\n// real\n", 2, 1, 0},
        {"a.cpp", "auto a = R\"(// code)\";\nauto b = R\"x(\n)\" /* inside */\n)x\";\n// real\n", 4, 1, 0},
        {"a.rs", "let r = r#\"a \"// b\" c\"#;\nlet m = \"one\n\n// two\";\n// real\n", 4, 1, 0},
        // A backslash before the line break carries a C string over.
        {"a.c", "const char *s = \"one \\\n// two\";\n// real\n", 2, 1, 0},
        // Unclosed one-line strings end with their line.
        {"a.c", "#error don't\n// comment\nint x;\n", 2, 1, 0},
        {"a.js", "const t = `a\n// b\n`;\n", 2, 1, 0},
    });
}

TEST(SourceScanner, DoubleQuotesThatAreNoStringsToTheReference) {
    expectCounts({
        // A TCL test body: quotes may span lines, and the comments and blanks inside still count so.
        {"a.tcl", "test t-1.1 {a} -body {\n    set msg \"first\n\n    # note\n    \"\n}\n", 4, 1, 1},
        {"CMakeLists.txt", "set(TEXT \"a\n\n# b\nc\")\n", 2, 1, 1},
        // An escaped quote alone on its line, and an apostrophe in a TCL name, open nothing that runs on.
        {"CMakeLists.txt", "string(REPLACE \"\\\"\" \"\" X \"${X}\")\n\n# note\n", 1, 1, 1},
        {"a.tcl", "proc do'it {} {\n\n    # note\n}\n", 2, 1, 1},
        {"Dockerfile", "RUN echo \"a\n\n# b\"\n", 1, 1, 1},
    });
}

TEST(SourceScanner, AQuoteAfterABackslashOpensNoString) {
    expectCounts({
        {"e.html", "<p>a \\\"b\n\n\n<p>c\n", 2, 0, 2},
        // In shell an escaped apostrophe opens nothing, while one after an escaped backslash does.
        {"a.sh", "case $a in *\\'*) echo;;\n\n# c\nesac\n", 2, 1, 1},
        {"a.sh", "echo \\\\'a\n\n# c'\n", 3, 0, 0},
        // Only $'...' strings know escapes.
        {"a.zsh", "echo $'it\\'s' 'a\\'\n\n# c\n", 1, 1, 1},
        {"e.xml", "<a>\\\"</a>\n\n<b/>\n", 2, 0, 1},
        {"e.svg", "<text>\\\"</text>\n\n<g/>\n", 2, 0, 1},
        {"e.vue", "<p>\\\"</p>\n\n<!-- c -->\n", 1, 1, 1},
        // Nor does it in the templates written in markup, whatever else they embed.
        {"e.vue", "<p>a \\\\\"b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.vue", "<p>a \\\\'b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.svelte", "<p>a \\\\\"b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.jsp", "<p>a \\\\\"b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.jsp", "<p>a \\\\'b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.hbs", "<p>a \\\\'b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"e.erb", "<p>a \\\\\"b</p>\n\n\n<p>c</p>\n", 2, 0, 2},
        {"a.rs", "let s = \\\"x;\n\n// c\n", 1, 1, 1},
        // Inside a string the backslash still escapes the quote that follows it.
        {"e.html", "<a title=\"x \\\" y\n\n\">\n\n", 3, 0, 1},
    });
}

// There a quote after a backslash ends the string that it closes.
TEST(SourceScanner, StringsOfLanguagesWhereABackslashEscapesNothing) {
    expectCounts({
        {"a.sql", "SELECT 'C:\\' FROM t;\n-- c\n", 1, 1, 0},
        {"a.m", "p = 'C:\\';\n% c\nx = zeros(2);\n", 2, 1, 0},
        {"a.ps1", "$p = \"C:\\temp\\\"\n# c\n", 1, 1, 0},
        {"a.v", "Definition p := \"C:\\\".\n(* c *)\n", 1, 1, 0},
        {"a.pas", "p := 'C:\\';\n// c\n", 1, 1, 0},
        {"a.f90", "p = \"C:\\\"\n! c\n", 1, 1, 0},
    });
}

TEST(SourceScanner, PythonDocstringsAreCommentsButOtherTripleQuotedStringsAreCode) {
    expectCounts({
        {"a.py", "#!/usr/bin/env python3\n\"\"\"Module docstring\nspanning lines.\"\"\"\nimport os\n", 1, 3, 0},
        {"a.py", "def f():\n    r'''Raw doc.'''\n\n    '''\n\n    '''\n    return 1\n", 2, 4, 1},
        {"a.py", "def f():\n    \"\"\"It's the user's.\"\"\"\n    # real\n    return 1\n", 2, 2, 0},
        {"a.py", "text = \"\"\"not\n# a docstring\n\"\"\"\n", 3, 0, 0},
        {"a.py", "\f\v\"\"\"Doc after a page break.\"\"\"\nx = 1\n", 1, 1, 0},
    });
}

TEST(SourceScanner, LineBreaksByteOrderMarksAndShebangs) {
    expectCounts({
        {"a.c", "int a;\r\n\r\n// c\r\nint b;", 2, 1, 1},
        {"a.c", "// only", 0, 1, 0},
        {"a.c", "", 0, 0, 0},
        {"a.c", " \t \n", 0, 0, 1},
        // A vertical tab and a form feed are blanks too, such as a page break on a line of its own.
        {"a.c", "\f\nint x;\n\v \t\n", 1, 0, 2},
        {"a.c", "\f// c\n\vint x;\f\n", 1, 1, 0},
        {"a.c", "\xEF\xBB\xBF// c\nint x;\n", 1, 1, 0},
        // A byte-order mark alone makes no line, as in an empty file.
        {"a.c", "\xEF\xBB\xBF", 0, 0, 0},
        {"a.py", "\xEF\xBB\xBF\n", 0, 0, 1},
        {"a.rs", "\xEF\xBB\xBF  ", 0, 0, 1},
        // The "#!" line is a comment where "#" starts one, and code elsewhere.
        {"a.sh", "#!/bin/bash\n# c\nset -e\n", 1, 2, 0},
        {"a.py", "#! /usr/bin/python3\nprint(1)\n", 1, 1, 0},
        {"a.js", "#!/usr/bin/env node\nconsole.log(1)\n", 2, 0, 0},
        {"a.rs", "#!/usr/bin/env rust-script\nfn main() {}\n", 2, 0, 0},
        {"a.rs", "#![allow(dead_code)]\nfn main() {}\n", 2, 0, 0},
        // Its program reads it, not the language: nothing on it opens a comment or a string.
        {"a.js", "#! /usr/bin/env -S node --require=./lib/*\n// c\nconsole.log(1)\n", 2, 1, 0},
    });
}

TEST(SourceScanner, BranchKeywordsCountWithTheirOwnSpacingAfterABlank) {
    expectCounts({
        {"a.c", "if (a && b) { x = 1; }\nelse if (c == d || e != f) {}\nwhile (x) {}\nfor(;;) {}\n", 4, 0, 0, 9},
        {"a.c", "while(x) {}\nif(a&&b) {}\ny = a==b;\n} else\n{case 1:}\n", 5, 0, 0, 1},
        {"a.c", "x = \"if for while\"; // if \n/* for (;;) */\nint ifdef_value = format(elsewhere);\n", 2, 1, 0, 0},
        {"a.js", "if (a === b && c !== d) {}\n", 1, 0, 0, 2},
        // Minified code has few blanks, so few keywords count.
        {"a.js", "function f(a){if(a){for(;;){}}else if(a&&b){while(1){}}return a==1||b}\n", 1, 0, 0, 1},
        {"a.py", "if a and b or not c:\n    pass\nelif orange:\n    pass\nelse:\n    x = y if z else w\n", 6, 0, 0, 7},
        {"a.ts", "const x = a ? b : c;\n", 1, 0, 0, 2},
        // A keyword counts after a carriage return, not after a vertical tab or a form feed.
        {"a.c", "x = 1;\vif (a) {}\fif (b) {}\rif (c) {}\n", 1, 0, 0, 1},
    });
}

TEST(SourceScanner, BranchKeywordsInsideStringsTheReferenceDoesNotKnow) {
    expectCounts({
        // Apostrophes are no strings to the reference in JavaScript, nor quotes in Ruby.
        {"a.js", "log('wait for it');\nlog(\"wait for it\");\n", 2, 0, 0, 1},
        {"a.rb", "puts \"a && b\" if x\n", 1, 0, 0, 2},
        // There "#" opens a comment that ends the counting for the line.
        {"a.rb", "puts \"#{a} && b\" if x\n", 1, 0, 0, 0},
    });
}

TEST(SourceScanner, BranchKeywordsOfConfigurationAndBuildFiles) {
    expectCounts({
        {"Makefile", "ifeq ($(A),1)\nall:\n\tif [ -f x ]; then echo; fi\nendif\n", 4, 0, 0, 1},
        {"Dockerfile", "RUN if [ -f x ]; then echo a || echo b; fi\n", 1, 0, 0, 2},
        {"a.toml", "cmd = \"a && b\"\n", 1, 0, 0, 1},
        {"a.bat", "if exist x (echo a) else (echo b)\nfor %%f in (*) do echo %%f\n", 2, 0, 0, 3},
        {"Makefile.in", "if test -f x; then\n  AC_MSG_ERROR([no])\nfi\n", 3, 0, 0, 1},
    });
}

} // namespace
} // namespace norvane::counter
