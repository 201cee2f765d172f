#!/usr/bin/env python3
"""Makes source trees shaped like well-known repositories, for timing norvane-count against another
counter where there is no network to clone them:

    bench/counter/shaped_trees.py DIR

writes into DIR (which must not exist):

- redis/: about 1,500 C files and headers, Tcl tests, command JSON files, 250,000 lines;
- requests/: about 100 Python files and reStructuredText docs;
- jq/: C with a generated parser of 7,000 lines, many small tests and modules, YAML manuals;
- express/: JavaScript in many small files, examples with views, and node_modules left out by
  .gitignore;
- ripgrep/: Rust in about 100 files under crates/;
- one-line.js: a 4 MB minified JavaScript file of one line;
- large.c: a 200 MB C file;
- empty/: an empty folder.

The contents are generated from a fixed seed, so every run makes the same bytes: code with
comments, strings holding comment markers, blank lines and branches, in the proportions of real
code. Prints the files and bytes of each tree.
"""

import argparse
import os
import random
import sys

WORDS = ("buffer count index node value list entry result state client server reply key length "
         "offset data size flags name path error config item table hash stream event").split()


def word(rng):
    return rng.choice(WORDS)


def ident(rng):
    return word(rng) + rng.choice(["", "_" + word(rng), word(rng).capitalize()])


class Style:
    """How one language writes comments, strings and statements."""

    def __init__(self, line, block, doc, statements, opener, closer, indent="    "):
        self.line, self.block, self.doc = line, block, doc
        self.statements, self.opener, self.closer, self.indent = statements, opener, closer, indent

    def comment(self, rng, depth):
        pad = self.indent * depth
        text = " ".join(word(rng) for _ in range(rng.randint(3, 10)))
        return f"{pad}{self.line} {text}" if self.line else f"{pad}{text}"

    def statement(self, rng, depth):
        pad = self.indent * depth
        line = rng.choice(self.statements).format(a=ident(rng), b=ident(rng), n=rng.randint(0, 4096),
                                                    s=" ".join(word(rng) for _ in range(rng.randint(1, 5))))
        if self.line and rng.random() < 0.08:
            line += f"  {self.line} {word(rng)} {word(rng)}"
        return pad + line

    def unit(self, rng, lines):
        out = []
        if self.doc and rng.random() < 0.6:
            open_, middle, close = self.doc
            out.append(open_)
            out += [middle + " ".join(word(rng) for _ in range(rng.randint(4, 11)))
                    for _ in range(rng.randint(1, 5))]
            out.append(close)
        out.append(self.opener.format(a=ident(rng), b=ident(rng)))
        depth = 1
        for _ in range(lines):
            roll = rng.random()
            if roll < 0.10:
                out.append("")
            elif roll < 0.20:
                out.append(self.comment(rng, depth))
            elif roll < 0.27 and self.block and depth < 4:
                out.append(self.indent * depth + self.block[0].format(a=ident(rng), b=ident(rng), n=rng.randint(0, 99)))
                depth += 1
            elif roll < 0.33 and self.block and depth > 1:
                depth -= 1
                out.append(self.indent * depth + self.block[1])
            else:
                out.append(self.statement(rng, depth))
        while depth > 1 and self.block:
            depth -= 1
            out.append(self.indent * depth + self.block[1])
        if self.closer:
            out.append(self.closer)
        out.append("")
        return out


C_LIKE = ['{a} = {b}({a}, {n});', 'if ({a} == NULL) return -1;', '{a}->{b} += {n};',
          'snprintf(buf, sizeof(buf), "%s: {s} // not a comment", {a});', 'for (i = 0; i < {a}; i++) {b}[i] = 0;',
          'int {a} = {b} & 0x{n:x};', 'while ({a} && {b} != {n}) {a}--;', 'const char *{a} = "{s} /* x */";',
          '{a} = {b} ? {a} : {b};  /* {s} */', 'return {a}({b}, "{s}");', 'memcpy({a}, {b}, {n});']
