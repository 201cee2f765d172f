#!/usr/bin/env python3
"""Tests of the build's check that the files of a target compile in any batches
(cmake/NorvaneBatchCheck.cmake, cmake/check_batch_names.py).

    check_batch_names_test.py SOURCE_ROOT COMPILER CMAKE NINJA [TEST...]

Its verdict on two small files is the compiler's on the two compiled as one batch, in either order
(each file compiles alone): on pairs made by hand, and on pairs generated of every kind of
declaration against every other but where the text cannot decide; and a project that uses it fails
its first build where two files that fall in different batches share a name, saying which and why.
"""

import importlib
import re
import subprocess
import sys
import tempfile
import unittest
from collections import namedtuple
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
// What the generated pairs' aliases and using-declarations name: classes of different members,
// functions and variables.
namespace a {
struct Id {
    int v;
};
} // namespace a
namespace ba {
struct Id {
    int w;
};
} // namespace ba
namespace fa {
inline int Id() { return 1; }
} // namespace fa
namespace bfa {
inline int Id() { return 2; }
} // namespace bfa
namespace va {
inline int Id = 1;
} // namespace va
namespace bva {
inline int Id = 2;
} // namespace bva
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


# The generated pairs: each file declares Id in namespace n or in its anonymous namespace in one of these
# ways, and uses it. In the second file a qualified name is spelled from the global namespace (^), a class
# is a class rather than a struct (@Struct, @Public) and an enumeration has another name (@Mode). Kinds of
# one category meet in both meanings: the first names one entity in both files, the second another.
Kind = namedtuple("Kind", "meanings category placements")
ANYWHERE = (False, True)  # whether in the anonymous namespace
KINDS = [
    Kind([("@Struct Id {\n@Public    int v;\n};", "Id{1}.v")], None, ANYWHERE),
    Kind([("enum class Id { one };", "static_cast<int>(Id{})")], None, ANYWHERE),
    Kind([("enum @Mode { Id };", "Id")], None, ANYWHERE),
    Kind([("using Id = ^a::Id;", "Id{1}.v"), ("using Id = ^ba::Id;", "Id{1}.w")], "type", ANYWHERE),
    Kind([("typedef ^a::Id Id;", "Id{1}.v"), ("typedef ^ba::Id Id;", "Id{1}.w")], "type", ANYWHERE),
    Kind([("using ^a::Id;", "Id{1}.v"), ("using ^ba::Id;", "Id{1}.w")], "type", ANYWHERE),
    Kind([("using ^fa::Id;", "Id()"), ("using ^bfa::Id;", "Id()")], "function", ANYWHERE),
    Kind([("using ^va::Id;", "Id"), ("using ^bva::Id;", "Id")], "variable", ANYWHERE),
    Kind([("namespace Id = ^a;", "Id::Id{1}.v"), ("namespace Id = ^ba;", "Id::Id{1}.w")], "namespace", ANYWHERE),
    Kind([("int Id() { return 1; }", "Id()"), ("int Id(int value) { return value; }", "Id(1)")], "function", ANYWHERE),
    Kind([("static int Id() { return 1; }", "Id()"), ("static int Id(int value) { return value; }", "Id(1)")],
         "function", (False,)),
    Kind([("int Id = 1;", "Id")], None, ANYWHERE),
    Kind([("constexpr int Id = 1;", "Id")], None, ANYWHERE),
    Kind([("#define Id 1", "Id"), ("#define Id 2", "Id")], "macro", (False,)),
]
LOCAL_VARIABLE = "int second() {\n    int Id = 2;\n    return Id;\n}"
LOCALS = {"a local int Id": LOCAL_VARIABLE,
          "a local struct Id": "int second() {\n    struct Id {\n        int w;\n    };\n    return Id{2}.w;\n}",
          "a local using Id = long": "int second() {\n    using Id = long;\n    return static_cast<int>(Id{2});\n}"}
Declaration = namedtuple("Declaration", "text use private")


def in_n(body, private):
    return "namespace n {\n" + ("namespace {\n" + body + "\n}\n" if private else body + "\n") + "}\n"


def spelled(text, function):
    """A generated declaration as the file of `function` spells it."""
    for mark, first, second in (("^", "", "::"), ("@Struct", "struct", "class"), ("@Public", "", "public:\n"),
                                ("@Mode", "FirstMode", "SecondMode")):
        text = text.replace(mark, first if function == "first" else second)
    return text


def generated_file(declaration, function):
    """A file that makes `declaration` and uses it in `function`."""
    text = spelled(declaration.text, function)
    made = text + "\n" if text.startswith("#") else in_n(text, declaration.private)
    return f'#include "lib.h"\n{made}namespace n {{\nint {function}() {{ return {declaration.use}; }}\n}}\n'


def where(private):
    return "n's anonymous namespace" if private else "n"


def described(declaration, function):
    return f"{' '.join(spelled(declaration.text, function).split())} in {where(declaration.private)}"


def differs(first, second):
    """Why the check's verdict on a generated pair is not the compiler's, or None: what decides is not in
    the text, or is the linker's."""
    texts = {first.text, second.text}
    if "using ^fa::Id;" in texts and any("(int value)" in text for text in texts):
        return "the check cannot tell the parameters of a function that a using-declaration names"
    if first == second == Declaration("int Id = 1;", "Id", False):
        return "the linker names two public variables"
    if first.text == second.text == "#define Id 1":
        return "the check does not compare macros' bodies"
    shadowing = first.private == second.private and second.text in LOCALS.values()
    if shadowing and (first.text == "using ^fa::Id;" or texts == {"using ^a::Id;", LOCAL_VARIABLE}):
        return "the check cannot tell whether a using-declaration names a variable, a class or a function"
    return None


