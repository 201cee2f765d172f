#!/usr/bin/env python3
"""Tests of the build's check that the files of a target compile in any batches
(cmake/NorvaneBatchCheck.cmake, cmake/check_batch_names.py).

    check_batch_names_test.py SOURCE_ROOT COMPILER CMAKE NINJA [TEST...]

Its verdict on two small files is the compiler's on the two compiled as one batch, in either order
(each file compiles alone); and a project that uses it fails its first build where two files that
fall in different batches share a name, saying which and why.
"""

import subprocess
import sys
import tempfile
import unittest
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

ROOT = COMPILER = CMAKE = NINJA = None
LIBRARY = """#pragma once
struct Range {
    int a;
};
namespace lib {
inline int twice(int value) { return 2 * value; }
template <typename T>
struct Box {
    T value;
};
} // namespace lib
"""
LIMIT = "namespace n {\nnamespace {\nconstexpr int limit = 3;\n}\nint first() { return limit; }\n}\n"
HELPER = "namespace n {\nnamespace {\nint helper() { return 1; }\n}\nint second() { return helper(); }\n}\n"
ROW = "namespace n {\nnamespace {\nstruct Row {\n    int a;\n};\n}\nint first() { return Row{1}.a; }\n}\n"


def in_function(body):
    """A second file whose function in the anonymous namespace of n holds `body`."""
    return "namespace n {\nnamespace {\nint local() {\n" + body + "\n}\n}\nint second() { return local(); }\n}\n"