STYLES = {
    "c": Style("//", ("if ({a} != {b}) {{", "}"), ("/*", " * ", " */"), C_LIKE, "static int {a}(void *{b}) {{", "}"),
    "h": Style("//", None, ("/*", " * ", " */"), ['#define {a} {n}', 'int {a}(const char *{b});',
                                                 'typedef struct {a} {a};', 'extern unsigned long {a};'], "", ""),
    "tcl": Style("#", ("if {{${a} > {n}}} {{", "}"), None,
                 ['set {a} [{b} ${a}]', 'r set {a} "{s}"', 'assert_equal {n} [r llen {a}]', 'after {n}',
                  'lappend {a} "{s} # not a comment"', 'incr {a} {n}'], 'test "{a} {b}" {{', "}"),
    "py": Style("#", ("if {a} is not None:", ""), ('    """', "    ", '    """'),
                ['{a} = self.{b}({n})', 'return {a}.get("{s}", None)', 'raise ValueError("{s} # no")',
                 '{a}.append({b}[{n}])', 'for {a} in {b}:', '{a} = [x for x in {b} if x]',
                 'self.{a} = kwargs.pop("{b}", {n})'], "def {a}(self, {b}=None):", ""),
    "js": Style("//", ("if ({a} !== {b}) {{", "}"), ("/**", " * ", " */"),
                ["var {a} = require('{b}');", "{a}.{b} = function () {{ return {n}; }};",
                 "res.send('{s} // not a comment');", "const {a} = {b}.map((x) => x + {n});",
                 "assert.strictEqual({a}, '{s}');", "{a}({b}, done);", "app.get('/{a}', {b});",
                 "if (!{a}) return next(err);"], "function {a}({b}) {{", "}", "  "),
    "rs": Style("//", ("if {a} != {b} {{", "}"), ("/// ", "/// ", "///"),
                ["let {a} = {b}.{a}({n});", "let {a}: &str = \"{s} // not a comment\";",
                 "{a}.push({b}.len() + {n});", "match {a} {{ Some(x) => x, None => {n} }};",
                 "return Err(io::Error::new(io::ErrorKind::Other, \"{s}\"));", "self.{a} = {b}?;",
                 "for {a} in {b}.iter() {{ {a}.clear(); }}"], "pub fn {a}(&mut self, {b}: usize) -> Result<()> {{",
                "}"),
    "sh": Style("#", ("if [ -n \"${a}\" ]; then", "fi"), None,
                ['{a}="${b}/{s}"', 'echo "{s} # not a comment"', 'cd "${a}" || exit {n}', '{a} --{b} {n}'],
                "{a}() {{", "}", "  "),
    "rst": Style(None, None, None, ["{s} ``{a}`` {s}.", ".. code-block:: python", "   >>> {a}.{b}({n})",
                                    "See :func:`{a}` for {s}."], "{a}", "", ""),
    "md": Style(None, None, None, ["- {s} `{a}` ({n})", "{s} {s}.", "```{a}```", "## {a}"], "# {a}", ""),
    "yml": Style("#", None, None, ["{a}: {n}", "  {b}: \"{s}\"", "- {a}", "  - run: {s}"], "{a}:", "", "  "),
    "json": Style(None, None, None, ['"{a}": "{s}",', '"{b}": {n},', '"{a}": ["{b}", "{s}"],'], "{{", "}}"),
    "toml": Style("#", None, None, ['{a} = "{s}"', '{b} = {n}'], "[{a}]", ""),
    "html": Style(None, None, None, ['<p class="{a}">{s}</p>', '<a href="/{b}">{s}</a>', '<%= {a} %>'],
                  "<div>", "</div>"),
    "css": Style(None, ("/* {a} */", ""), None, ["  {a}: {n}px;", "  color: #{n:x};"], ".{a} {{", "}"),
    "m4": Style("dnl", None, None, ["AC_DEFINE([{a}], [{n}])", "AS_IF([test x${a} = xyes], [{b}=1])"],
                "AC_DEFUN([{a}], [", "])"),
}


def source(rng, extension, lines):
    style = STYLES[extension]
    out = []
    while len(out) < lines:
        out += style.unit(rng, rng.randint(5, 40))
    return "\n".join(out[:lines]) + "\n"


