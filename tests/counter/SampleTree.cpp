#include "tests/counter/SampleTree.h"

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace norvane::counter::testing {

void writeSampleTree(const std::filesystem::path& folder) {
    const std::vector<std::pair<std::string, std::string>> files{
        {".gitignore", "ignored/\n"},
        {"CMakeLists.txt", "cmake_minimum_required(VERSION 3.20)\n# comment\nproject(demo C)\n"},
        {"Cargo.toml", "[package]\n# comment\nname = \"demo\"\n"},
        {"Makefile", "# makefile comment\nall:\n\tcc -o app src/main.c\n\nclean:\n\trm -f app\n"},
        {"config.yaml", "# config\nname: demo\nlist:\n  - a   # trailing\n\n  - b\n"},
        {"package.json", "{\n  \"name\": \"demo\",\n\n  \"version\": \"1.0.0\"\n}\n"},
        {"docs/README.md", "# Title\n\nSome text with `code`.\n\n- item\n"},
        {"docs/notes.txt", "plain text line\n\nanother line\n"},
        {"ignored/skip.c", "int ignored = 1;\n"},
        {"scripts/build.sh", "#!/bin/bash\n"
                             "# build script\n"
                             "set -e\n"
                             "if [ -n \"$1\" ]; then echo \"arg # not comment\"; fi\n"
                             "\n"
                             "for f in *.c; do echo \"$f\"; done\n"},
        {"src/Main.java", "/** doc */\n"
                          "public class Main {\n"
                          "    public static void main(String[] a) {\n"
                          "        String s = \"// x\";\n"
                          "        if (a.length > 0 && s != null) { System.out.println(s); }\n"
                          "    }\n"
                          "}\n"},
        {"src/app.py", "#!/usr/bin/env python3\n"
                       "\"\"\"Module docstring\n"
                       "spanning lines.\"\"\"\n"
                       "import os  # trailing\n"
                       "\n"
                       "def f(x):\n"
                       "    # comment\n"
                       "    s = \"# not a comment\"\n"
                       "    if x and s:\n"
                       "        return [i for i in range(x) if i % 2]\n"
                       "    elif x or not s:\n"
                       "        pass\n"
                       "    while False:\n"
                       "        break\n"
                       "    return None\n"},
        {"src/blob.bin", std::string("\x00"
                                     "\x01"
                                     "\x02"
                                     "binary",
                                     9)},
        {"src/crlf.c", "line one\r\nline two // c\r\n\r\n// comment\r\n"},
        {"src/empty.c", ""},
        {"src/engine.cpp", "#include <string>\n"
                           "/* outer /* not nested in C++ */\n"
                           "std::string greet(bool formal) {\n"
                           "    auto raw = R\"(// still code)\";\n"
                           "    if (formal) { return \"Good day\"; }\n"
                           "    switch (raw[0]) { case '/': break; default: break; }\n"
                           "    try { throw 1; } catch (...) {}\n"
                           "    return \"hi\"; // informal\n"
                           "}\n"},
        {"src/lib.rs", "/* outer /* nested */ still comment */\n"
                       "fn main() {\n"
                       "    let s = \"// not a comment\";\n"
                       "    // real comment\n"
                       "    if s.len() > 3 { println!(\"{}\", s); } else { return; }\n"
                       "    match 3 { 1 => {}, _ => {} }\n"
                       "}\n"},
        {"src/main.c", "#include <stdio.h>\n"
                       "/* A block comment\n"
                       "   spanning lines */\n"
                       "int main(void) {\n"
                       "    const char *s = \"not /* a comment */ here\"; // trailing comment\n"
                       "    int x = 0; /* inline */ x++;\n"
                       "\n"
                       "    if (x > 0 && s[0] == 'n') {\n"
                       "        for (int i = 0; i < 3; i++) { x += i; }\n"
                       "    } else if (x < 0 || x == 5) {\n"
                       "        while (x--) {}\n"
                       "    }\n"
                       "    // only a comment\n"
                       "    return x ? 0 : 1;\n"
                       "}\n"},
        {"src/nonl.c", "int nofinalnewline = 1;"},
        {"src/query.sql", "-- comment\nSELECT a, b\nFROM t /* inline */ WHERE a > 1;\n"},
        {"src/script.rb", "# comment\n"
                          "def f(x)\n"
                          "  if x > 1 && x < 5 then \"# no\" else nil end\n"
                          "end\n"
                          "=begin\n"
                          "block comment\n"
                          "=end\n"},
        {"src/server.go", "package main\n"
                          "\n"
                          "// comment\n"
                          "import \"fmt\"\n"
                          "\n"
                          "func main() {\n"
                          "\ts := `raw // string`\n"
                          "\tif len(s) > 0 && true {\n"
                          "\t\tfmt.Println(s) /* inline block */\n"
                          "\t}\n"
                          "\tfor i := 0; i < 2; i++ {\n"
                          "\t}\n"
                          "\tswitch s { case \"a\": default: }\n"
                          "}\n"},
        {"src/util.h", "#ifndef UTIL_H\n#define UTIL_H\n// header comment\n\nint add(int a, int b);\n#endif\n"},
        {"tests/test_app.py", "import unittest\n"
                              "\n"
                              "class T(unittest.TestCase):\n"
                              "    def test_x(self):\n"
                              "        self.assertTrue(True)  # ok\n"},
        {"web/app.js", "// comment\n"
                       "const re = /\\/\\/ regex not comment/;\n"
                       "function f(a) {\n"
                       "  const s = '/* not */';\n"
                       "  if (a === 1 || a === 2) { return s; }\n"
                       "  return a > 2 ? 'x' : 'y'; /* trailing block */\n"
                       "}\n"},
        {"web/index.ts", "/**\n"
                         " * JSDoc block\n"
                         " */\n"
                         "export function g(n: number): number {\n"
                         "  for (let i = 0; i < n; i++) { if (i % 2) continue; }\n"
                         "  return n;\n"
                         "}\n"},
        {"web/page.html", "<!DOCTYPE html>\n<!-- a comment -->\n<html>\n  <body><p>hello</p></body>\n</html>\n"},
        {"web/style.css", "/* styles */\nbody { color: red; }\n\n.a { margin: 0; } /* trailing */\n"},
    };
    for (const auto& [path, contents] : files) {
        std::filesystem::create_directories((folder / path).parent_path());
        std::ofstream(folder / path, std::ios::binary) << contents;
    }
}

const std::string_view kSampleTreeRows = R"json([
    {"Name": "C", "Count": 4, "Lines": 20, "Code": 14, "Comment": 4, "Blank": 2, "Complexity": 9},
    {"Name": "Python", "Count": 2, "Lines": 20, "Code": 14, "Comment": 4, "Blank": 2, "Complexity": 7},
    {"Name": "C Header", "Count": 1, "Lines": 6, "Code": 4, "Comment": 1, "Blank": 1, "Complexity": 0},
    {"Name": "C++", "Count": 1, "Lines": 9, "Code": 8, "Comment": 1, "Blank": 0, "Complexity": 2},
    {"Name": "CMake", "Count": 1, "Lines": 3, "Code": 2, "Comment": 1, "Blank": 0, "Complexity": 0},
    {"Name": "CSS", "Count": 1, "Lines": 4, "Code": 2, "Comment": 1, "Blank": 1, "Complexity": 0},
    {"Name": "Go", "Count": 1, "Lines": 14, "Code": 11, "Comment": 1, "Blank": 2, "Complexity": 4},
    {"Name": "HTML", "Count": 1, "Lines": 5, "Code": 4, "Comment": 1, "Blank": 0, "Complexity": 0},
    {"Name": "JSON", "Count": 1, "Lines": 5, "Code": 4, "Comment": 0, "Blank": 1, "Complexity": 0},
    {"Name": "Java", "Count": 1, "Lines": 7, "Code": 6, "Comment": 1, "Blank": 0, "Complexity": 3},
    {"Name": "JavaScript", "Count": 1, "Lines": 7, "Code": 6, "Comment": 1, "Blank": 0, "Complexity": 2},
    {"Name": "Makefile", "Count": 1, "Lines": 6, "Code": 4, "Comment": 1, "Blank": 1, "Complexity": 0},
    {"Name": "Markdown", "Count": 1, "Lines": 5, "Code": 3, "Comment": 0, "Blank": 2, "Complexity": 0},
    {"Name": "Plain Text", "Count": 1, "Lines": 3, "Code": 2, "Comment": 0, "Blank": 1, "Complexity": 0},
    {"Name": "Ruby", "Count": 1, "Lines": 7, "Code": 3, "Comment": 4, "Blank": 0, "Complexity": 2},
    {"Name": "Rust", "Count": 1, "Lines": 7, "Code": 5, "Comment": 2, "Blank": 0, "Complexity": 2},
    {"Name": "SQL", "Count": 1, "Lines": 3, "Code": 2, "Comment": 1, "Blank": 0, "Complexity": 0},
    {"Name": "Shell", "Count": 1, "Lines": 6, "Code": 3, "Comment": 2, "Blank": 1, "Complexity": 2},
    {"Name": "TOML", "Count": 1, "Lines": 3, "Code": 2, "Comment": 1, "Blank": 0, "Complexity": 0},
    {"Name": "TypeScript", "Count": 1, "Lines": 7, "Code": 4, "Comment": 3, "Blank": 0, "Complexity": 2},
    {"Name": "YAML", "Count": 1, "Lines": 6, "Code": 4, "Comment": 1, "Blank": 1, "Complexity": 0},
    {"Name": "gitignore", "Count": 1, "Lines": 1, "Code": 1, "Comment": 0, "Blank": 0, "Complexity": 0}
])json";

} // namespace norvane::counter::testing