# (what, first file, second file, whether they clash in a batch); the hand's verdicts, which the
# compiler confirms.
CASES = [
    ("private functions of the same parameters",
     "namespace n {\nnamespace {\nint helper(int value) { return value; }\n}\nint first() { return helper(1); }\n}\n",
     "namespace n {\nnamespace {\nint helper(int count) { return count + 1; }\n}\nint second() { return helper(2); }\n}\n",
     True),
    ("private overloads",
     "namespace n {\nnamespace {\nint helper(int value) { return value; }\n}\nint first() { return helper(1); }\n}\n",
     "namespace n {\nnamespace {\nint helper(const char* text) { return *text; }\n}\n"
     "int second() { return helper(\"x\"); }\n}\n",
     False),
    ("private variables", LIMIT, LIMIT.replace("first", "second"), True),
    ("private classes", ROW, ROW.replace("first", "second"), True),
    ("static functions of a named namespace",
     "namespace n {\nstatic int helper() { return 1; }\nint first() { return helper(); }\n}\n",
     "namespace n {\nstatic int helper() { return 2; }\nint second() { return helper(); }\n}\n", True),
    ("constants of a named namespace", "namespace n {\nconst int limit = 3;\n}\n", "namespace n {\nconst int limit = 4;\n}\n",
     True),
    ("private names of two namespaces", LIMIT, LIMIT.replace("namespace n", "namespace m"), False),
    ("a private function and another file's function of the same parameters",
     "namespace n {\nnamespace {\nint helper(int value) { return value; }\n}\nint first() { return helper(1); }\n}\n",
     "namespace n {\nint helper(int value) { return value * 2; }\n}\n", True),
    ("a local that shadows another file's private variable", LIMIT, in_function("const int limit = 2;\nreturn limit;"),
     True),
    ("a parameter that shadows it", LIMIT,
     "namespace n {\nnamespace {\nint clamp(int limit) { return limit; }\n}\nint second() { return clamp(1); }\n}\n",
     True),
    ("a structured binding that shadows it", LIMIT,
     in_function("struct Pair {\n    int a;\n    int b;\n};\nauto [limit, other] = Pair{1, 2};\nreturn limit + other;"),
     True),
    ("a lambda's parameter that shadows it", LIMIT,
     in_function("const auto bounded = [](int limit) { return limit; };\nreturn bounded(2);"), True),
    ("a pointer that shadows it", LIMIT, in_function("int* limit = nullptr;\nreturn limit == nullptr;"), True),
    ("a local of a function of the named namespace around it", LIMIT,
     "namespace n {\nint second() {\n    int limit = 2;\n    return limit;\n}\n}\n", False),
    ("a local named like another file's private function", HELPER.replace("second", "first"),
     in_function("int helper = 2;\nreturn helper;"), False),
    ("a local named like another file's private class", ROW, in_function("int Row = 2;\nreturn Row;"), False),
    ("a function that returns a class named with its key, and a local of the class named so",
     "#include \"lib.h\"\nnamespace n {\nnamespace {\nstruct Range bounds(int value) { return Range{value}; }\n}\n"
     "int first() { return bounds(1).a; }\n}\n",
     "#include \"lib.h\"\n" + in_function("struct Range range {};\nreturn range.a;"), False),
    ("a local class that shadows another file's private class", ROW,
     in_function("struct Row {\n    int b;\n};\nreturn Row{2}.b;"), True),
    ("a class member named like another file's private variable", LIMIT,
     "namespace n {\nnamespace {\nstruct Bounds {\n    int limit = 0;\n    int twice() const { return 2 * limit; }\n};\n}\n"
     "int second() { return Bounds{}.twice(); }\n}\n", False),
    ("using-declarations of one function",
     "#include \"lib.h\"\nnamespace n {\nnamespace {\nusing lib::twice;\n}\nint first() { return twice(1); }\n}\n",
     "#include \"lib.h\"\nnamespace n {\nnamespace {\nusing ::lib::twice;\n}\nint second() { return twice(2); }\n}\n",
     False),
    ("aliases of one type", "namespace n {\nnamespace {\nusing Count = int;\n}\n}\n",
     "namespace n {\nnamespace {\nusing Count = int;\n}\n}\n", False),
    ("aliases of two types", "namespace n {\nnamespace {\nusing Count = int;\n}\n}\n",
     "namespace n {\nnamespace {\nusing Count = long;\n}\n}\n", True),
    ("a macro left defined that the other file spells",
     "#define LIMIT 3\nnamespace n {\nint first() { return LIMIT; }\n}\n",
     "namespace n {\nint second() {\n    int LIMIT = 2;\n    return LIMIT;\n}\n}\n", True),
    ("a macro undefined after its use",
     "#define LIMIT 3\nnamespace n {\nint first() { return LIMIT; }\n}\n#undef LIMIT\n",
     "namespace n {\nint second() {\n    int LIMIT = 2;\n    return LIMIT;\n}\n}\n", False),
    ("an enumerator and a private variable", "namespace n {\nnamespace {\nenum Mode { fast, slow };\n}\n}\n",
     "namespace n {\nnamespace {\nconstexpr int fast = 1;\n}\n}\n", True),
    ("a variable with its initializer in parentheses", "namespace n {\nnamespace {\nconst int limit(3);\n}\n}\n",
     "namespace n {\nnamespace {\nconst int limit(4);\n}\n}\n", True),
    ("a variable of a template's type with its initializer in braces",
     "#include \"lib.h\"\nnamespace n {\nnamespace {\nconst lib::Box<int> box{1};\n}\n}\n",
     "#include \"lib.h\"\nnamespace n {\nnamespace {\nconst lib::Box<long> box{2};\n}\n}\n", True),
    ("a private function after a constructor's braced member initializer",
     "namespace n {\nstruct Pair {\n    int a;\n    int b;\n    Pair(int value);\n};\n"
     "Pair::Pair(int value) : a{value}, b{value} {}\nnamespace {\nint helper() { return 1; }\n}\n"
     "int first() { return helper() + Pair(1).a; }\n}\n", HELPER, True),
    ("a private function after braces in a raw string",
     "namespace n {\nconst char* const text = R\"({ namespace { })\";\nnamespace {\nint helper() { return 1; }\n}\n"
     "int first() { return helper() + *text; }\n}\n", HELPER, True),
    ("a private function after a macro's use without a semicolon",
     "#define COUNTER(name) inline int name##Counter = 0;\nCOUNTER(first)\nnamespace n {\nnamespace {\n"
     "int helper() { return 1; }\n}\nint first() { return helper() + firstCounter; }\n}\n", HELPER, True),
]


