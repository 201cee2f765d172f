#!/usr/bin/env python3
"""Writes counter/LanguageTable.cpp from the reference counter's language table (counter/reference).

The reference table gives every language's name, extensions, file names, interpreters, comment
and string markers, nesting, docstrings, branch keywords and the keywords that tell languages of a
shared extension apart; all of them are copied as they stand. The few changes below are our own:
they make the line counts right where the reference loses its place (an apostrophe in a
regular-expression literal or a character literal, a comment marker inside a string, a backslash
where it escapes nothing), and CloudFormation templates are told from other YAML and JSON by their
structure rather than by words that plain files hold as well ("Type:" in "releaseType:").

    counter/generate_language_table.py counter/reference/languages.json > counter/LanguageTable.cpp
    clang-format -i counter/LanguageTable.cpp
"""

import json
import sys

# The reference's " and ' strings end with their line here (unless a backslash carries them on),
# as they do in these languages, so that a stray quote cannot swallow the rest of the file (in TCL
# an apostrophe is no quote at all: "proc do'it"). The reference's strings opened by an escaped
# quote (\" in shell or CMake text) end with their line everywhere.
ONE_LINE_QUOTES = {
    "ActionScript", "Ada", "Agda", "Assembly", "AWK", "Bazel", "Bitbucket Pipeline", "C", "C Header", "C#", "C++",
    "C++ Header", "CSS", "Cython", "D", "Dart", "Device Tree", "Dhall", "DOT", "Elixir", "Elm", "Erlang", "F#",
    "FORTRAN Modern", "GDScript", "Gemfile", "GN", "Go", "Gradle", "Groovy", "Haskell", "IDL", "Idris", "Java",
    "JavaScript", "Jenkins Buildfile", "JSX", "Just", "Kotlin", "Lean", "LESS", "LLVM IR", "Lua", "Meson", "Nim",
    "Nushell", "Objective C", "Objective C++", "Pascal", "PHP", "PL/SQL", "Pony", "Processing", "Prolog",
    "Protocol Buffers", "Puppet", "PureScript", "Python", "QML", "ReasonML", "Sass", "Scala", "Scons", "Solidity",
    "SQL", "Standard ML (SML)", "Stylus", "Swift", "SystemVerilog", "Teal", "Terraform", "Thrift", "TOML",
    "TypeScript", "TypeScript Typings", "Unreal Script", "Vala", "Varnish Configuration", "Verilog", "VHDL",
    "Visual Basic", "Wren", "YAML", "Zig", "TCL", "Expect",
}

# Where a backslash escapes nothing: markup and the templates written in it, where a quote right
# after one is text as well, and languages whose strings escape otherwise or not at all.
MARKUP = {
    "ASP.NET", "Blade template", "Closure Template", "ColdFusion", "Document Type Definition",
    "Extensible Stylesheet Language Transformations", "Freemarker Template", "FXML", "Go Template", "Hamlet",
    "Handlebars", "HTML", "JavaServer Pages", "Jinja", "Macromedia eXtensible Markup Language", "Mako", "MSBuild",
    "Mustache", "nuspec", "Polly", "Razor", "Report Definition Language", "Ruby HTML", "Smarty Template", "Svelte",
    "SVG", "Twig Template", "Vue", "Web Services Description Language", "XAML", "XML", "XML Schema",
}
BACKSLASH_IS_TEXT = {
    "Ada", "APL", "Basic", "COBOL", "Coq", "FORTRAN Legacy", "FORTRAN Modern", "LOLCODE", "MATLAB", "MUMPS",
    "Pascal", "PL/SQL", "Powershell", "SAS", "SNOBOL", "Softbridge Basic", "SQL", "Visual Basic",
    "Visual Basic for Applications",
}

# Languages of a shared extension that a file must prove to be, by a test of their own.
RECOGNIZERS = {"CloudFormation (YAML)": "looksLikeYamlTemplate", "CloudFormation (JSON)": "looksLikeJsonTemplate"}