class Tree:
    def __init__(self, root, seed):
        self.root, self.rng, self.files, self.bytes = root, random.Random(seed), 0, 0

    def write(self, relative, text):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as out:
            out.write(text)
        self.files += 1
        self.bytes += len(text)

    def sources(self, folder, extension, count, lines, names=None):
        """`count` files of about `lines` lines each, some much longer, as real folders have."""
        for index in range(count):
            length = int(self.rng.lognormvariate(0, 0.9) * lines) + 3
            name = names[index % len(names)] + str(index) if names else f"{word(self.rng)}{index}"
            self.write(f"{folder}/{name}.{extension}", source(self.rng, extension, length))


def redis(tree):
    tree.sources("src", "c", 170, 400)
    tree.sources("src", "h", 80, 150)
    tree.sources("src/modules", "c", 10, 200)
    tree.sources("src/commands", "json", 400, 40)
    for dep, count in (("jemalloc/src", 60), ("jemalloc/include/jemalloc/internal", 120), ("jemalloc/test/unit", 90),
                       ("lua/src", 60), ("hiredis", 30), ("hiredis/examples", 15), ("linenoise", 4),
                       ("hdr_histogram", 6)):
        tree.sources(f"deps/{dep}", "c", count, 90)
        tree.sources(f"deps/{dep}", "h", count // 3, 60)
    tree.sources("tests/unit", "tcl", 120, 180)
    tree.sources("tests/unit/type", "tcl", 40, 300)
    tree.sources("tests/integration", "tcl", 40, 150)
    tree.sources("tests/helpers", "tcl", 20, 60)
    tree.sources("tests/modules", "c", 40, 120)
    tree.sources("utils", "sh", 20, 50)
    tree.sources("utils", "py", 10, 80)
    tree.sources(".github/workflows", "yml", 12, 80)
    tree.sources(".", "md", 8, 120)
    tree.write("Makefile", "default: all\n\nall:\n\tcd src && $(MAKE) $@\n" * 20)
    tree.write(".gitignore", "*.o\n*.xo\n*.so\n*.d\n*.log\ndump*.rdb\nsrc/redis-server\n.DS_Store\n")


def requests(tree):
    tree.sources("src/requests", "py", 18, 300)
    tree.sources("tests", "py", 14, 400)
    tree.sources("docs", "rst", 12, 200)
    tree.sources("docs/user", "rst", 6, 400)
    tree.sources("docs/dev", "rst", 5, 150)
    tree.sources("docs/community", "rst", 8, 80)
    tree.sources("docs/_templates", "html", 4, 40)
    tree.sources("docs/_static", "css", 2, 80)
    tree.sources(".github/workflows", "yml", 6, 50)
    tree.sources("ext", "py", 3, 20)
    tree.sources(".", "md", 4, 300)
    tree.write("setup.py", source(tree.rng, "py", 110))
    tree.write("pyproject.toml", source(tree.rng, "toml", 40))
    tree.write("docs/Makefile", "html:\n\tsphinx-build -b html . _build\n" * 30)
    tree.write(".gitignore", "*.pyc\n__pycache__/\nbuild/\ndist/\n.tox/\n*.egg-info\n")


def jq(tree):
    tree.sources("src", "c", 45, 500)
    tree.sources("src", "h", 30, 80)
    tree.write("src/parser.c", source(tree.rng, "c", 7000))
    tree.write("src/lexer.c", source(tree.rng, "c", 2500))
    tree.sources("docs/content/manual", "yml", 10, 1200)
    tree.sources("docs/content", "yml", 8, 200)
    tree.sources("tests", "sh", 20, 100)
    tree.sources("tests/modules", "json", 30, 6)
    tree.sources("tests/modules/lib", "json", 20, 4)
    tree.sources("tests/torture", "sh", 6, 30)
    tree.sources("m4", "m4", 12, 400)
    tree.sources("scripts", "sh", 8, 60)
    tree.sources("sig", "md", 4, 20)
    tree.sources(".github/workflows", "yml", 8, 200)
    tree.sources(".", "md", 5, 200)
    tree.write(".gitignore", "*.o\n*.lo\n*.la\n.libs\n.deps\n/jq\n/config.log\n/configure\n")


def express(tree):
    tree.sources("lib", "js", 10, 300)
    tree.sources("lib/router", "js", 4, 200)
    tree.sources("test", "js", 90, 200)
    tree.sources("test/support", "js", 4, 60)
    tree.sources("test/fixtures", "html", 20, 5)
    for example in range(45):
        folder = f"examples/{word(tree.rng)}-{example}"
        tree.sources(folder, "js", tree.rng.randint(1, 3), 60)
        tree.sources(f"{folder}/views", "html", tree.rng.randint(0, 4), 20)
        tree.sources(f"{folder}/public", "css", tree.rng.randint(0, 1), 30)
    tree.sources("benchmarks", "js", 6, 40)
    tree.sources(".github/workflows", "yml", 4, 100)
    tree.write("History.md", source(tree.rng, "md", 3600))
    tree.sources(".", "md", 3, 150)
    tree.write("package.json", source(tree.rng, "json", 90))
    tree.write(".gitignore", "node_modules\ncoverage\n*.log\n.nyc_output\npackage-lock.json\n")
    for package in range(60):
        folder = f"node_modules/{word(tree.rng)}-{package}"
        tree.sources(folder, "js", 3, 120)
        tree.write(f"{folder}/package.json", source(tree.rng, "json", 30))


def ripgrep(tree):
    for crate, count in (("core", 12), ("cli", 10), ("globset", 6), ("grep", 2), ("ignore", 12), ("matcher", 4),
                         ("pcre2", 3), ("printer", 12), ("regex", 12), ("searcher", 16)):
        tree.sources(f"crates/{crate}/src", "rs", count, 320)
        tree.write(f"crates/{crate}/Cargo.toml", source(tree.rng, "toml", 30))
    tree.sources("tests", "rs", 10, 700)
    tree.sources("benchsuite", "py", 2, 600)
    tree.sources("ci", "sh", 8, 40)
    tree.sources("doc", "md", 4, 300)
    tree.sources(".", "md", 5, 250)
    tree.write("Cargo.toml", source(tree.rng, "toml", 100))
    tree.write(".gitignore", "/target\n/ci/docker/*/target\n*.rs.bk\n/tmp\n")


def one_line(path, rng):
    parts = []
    size = 0
    while size < 4 * 1024 * 1024:
        piece = (f"function {ident(rng)}(e,t){{var n=e.{word(rng)}||{rng.randint(0, 99)};"
                 f"if(n===t)return\"{word(rng)}//x\";for(var r=0;r<n;r++)t[r]=e[r]/2;return t}}"
                 f"/* {word(rng)} */var {ident(rng)}='{word(rng)}';")
        parts.append(piece)
        size += len(piece)
    with open(path, "w") as out:
        out.write("".join(parts) + "\n")
    return size


def large_file(path, rng):
    block = source(rng, "c", 30000)
    written = 0
    with open(path, "w") as out:
        while written < 200 * 1000 * 1000:
            out.write(block)
            written += len(block)
    return written


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder", metavar="DIR", help="the folder to make the trees in; it must not exist")
    root = parser.parse_args().folder
    if os.path.lexists(root):
        parser.error(f"{root} exists already")
    os.makedirs(root)
    for seed, make in enumerate((redis, requests, jq, express, ripgrep)):
        tree = Tree(os.path.join(root, make.__name__), seed)
        make(tree)
        print(f"{make.__name__:10} {tree.files:6} files {tree.bytes / 1e6:8.1f} MB", flush=True)
    rng = random.Random(99)
    print(f"one-line.js {one_line(os.path.join(root, 'one-line.js'), rng) / 1e6:8.1f} MB", flush=True)
    print(f"large.c     {large_file(os.path.join(root, 'large.c'), rng) / 1e6:8.1f} MB", flush=True)
    os.makedirs(os.path.join(root, "empty"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