def compiles(folder, *files):
    batch = folder / ("batch-" + "-".join(Path(file).stem for file in files) + ".cpp")
    batch.write_text("".join(f'#include "{file}"\n' for file in files))
    return subprocess.run([COMPILER, "-std=c++20", "-fsyntax-only", "-Wshadow", "-Werror=shadow", str(batch)],
                          capture_output=True, text=True).returncode == 0


class BatchNames(unittest.TestCase):
    def test_agree_with_the_compiler(self):
        with tempfile.TemporaryDirectory() as temporary, ThreadPoolExecutor(4) as pool:
            folders = [Path(temporary) / f"case{index}" for index in range(len(CASES))]
            runs = list(pool.map(self.run_case, folders, CASES))
        for (what, _, _, clashes), (alone, together, checked, stamped) in zip(CASES, runs):
            with self.subTest(what):
                self.assertEqual(alone, (True, True), "each file compiles alone")
                self.assertEqual(together, clashes, "the compiler's verdict on the two in one batch")
                self.assertEqual(checked.returncode != 0, clashes, checked.stdout)
                self.assertEqual(stamped, not clashes)
                if clashes:
                    self.assertIn("first.cpp", checked.stdout)
                    self.assertIn("second.cpp", checked.stdout)
                    self.assertIn("error: pair is compiled in batches", checked.stdout)

    @staticmethod
    def run_case(folder, case):
        _, first, second, _ = case
        folder.mkdir()
        (folder / "lib.h").write_text(LIBRARY)
        (folder / "first.cpp").write_text(first)
        (folder / "second.cpp").write_text(second)
        alone = (compiles(folder, "first.cpp"), compiles(folder, "second.cpp"))
        together = not (compiles(folder, "first.cpp", "second.cpp") and compiles(folder, "second.cpp", "first.cpp"))
        checked = subprocess.run([sys.executable, str(ROOT / "cmake/check_batch_names.py"), "pair", "stamp",
                                  "first.cpp", "second.cpp"], cwd=folder, capture_output=True, text=True)
        return alone, together, checked, (folder / "stamp").exists()

    def test_fail_the_first_build_of_a_project(self):
        with tempfile.TemporaryDirectory() as temporary:
            source, build = Path(temporary) / "source", Path(temporary) / "build"
            source.mkdir()
            (source / "CMakeLists.txt").write_text(f"""cmake_minimum_required(VERSION 3.25)
project(Pair LANGUAGES CXX)
list(APPEND CMAKE_MODULE_PATH "{ROOT / 'cmake'}")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(NorvaneBatchCheck)
set(CMAKE_UNITY_BUILD ON)
set(CMAKE_UNITY_BUILD_BATCH_SIZE 2)
add_library(pair STATIC first.cpp middle.cpp second.cpp)
norvane_check_batches()
""")
            (source / "first.cpp").write_text(LIMIT)
            (source / "middle.cpp").write_text("namespace n {\nint middle() { return 0; }\n}\n")
            (source / "second.cpp").write_text(LIMIT.replace("first", "second"))
            self.run_command(CMAKE, "-S", source, "-B", build, "-G", "Ninja", f"-DCMAKE_MAKE_PROGRAM={NINJA}",
                             f"-DCMAKE_CXX_COMPILER={COMPILER}")
            self.run_command(CMAKE, "--build", build, "--target", "pair")  # first.cpp and second.cpp: two batches
            failed = subprocess.run([CMAKE, "--build", build], capture_output=True, text=True)
            self.assertNotEqual(failed.returncode, 0, failed.stdout)
            self.assertIn("first.cpp:3: error: 'limit' is defined in namespace n::{anonymous} here and at "
                          "second.cpp:3 (a redefinition)", failed.stdout)
            self.assertIn("error: pair is compiled in batches of its files", failed.stdout)
            (source / "second.cpp").write_text(LIMIT.replace("first", "second").replace("limit", "bound"))
            self.run_command(CMAKE, "--build", build)

    def run_command(self, *command):
        run = subprocess.run([str(part) for part in command], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)


if __name__ == "__main__":
    ROOT, COMPILER, CMAKE, NINJA = Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    unittest.main(argv=[sys.argv[0], *sys.argv[5:]])