# Lua's long brackets: "[[" to "]]", "[=[" to "]=]" and so on, with any number of "=" (the level),
# a string, or a comment right after "--". The reference knows "--[[" alone. Here they go up to
# level 60, whose comment marker of 64 bytes is the longest the scanner sees.
LUA_LEVELS = range(0, 61)
LUA_LONG_STRINGS = [{"open": "[" + "=" * level + "[", "close": "]" + "=" * level + "]", "escapes": False,
                     "multiline": True} for level in LUA_LEVELS]

# Strings that the reference table does not know. Each ends with its line and leaves branch
# keywords inside it counted, as the reference reads them as code; raw and text-block strings
# run over lines and hide their keywords, as the reference's own open string does there.
QUOTE = {"open": '"', "close": '"'}
APOSTROPHE = {"open": "'", "close": "'"}
TEXT_BLOCK = {"open": '"""', "close": '"""', "multiline": True, "hidesBranches": True}
RAW_TEXT_BLOCK = dict(TEXT_BLOCK, escapes=False)
CPP_RAW = {"open": 'R"', "close": '"', "escapes": False, "multiline": True, "tagged": True, "hidesBranches": True}
RUST_RAW = [
    {"open": 'r"', "close": '"', "escapes": False, "multiline": True, "hidesBranches": True},
    {"open": 'r#"', "close": '"#', "escapes": False, "multiline": True, "hidesBranches": True},
    {"open": 'r##"', "close": '"##', "escapes": False, "multiline": True, "hidesBranches": True},
]
BACKTICK = {"open": "`", "close": "`"}
C_FAMILY = ["C", "C Header", "Objective C", "Objective C++", "Processing", "Solidity", "Unreal Script", "ActionScript",
            "Protocol Buffers", "Vala", "CSS", "LESS", "Sass", "Stylus", "Dart", "Groovy", "Haxe", "Go", "Zig",
            "Gradle", "Jenkins Buildfile", "GLSL", "Fragment Shader File", "Vertex Shader File", "AWK"]
SHELL_LIKE = ["Shell", "BASH", "Zsh", "Korn Shell", "Fish", "C Shell", "PKGBUILD", "Ruby", "Rakefile", "Gemfile",
              "Perl", "PHP", "Lua", "Teal", "Elixir", "Crystal", "Puppet", "TCL", "Expect", "Cython", "GDScript",
              "Scons", "Julia", "Idris", "Nim", "Just", "Zig", "TOML", "Assembly", "R", "Nix"]
EXTRA_STRINGS = {name: [APOSTROPHE] for name in C_FAMILY}
for name in SHELL_LIKE:
    EXTRA_STRINGS.setdefault(name, []).append(QUOTE)
# $'...' strings of bash, zsh and ksh know backslash escapes, unlike plain apostrophes: $'it\'s'.
ANSI_C_QUOTE = {"open": "$'", "close": "'", "multiline": True, "hidesBranches": True}
for name in ["Shell", "BASH", "Zsh", "Korn Shell"]:
    EXTRA_STRINGS[name].append(ANSI_C_QUOTE)
EXTRA_STRINGS.update({
    "C++": [CPP_RAW, APOSTROPHE],
    "C++ Header": [CPP_RAW, APOSTROPHE],
    "C#": [RAW_TEXT_BLOCK, APOSTROPHE],
    "Java": [TEXT_BLOCK, APOSTROPHE],
    "Kotlin": [RAW_TEXT_BLOCK, APOSTROPHE],
    "Scala": [RAW_TEXT_BLOCK, APOSTROPHE],
    "Swift": [TEXT_BLOCK],
    "Groovy": [TEXT_BLOCK, APOSTROPHE],
    "JavaScript": [APOSTROPHE, BACKTICK],
    "JSX": [APOSTROPHE, BACKTICK],
    "TypeScript": [APOSTROPHE, BACKTICK],
    "TypeScript Typings": [BACKTICK],
    "QML": [APOSTROPHE, BACKTICK],
    "Rust": RUST_RAW,
    "Visual Basic": [QUOTE],
    "FORTRAN Modern": [QUOTE, APOSTROPHE],
})
EXTRA_STRINGS["Lua"] += LUA_LONG_STRINGS

# Shell strings in apostrophes know no escapes, unlike the others of their languages.
NO_ESCAPES = {(name, "'") for name in ["Shell", "BASH", "Zsh", "Korn Shell", "Fish", "PKGBUILD", "TOML", "YAML"]}

