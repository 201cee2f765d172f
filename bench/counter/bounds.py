#!/usr/bin/env python3
"""Measures what bounds norvane-count: time against a hostile ignore line, peak memory on large
files, and the spread of large files in one folder over the threads. Each counter given is run on
the same trees, made once in a scratch folder and removed at the end:

    bench/counter/bounds.py COUNTER [COUNTER...] [--scratch DIR] [--runs 3]

- "ignore": 2,000 small C files under a .gitignore whose one line is "*[" and 100 KB of "a";
- "2 GB ignore": a C file under a 2 GB .gitignore, "*.o" and then NUL bytes (sparse);
- "100 MB ignore": a C file under a .gitignore of just under 100 MB, the largest applied, of
  9.6 million distinct lines;
- "99 MB wildcards": a C file under a .gitignore of 8.65 million distinct wildcard lines
  ("p0000000*.c", 99 MB), more than the patterns of one count may take;
- "20+20 MB": a C file under a .gitignore and a .ignore of 20 MB of such lines each;
- "3 nested 20 MB": a C file under three nested folders, each with a .gitignore of 20 MB;
- "40+40 MB apart": two folders side by side, each with a C file and a .gitignore of 40 MB of
  such lines: each fits the bound alone, not both at once, as two threads would hold them;
- "1000 x 100 KB": 1,000 folders, each with a C file and a .gitignore of 100 KB of such lines,
  100 MB in all;
- "20 + 12 x 20 MB": a .gitignore of 20 MB of such lines over 12 folders side by side, each with
  a C file and a .gitignore of 20 MB: each folder fits the bound with the one above it, and the
  threads read several at once;
- "16 MB classes": a C file under a .gitignore of 16 MB of the line "[ab][cd][ef]*.c", whose
  character classes take several times their text as patterns;
- "1M in one folder": a folder of 1,000,000 one-line C files;
- "40000 x 2 KB": a monorepo of 40,000 folders in 400 groups, each with an ordinary .gitignore of
  2 KB (the usual lines of build tools, languages and editors: wildcards, classes, negations,
  comments) and two small files, 80 MB of ignore files in all;
- "500000 unreadable": 500 folders of 1,000 C files each that may not be read, counted as the
  user nobody where root runs this script (permissions do not stop root);
- "nul": one 2 GB file of NUL bytes (sparse, so it costs no disk);
- "8 folders": eight folders each with one 200 MB C file, counted by eight threads;
- "16 in one": sixteen 200 MB C files in one folder.

The 200 MB files are hard links to one file, so that they are written once and read from the page
cache. Prints the median wall time, the largest peak resident memory of the runs (measured by GNU
time, /usr/bin/time) and the exit status (1 where the counter refuses ignore files it cannot apply
within its bounds), per counter.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

LARGE_FILE_BYTES = 200 * 1000 * 1000
LARGEST_APPLIED_IGNORE_FILE = 100 * 1024 * 1024
UNREADABLE = "500000 unreadable"
# The user that root counts the unreadable tree as.
NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]


def make_trees(scratch):
    trees = {}
    ignore = os.path.join(scratch, "ignore")
    os.makedirs(ignore)
    with open(os.path.join(ignore, ".gitignore"), "w") as gitignore:
        gitignore.write("*[" + "a" * 100 * 1024 + "\n")
    for index in range(2000):
        with open(os.path.join(ignore, f"f{index}.c"), "w") as source:
            source.write("int x; // c\n")
    trees["ignore"] = ignore

    huge_ignore = os.path.join(scratch, "2 GB ignore")
    os.makedirs(huge_ignore)
    with open(os.path.join(huge_ignore, ".gitignore"), "w") as gitignore:
        gitignore.write("*.o\n")
        gitignore.truncate(2 * 1024 * 1024 * 1024)
    dense_ignore = os.path.join(scratch, "100 MB ignore")
    os.makedirs(dense_ignore)
    with open(os.path.join(dense_ignore, ".gitignore"), "w") as gitignore:
        written = 0
        for index in range(10**9):
            line = f"f{index}.c\n"
            if written + len(line) > LARGEST_APPLIED_IGNORE_FILE:
                break
            gitignore.write(line)
            written += len(line)
    for folder in (huge_ignore, dense_ignore):
        with open(os.path.join(folder, "main.c"), "w") as source:
            source.write("int x; // c\n")
    trees["2 GB ignore"] = huge_ignore
    trees["100 MB ignore"] = dense_ignore

    make_wildcard_trees(scratch, trees)
    make_monorepo(scratch, trees)

    wide = os.path.join(scratch, "1M in one folder")
    os.makedirs(wide)
    for index in range(1000 * 1000):
        with open(os.path.join(wide, f"f{index}.c"), "w") as source:
            source.write("int x; // c\n")
    trees["1M in one folder"] = wide

    unreadable = os.path.join(scratch, UNREADABLE)
    for group in range(500):
        folder = os.path.join(unreadable, f"folder-{group:03}")
        os.makedirs(folder)
        for index in range(1000):
            path = os.path.join(folder, f"source-{index:04}.c")
            with open(path, "w") as source:
                source.write("int x; // c\n")
            os.chmod(path, 0)
    trees[UNREADABLE] = unreadable

    nul = os.path.join(scratch, "nul")
    os.makedirs(nul)
    with open(os.path.join(nul, "zeros.c"), "wb") as zeros:
        zeros.truncate(2 * 1024 * 1024 * 1024)
    trees["nul"] = nul

    large = os.path.join(scratch, "large.c")
    piece = b"int a = 1; /* comment\n\n */ const char *s = \"text\"; // note\nif (a) { b(); }\n"
    with open(large, "wb") as source:
        written = 0
        block = piece * (1024 * 1024 // len(piece))
        while written < LARGE_FILE_BYTES:
            source.write(block)
            written += len(block)
    eight = os.path.join(scratch, "8 folders")
    for index in range(8):
        folder = os.path.join(eight, f"d{index}")
        os.makedirs(folder)
        os.link(large, os.path.join(folder, "large.c"))
    trees["8 folders"] = eight
    sixteen = os.path.join(scratch, "16 in one")
    os.makedirs(sixteen)
    for index in range(16):
        os.link(large, os.path.join(sixteen, f"large{index}.c"))
    trees["16 in one"] = sixteen
    return trees


def write_wildcards(path, size, first=0):
    """Distinct lines such as "p0000000*.c" up to `size` bytes; gives the number after the last."""
    index = first
    with open(path, "w") as ignore:
        written = 0
        while written + 12 <= size:
            ignore.write(f"p{index:07d}*.c\n")
            written += 12
            index += 1
    return index


def write_side_by_side(parent, names, size, first=0):
    """Folders of `parent` side by side, each with a C file and a .gitignore of `size` bytes of
    distinct wildcard lines."""
    for name in names:
        folder = os.path.join(parent, name)
        os.makedirs(folder)
        first = write_wildcards(os.path.join(folder, ".gitignore"), size, first)
        with open(os.path.join(folder, "main.c"), "w") as source:
            source.write("int x; // c\n")


def make_wildcard_trees(scratch, trees):
    megabyte = 1024 * 1024
    wildcards = os.path.join(scratch, "99 MB wildcards")
    os.makedirs(wildcards)
    write_wildcards(os.path.join(wildcards, ".gitignore"), 99 * megabyte)
    trees["99 MB wildcards"] = wildcards
    two = os.path.join(scratch, "20+20 MB")
    os.makedirs(two)
    next_line = write_wildcards(os.path.join(two, ".gitignore"), 20 * megabyte)
    write_wildcards(os.path.join(two, ".ignore"), 20 * megabyte, next_line)
    trees["20+20 MB"] = two
    nested = os.path.join(scratch, "3 nested 20 MB")
    folder, next_line = nested, 0
    for level in range(3):
        folder = os.path.join(folder, f"level{level}")
        os.makedirs(folder)
        next_line = write_wildcards(os.path.join(folder, ".gitignore"), 20 * megabyte, next_line)
    trees["3 nested 20 MB"] = nested
    siblings = os.path.join(scratch, "40+40 MB apart")
    write_side_by_side(siblings, ("a", "b"), 40 * megabyte)
    trees["40+40 MB apart"] = siblings
    many = os.path.join(scratch, "1000 x 100 KB")
    write_side_by_side(many, [f"d{index}" for index in range(1000)], 100 * 1024)
    trees["1000 x 100 KB"] = many
    beside = os.path.join(scratch, "20 + 12 x 20 MB")
    os.makedirs(beside)
    next_line = write_wildcards(os.path.join(beside, ".gitignore"), 20 * megabyte)
    write_side_by_side(beside, [f"d{index}" for index in range(12)], 20 * megabyte, next_line)
    trees["20 + 12 x 20 MB"] = beside
    classes = os.path.join(scratch, "16 MB classes")
    os.makedirs(classes)
    with open(os.path.join(classes, ".gitignore"), "w") as ignore:
        ignore.write("[ab][cd][ef]*.c\n" * (megabyte // 16) * 16)
    trees["16 MB classes"] = classes
    for folder in (wildcards, two, nested, os.path.join(nested, "level0", "level1", "level2"), classes):
        with open(os.path.join(folder, "main.c"), "w") as source:
            source.write("int x; // c\n")


# An ordinary .gitignore of a project, about 2 KB.
ORDINARY_GITIGNORE = """# Build output
/build/
/dist/
/out/
/bin/
/obj/
cmake-build-*/
CMakeFiles/
CMakeCache.txt
cmake_install.cmake
compile_commands.json
*.o
*.obj
*.so
*.so.*
*.dylib
*.dll
*.a
*.lib
*.exe
*.out
*.app
*.gch
*.pch
*.ko
*.elf
*.ilk
*.map
*.exp
*.pdb
*.idb
# Python
*.pyc
*.pyo
*.py[cod]
*$py.class
__pycache__/
*.egg-info/
*.egg
.eggs/
.installed.cfg
pip-log.txt
pip-delete-this-directory.txt
.venv/
venv/
ENV/
env.bak/
.python-version
# Java and JVM
*.class
*.jar
*.war
*.ear
hs_err_pid*
target/
.gradle/
gradle-app.setting
!gradle-wrapper.jar
# JavaScript
node_modules/
jspm_packages/
bower_components/
npm-debug.log*
yarn-debug.log*
yarn-error.log*
.pnpm-debug.log*
.yarn/cache
.yarn/unplugged
.yarn/install-state.gz
coverage/
.nyc_output/
*.lcov
.cache/
.parcel-cache/
.next/
.nuxt/
.vuepress/dist
.serverless/
.fusebox/
.dynamodb/
.tern-port
.eslintcache
.stylelintcache
*.tsbuildinfo
.env
.env.local
.env.*.local
!.env.example
# Editors
.idea/
*.iml
.vscode/*
!.vscode/settings.json
!.vscode/tasks.json
!.vscode/launch.json
!.vscode/extensions.json
*.swp
*.swo
*~
\#*\#
.\#*
.DS_Store
Thumbs.db
ehthumbs.db
Desktop.ini
# Logs and temporary files
logs/
*.log
*.tmp
*.bak
*.orig
*.rej
tmp/
temp/
# Generated sources
*.pb.go
*.pb.cc
*.pb.h
*_pb2.py
*_pb2_grpc.py
*.generated.cs
gen/**/*.java
**/generated/
# Test output
test-results/
junit-*.xml
*.coverage
.coverage.*
htmlcov/
.pytest_cache/
.mypy_cache/
.ruff_cache/
.hypothesis/
.tox/
.nox/
# Packaging
*.deb
*.rpm
*.tar.gz
*.tgz
*.zip
*.7z
*.dmg
release-[0-9]*/
# Visual Studio
[Dd]ebug/
[Dd]ebugPublic/
[Rr]elease/
[Rr]eleases/
x64/
x86/
[Ww][Ii][Nn]32/
[Aa][Rr][Mm]/
[Aa][Rr][Mm]64/
bld/
[Bb]in/
[Oo]bj/
[Ll]og/
[Ll]ogs/
*.[Cc]ache
!?*.[Cc]ache/
*.sln.docstates
*.user
*.suo
# Documentation
docs/_build/
site/
_site/
.jekyll-cache/
.sass-cache/
*.pdf
api-docs/
# Secrets
*.pem
*.key
!test-fixtures/*.key
secrets.yaml
credentials.json
.netrc
.aws/
.ssh/
id_rsa*
*.p12
*.keystore
# Local overrides
local.properties
docker-compose.override.yml
*.local.yaml
"""


def make_monorepo(scratch, trees):
    monorepo = os.path.join(scratch, "40000 x 2 KB")
    for group in range(400):
        for index in range(100):
            folder = os.path.join(monorepo, f"p{group}", f"m{group * 100 + index}")
            os.makedirs(folder)
            with open(os.path.join(folder, ".gitignore"), "w") as ignore:
                ignore.write(ORDINARY_GITIGNORE)
            with open(os.path.join(folder, "main.c"), "w") as source:
                source.write("int main(void) { return 0; } // c\n")
            with open(os.path.join(folder, "tool.py"), "w") as source:
                source.write("# c\nprint(1)\n")
    trees["40000 x 2 KB"] = monorepo


def run_once(counter, tree, scratch):
    """The wall time, the peak resident memory in MB and the exit status of one count. GNU time
    starts the counter and measures its peak: a child of this script would count the script's own
    memory, some 14 MB, which it starts from."""
    peak_file = os.path.join(scratch, "peak")
    start = time.perf_counter()
    as_user = NOBODY if os.geteuid() == 0 and os.path.basename(tree) == UNREADABLE else []
    status = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak_file, *as_user, counter, "--format", "json", tree],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    elapsed = time.perf_counter() - start
    with open(peak_file) as peak:
        # A counter that fails adds "Command exited with non-zero status" before the figure.
        kilobytes = int(peak.read().split()[-1])
    return elapsed, kilobytes / 1024, status


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("counters", nargs="+")
    parser.add_argument("--scratch", default=None)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--trees", help="measure only these trees, separated by commas")
    arguments = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="norvane-bounds-", dir=arguments.scratch)
    # Open to nobody, who counts the unreadable tree where root runs this.
    os.chmod(scratch, 0o755)
    try:
        trees = make_trees(scratch)
        wanted = arguments.trees.split(",") if arguments.trees else list(trees)
        print(f"{'tree':16} {'counter':50} {'median time':>12} {'peak memory':>12} {'status':>7}")
        for name in wanted:
            for counter in arguments.counters:
                # Warm the page cache once, then measure.
                run_once(counter, trees[name], scratch)
                runs = [run_once(counter, trees[name], scratch) for _ in range(arguments.runs)]
                median = statistics.median(elapsed for elapsed, _, _ in runs)
                peak = max(memory for _, memory, _ in runs)
                statuses = ",".join(sorted({str(status) for _, _, status in runs}))
                print(f"{name:16} {counter:50} {median:11.3f}s {peak:9.1f} MB {statuses:>7}", flush=True)
    finally:
        shutil.rmtree(scratch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