def generated_pairs():
    """(what, first file, second file, why the check's verdict is not the compiler's or None) of every kind
    against every kind and local, in either namespace."""
    sides = [(kind, private) for kind in KINDS for private in kind.placements]
    for index, (kind, private) in enumerate(sides):
        first = Declaration(*kind.meanings[0], private)
        for other, other_private in sides[index:]:
            one_category = kind.category is not None and kind.category == other.category
            for meaning in other.meanings if one_category else other.meanings[:1]:
                second = Declaration(*meaning, other_private)
                yield (f"{described(first, 'first')} against {described(second, 'second')}",
                       generated_file(first, "first"), generated_file(second, "second"), differs(first, second))
        for what, local in LOCALS.items():
            for local_private in ANYWHERE:
                yield (f"{described(first, 'first')} against {what} in {where(local_private)}",
                       generated_file(first, "first"), '#include "lib.h"\n' + in_n(local, local_private),
                       differs(first, Declaration(local, None, local_private)))


def compiles(folder, *files):
    """Whether the compiler takes each of `files` of `folder` (as the project's warnings would a shadow)."""
    return subprocess.run([COMPILER, "-std=c++20", "-fsyntax-only", "-Wshadow", "-Werror", *files], cwd=folder,
                          capture_output=True, text=True).returncode == 0


def refused_in_a_batch(folder):
    """Whether the compiler refuses first.cpp and second.cpp of `folder` as one batch, in one order or the
    other. One compile reads both orders, each in a namespace of its own and the second without the
    first's macros: where the first order compiles, the second compiles as it would alone."""
    files = ("first.cpp", "second.cpp")
    macros = re.findall(r"^#define (\w+)", "".join((folder / file).read_text() for file in files), re.M)
    orders = [f'namespace {name} {{\n#include "{one}"\n#include "{other}"\n}}\n'
              for name, (one, other) in (("one_order", files), ("other_order", reversed(files)))]
    undefined = "".join(f"#undef {macro}\n" for macro in macros)
    (folder / "batch.cpp").write_text('#include "lib.h"\n' + orders[0] + undefined + orders[1])
    return not compiles(folder, "batch.cpp")


def pair_folder(folder, first, second):
    folder.mkdir()
    (folder / "lib.h").write_text(LIBRARY)
    (folder / "first.cpp").write_text(first)
    (folder / "second.cpp").write_text(second)
    return folder


class BatchNames(unittest.TestCase):
    def test_agree_with_the_compiler(self):
        with tempfile.TemporaryDirectory() as temporary, ThreadPoolExecutor(4) as pool:
            folders = [Path(temporary) / f"case{index}" for index in range(len(CASES))]
            runs = list(pool.map(self.run_case, folders, CASES))
        for (what, _, _, clashes), (alone, together, checked, stamped) in zip(CASES, runs):
            with self.subTest(what):
                self.assertTrue(alone, "each file compiles alone")
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
        pair_folder(folder, first, second)
        checked = subprocess.run([sys.executable, str(ROOT / "cmake/check_batch_names.py"), "pair", "stamp",
                                  "first.cpp", "second.cpp"], cwd=folder, capture_output=True, text=True)
        return (compiles(folder, "first.cpp", "second.cpp"), refused_in_a_batch(folder), checked,
                (folder / "stamp").exists())

    def test_agree_with_the_compiler_on_every_kind_of_pair(self):
        pairs = list(generated_pairs())
        with tempfile.TemporaryDirectory() as temporary, ThreadPoolExecutor(4) as pool:
            texts = sorted({text for _, first, second, _ in pairs for text in (first, second)})
            (Path(temporary) / "lib.h").write_text(LIBRARY)
            for index, text in enumerate(texts):
                (Path(temporary) / f"alone{index}.cpp").write_text(text)
            self.assertTrue(compiles(temporary, *(f"alone{index}.cpp" for index in range(len(texts)))),
                            "each generated file compiles alone")
            folders = [Path(temporary) / f"pair{index}" for index in range(len(pairs))]
            runs = list(pool.map(self.run_generated, folders, pairs))
        disagreements = []
        for (what, _, _, why), (refused, found) in zip(pairs, runs):
            if bool(found) != (refused != bool(why)):
                disagreements.append(f"{what}: the compiler {'refuses' if refused else 'takes'} it, the check "
                                     f"{'names' if found else 'passes'} it" + (f" ({why})" if why else ""))
            elif found:
                self.assertRegex(found[0], r"first\.cpp.*second\.cpp|second\.cpp.*first\.cpp", what)
        self.assertFalse(disagreements, "\n".join(disagreements))

    @staticmethod
    def run_generated(folder, pair):
        _, first, second, _ = pair
        pair_folder(folder, first, second)
        found = check_batch_names.problems({name: cpp_declarations.read(folder / name)
                                            for name in ("first.cpp", "second.cpp")})
        return refused_in_a_batch(folder), found

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
    sys.path.insert(0, str(ROOT / "cmake"))
    check_batch_names = importlib.import_module("check_batch_names")
    cpp_declarations = importlib.import_module("cpp_declarations")
    unittest.main(argv=[sys.argv[0], *sys.argv[5:]])