# Markers that count only in the first column of a line, and POD blocks the table leaves out.
FIRST_COLUMN_BLOCKS = {"=begin", "=pod", "=head", "=cut"}
EXTRA_BLOCKS = {
    "Perl": [["=head", "=cut"], ["=begin", "=cut"]],
    "Lua": [["--[" + "=" * level + "[", "]" + "=" * level + "]"] for level in LUA_LEVELS if level > 0],
}

# Programs that run scripts of a language besides those the table names.
EXTRA_INTERPRETERS = {
    "AWK": ["awk", "gawk", "mawk"], "JavaScript": ["node", "nodejs"], "TCL": ["tclsh", "wish"],
    "Shell": ["dash", "ash"], "Korn Shell": ["mksh"], "Lua": ["luajit"], "R": ["rscript"], "Scheme": ["guile"],
    "Powershell": ["pwsh"], "Julia": ["julia"], "sed": ["sed"], "Elixir": ["elixir"],
}

# Byte sequences that look like a string or comment start but are plain code: the character
# literal '"' where apostrophes are not quotes, and the character forms of Lisps and Erlang.
QUOTE_CHARACTER = ["'\"'", "'\\\"'"]
VERBATIM = {name: QUOTE_CHARACTER for name in
            ["Ada", "Agda", "Elm", "F#", "Haskell", "Idris", "Julia", "Lean", "OCaml", "PureScript", "Rust"]}
VERBATIM.update({
    "Clojure": ["\\\""], "ClojureScript": ["\\\""], "Emacs Lisp": ["?\\\"", "?\""], "Erlang": ["$\"", "$'"],
    "Lisp": ["#\\\""], "Racket": ["#\\\""], "Scheme": ["#\\\""],
})


# The branch keywords of most languages, written once.
COMMON_BRANCHES = ["for ", "for(", "if ", "if(", "switch ", "while ", "else ", "|| ", "&& ", "!= ", "== "]


# Comment markers that many languages share.
NAMED_LISTS = {'{"//"}': "slashes", '{"#"}': "hashes", '{{"/*", "*/"}}': "slashStar", '{{"<!--", "-->"}}': "xmlComment"}


def cpp_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n").replace("\t", "\\t")
    return '"' + escaped + '"'


def cpp_list(items):
    return "{" + ", ".join(cpp_string(item) for item in items) + "}"


def unique(items):
    seen = []
    for item in items:
        if item not in seen:
            seen.append(item)
    return seen


# Delimiters that many languages share, written once under a name.
NAMED_STRINGS = {
    "quote": {"open": '"', "close": '"', "multiline": True, "hidesBranches": True},
    "oneLineQuote": {"open": '"', "close": '"', "hidesBranches": True},
    "apostrophe": {"open": "'", "close": "'", "multiline": True, "hidesBranches": True},
    "oneLineApostrophe": {"open": "'", "close": "'", "hidesBranches": True},
    "escapedQuote": {"open": '\\"', "close": '\\"', "escapes": False, "multiline": True, "hidesBranches": True},
    "escapedTripleQuote": {"open": '\\"\\"\\"', "close": '\\"\\"\\"', "escapes": False, "multiline": True,
                           "hidesBranches": True},
    "looseQuote": QUOTE,
    "looseApostrophe": APOSTROPHE,
}


def delimiter_fields(delimiter):
    fields = [f".open = {cpp_string(delimiter['open'])}", f".close = {cpp_string(delimiter['close'])}"]
    for key, default in (("escapes", True), ("multiline", False), ("docstring", False), ("tagged", False),
                         ("hidesBranches", False)):
        if delimiter.get(key, default) != default:
            fields.append(f".{key} = {'true' if delimiter[key] else 'false'}")
    return "{" + ", ".join(fields) + "}"


def string_entry(delimiter):
    rendered = delimiter_fields(delimiter)
    for name, named in NAMED_STRINGS.items():
        if delimiter_fields(named) == rendered:
            return name
    return rendered


