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
- "1000 x 100 KB": 1,000 folders, each with a C file and a .gitignore of 100 KB of such lines,
  100 MB in all;
- "nul": one 2 GB file of NUL bytes (sparse, so it costs no disk);
- "8 folders": eight folders each with one 200 MB C file, counted by eight threads;
- "16 in one": sixteen 200 MB C files in one folder.

The 200 MB files are hard links to one file, so that they are written once and read from the page
cache. Prints the median wall time, the largest peak resident memory of the runs and the exit status
(1 where the counter refuses ignore files it cannot apply within its bounds), per counter.
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
    many = os.path.join(scratch, "1000 x 100 KB")
    next_line = 0
    for index in range(1000):
        folder = os.path.join(many, f"d{index}")
        os.makedirs(folder)
        next_line = write_wildcards(os.path.join(folder, ".gitignore"), 100 * 1024, next_line)
        with open(os.path.join(folder, "main.c"), "w") as source:
            source.write("int x; // c\n")
    trees["1000 x 100 KB"] = many
    for folder in (wildcards, two, nested, os.path.join(nested, "level0", "level1", "level2")):
        with open(os.path.join(folder, "main.c"), "w") as source:
            source.write("int x; // c\n")


def run_once(counter, tree):
    start = time.perf_counter()
    process = subprocess.Popen([counter, "--format", "json", tree], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    return elapsed, usage.ru_maxrss / 1024, os.waitstatus_to_exitcode(status)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("counters", nargs="+")
    parser.add_argument("--scratch", default=None)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--trees", help="measure only these trees, separated by commas")
    arguments = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="norvane-bounds-", dir=arguments.scratch)
    try:
        trees = make_trees(scratch)
        wanted = arguments.trees.split(",") if arguments.trees else list(trees)
        print(f"{'tree':16} {'counter':50} {'median time':>12} {'peak memory':>12} {'status':>7}")
        for name in wanted:
            for counter in arguments.counters:
                # Warm the page cache once, then measure.
                run_once(counter, trees[name])
                runs = [run_once(counter, trees[name]) for _ in range(arguments.runs)]
                median = statistics.median(elapsed for elapsed, _, _ in runs)
                peak = max(memory for _, memory, _ in runs)
                statuses = ",".join(sorted({str(status) for _, _, status in runs}))
                print(f"{name:16} {counter:50} {median:11.3f}s {peak:9.0f} MB {statuses:>7}", flush=True)
    finally:
        shutil.rmtree(scratch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
