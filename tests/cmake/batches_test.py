#!/usr/bin/env python3
"""Builds a small project with the batches of the ci and sanitizer presets (cmake/NorvaneBatches.cmake), and checks
what its first build says of each target.

    batches_test.py SOURCE_ROOT COMPILER CMAKE NINJA [TEST...]
"""

import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

LIBRARY = """#pragma once
struct Point { int x; };
namespace text { inline int formatFixed(double value, int digits) { return static_cast<int>(value) + digits; }
inline int width() { return 8; } }
"""


def private(definition, use):
    return f"namespace {{ {definition} }}", use


# Each file of a pair: what it declares and what its function returns. Each file compiles alone; g++ refuses the
# two as one text in one order or both.
PAIRS = {
    "operators": [private(f"bool operator<(Point a, Point b) {{ return {body}; }}", "Point{1} < Point{2}")
                  for body in ("a.x < b.x", "b.x < a.x")],
    "header_function": [("namespace n { namespace { int helper(int value) { return value; } }\n"
                         "int first() { return helper(1); } }", "n::first()"),
                        ('#include "../helper.h"\nnamespace n { int second() { return helper(2); } }', "n::second()")],
    "friend": [private("struct Scale { friend int weigh(Point p) { return p.x; } }; int weigh(Point p);",
                       "weigh(Point{1})"), private("int weigh(Point p) { return 2 * p.x; }", "weigh(Point{2})")],
    "inline_namespace": [private("inline namespace detail { int scale(int value) { return value; } }", "scale(1)"),
                         private("int scale(int value) { return value; }", "scale(2)")],
    "concept": [("template <typename T> concept Countable = requires(T t) { t.size(); };", "Countable<int>"),
                ("template <typename T> concept Countable = sizeof(T) > 1;", "Countable<long>")],
    "forward_declaration": [("struct Entry; const Entry* entry = nullptr;", "entry == nullptr"),
                            ("using Entry = int;", "Entry{2}")],
    "inline_variable": [(f"inline int counter = {value};", "counter") for value in (1, 2)],
    "const_parameter": [private(f"int bound({kind} value) {{ return value; }}", "bound(1)")
                        for kind in ("int", "const int")],
    "default_argument": [private("int pad(int value, int by = 1) { return value + by; }", "pad(1)"),
                         private("int pad(int value) { return value; }", "pad(2)")],
    "using_directive": [("using namespace text;", "width()"),
                        private("int formatFixed(double value, int digits) { return digits; }", "formatFixed(2.0, 1)")],
    "own_names": [private(f"int {name}(int value) {{ return value; }}", f"{name}(1)") for name in ("twice", "thrice")],
}
FILES = {"lib.h": LIBRARY, "helper.h": "#pragma once\nnamespace n { inline int helper(int value) { return value; } }\n",
         "middle.cpp": "int middle() { return 0; }\n", "macro.cpp": "#define LIMIT 3\nint limit() { return LIMIT; }\n"}
# The second compiles after the includes of either other, and not alone.
FILES |= {f"{name}.cpp": ("" if name == "second" else "#include <vector>\n")
          + f"int {name}() {{ return static_cast<int>(std::vector<int>(1).size()); }}\n"
          for name in ("first", "second", "third")}
FILES |= {f"{kind}/{name}.cpp": f'#include "../lib.h"\n{declarations}\nint {kind}_{name}() {{ return {use}; }}\n'
          for kind, pair in PAIRS.items() for name, (declarations, use) in zip("ab", pair)}
TARGETS = {"macro": "macro.cpp middle.cpp", "alone": "first.cpp second.cpp third.cpp"}
TARGETS |= {f"{kind}_{place}": f"{kind}/{one}.cpp middle.cpp {kind}/{other}.cpp" for kind in PAIRS
            for place, one, other in (("first", "a", "b"), ("last", "b", "a"))}


class Batches(unittest.TestCase):
    def test_first_build_names_every_clash(self):
        with tempfile.TemporaryDirectory() as temporary:
            source = Path(temporary)
            for path, text in FILES.items():
                (source / path).parent.mkdir(exist_ok=True)
                (source / path).write_text(text)
            (source / "CMakeLists.txt").write_text(
                f"cmake_minimum_required(VERSION 3.25)\nproject(Batches LANGUAGES CXX)\nset(CMAKE_CXX_STANDARD 20)\n"
                f'list(APPEND CMAKE_MODULE_PATH "{ROOT / "cmake"}")\ninclude(NorvaneBatches)\n'
                + "".join(f"add_library({target} STATIC {files})\n" for target, files in TARGETS.items())
                + "norvane_check_batches()\n")
            subprocess.run([CMAKE, "-S", source, "-B", source / "build", "-G", "Ninja", f"-DCMAKE_MAKE_PROGRAM={NINJA}",
                            f"-DCMAKE_CXX_COMPILER={COMPILER}", "-DNORVANE_BATCHES=whole",
                            "-DNORVANE_CHECK_REVERSED=ON", "-DNORVANE_CHECK_ALONE=ON"], check=True, capture_output=True)
            output = subprocess.run([CMAKE, "--build", source / "build", "--", "-k", "0"], capture_output=True,
                                    text=True).stdout
            built = {target for target in TARGETS if (source / "build" / f"lib{target}.a").exists()}
        self.assertEqual(built, {"own_names_first", "own_names_last"})
        for target in TARGETS.keys() - built - {"macro", "alone"}:
            with self.subTest(target):
                named = re.search(rf"error: files of {target} clash in one batch: (.*), where", output)
                self.assertTrue(named, f"{target} fails as a clash")
                self.assertEqual({re.sub(r":\d+$", "", place) for place in named[1].split(", ")},
                                 set(TARGETS[target].split()) - {"middle.cpp"})
        self.assertIn("macro.cpp:1: error: the macro 'LIMIT' is still defined at the end of the file", output)
        self.assertEqual(re.findall(r"error: (\S+) does not compile alone", output), ["second.cpp"])


if __name__ == "__main__":
    ROOT, COMPILER, CMAKE, NINJA = Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    unittest.main(argv=[sys.argv[0], *sys.argv[5:]])