def strings_of(name, language):
    strings = []
    for quote in language.get("quotes") or []:
        start, end = quote["start"], quote["end"]
        strings.append({
            "open": start,
            "close": end,
            # A closing marker that starts with a backslash cannot be escaped by one.
            "escapes": not quote.get("ignoreEscape", False) and not end.startswith("\\")
                       and (name, start) not in NO_ESCAPES,
            "multiline": not (name in ONE_LINE_QUOTES and start in ('"', "'")) and end != "\n"
                         and not start.startswith("\\"),
            "docstring": quote.get("docString", False),
            "hidesBranches": True,
        })
    known = {delimiter["open"] for delimiter in strings}
    strings += [extra for extra in EXTRA_STRINGS.get(name, []) if extra["open"] not in known]
    return strings


def block_entry(pair):
    fields = [cpp_string(pair[0]), cpp_string(pair[1])]
    if pair[0] in FIRST_COLUMN_BLOCKS:
        fields.append("true")
    return "{" + ", ".join(fields) + "}"


def language_entry(name, language):
    lines = [f".name = {cpp_string(name)}"]

    def add(field, values):
        if values:
            lines.append(f".{field} = {cpp_list(values)}")

    add("extensions", [e.lower() for e in language.get("extensions") or []])
    add("fileNames", [f.lower() for f in language.get("filenames") or []])
    add("interpreters", unique((language.get("shebangs") or []) + EXTRA_INTERPRETERS.get(name, [])))
    line_comments = language.get("line_comment") or []
    if line_comments:
        lines.append(".lineComments = " + NAMED_LISTS.get(cpp_list(line_comments), cpp_list(line_comments)))
    blocks = (language.get("multi_line") or []) + EXTRA_BLOCKS.get(name, [])
    if blocks:
        rendered = "{" + ", ".join(block_entry(pair) for pair in blocks) + "}"
        lines.append(".blockComments = " + NAMED_LISTS.get(rendered, rendered))
    if language.get("nestedmultiline"):
        lines.append(".nestedComments = true")
    strings = strings_of(name, language)
    if strings:
        lines.append(".strings = {" + ", ".join(string_entry(s) for s in strings) + "}")
    if name in MARKUP:
        lines.append(".backslash = Backslash::MarkupText")
    elif name in BACKSLASH_IS_TEXT:
        lines.append(".backslash = Backslash::Text")
    complexity = unique(language.get("complexitychecks") or [])
    if complexity == COMMON_BRANCHES:
        lines.append(".complexity = commonBranches")
    else:
        add("complexity", complexity)
    if name in RECOGNIZERS:
        lines.append(f".recognizes = {RECOGNIZERS[name]}")
    else:
        add("keywords", unique(language.get("keywords") or []))
    add("verbatim", VERBATIM.get(name, []))
    return "        {" + ",\n         ".join(lines) + "},"


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        table = json.load(source)
    unknown = (MARKUP | BACKSLASH_IS_TEXT) - table.keys()
    if unknown:
        sys.exit(f"not in the reference table: {', '.join(sorted(unknown))}")
    print("// Generated by counter/generate_language_table.py; change the script, not this file.")
    print('#include "counter/LanguageTable.h"')
    print()
    print('#include "counter/CloudFormationTemplate.h"')
    print()
    print("namespace norvane::counter {")
    print()
    print("namespace {")
    print()
    print(f"const std::initializer_list<std::string_view> commonBranches{cpp_list(COMMON_BRANCHES)};")
    print('const std::initializer_list<std::string_view> slashes{"//"};')
    print('const std::initializer_list<std::string_view> hashes{"#"};')
    print('const std::initializer_list<BlockComment> slashStar{{"/*", "*/"}};')
    print('const std::initializer_list<BlockComment> xmlComment{{"<!--", "-->"}};')
    print()
    print("// String delimiters that many languages share. The loose ones are strings the reference counter")
    print("// does not know: they end with their line and leave the keywords inside them counted.")
    for name, named in NAMED_STRINGS.items():
        print(f"const StringDelimiter {name}{delimiter_fields(named)};")
    print()
    print("const LanguageDefinition languages[] = {")
    for name, language in table.items():
        print(language_entry(name, language))
    print("};")
    print()
    print("} // namespace")
    print()
    print("std::span<const LanguageDefinition> languageTable() { return languages; }")
    print()
    print("} // namespace norvane::counter")


if __name__ == "__main__":
    main()
