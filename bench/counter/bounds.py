#!/usr/bin/env python3
"""Measures what bounds norvane-count: time against a hostile ignore line, peak memory on large
files, and the spread of large files in one folder over the threads. Each counter given is run on
the same trees, made once in a scratch folder and removed at the end:

    bench/counter/bounds.py COUNTER [COUNTER...] [--scratch DIR] [--runs 3]

- "ignore": 2,000 small C files under a .gitignore whose one line is "*[" and 100 KB of "a";
- "2 GB ignore": a C file under a 2 GB .gitignore, "*.o" and then NUL bytes (sparse);
- "100 MB ignore": a C file under a .gitignore of just under 100 MB, the largest applied, of
  9.6 million distinct lines;
- "nul": one 2 GB file of NUL bytes (sparse, so it costs no disk);
- "8 folders": eight folders each with one 200 MB C file, counted by eight threads;
- "16 in one": sixteen 200 MB C files in one folder.

The 200 MB files are hard links to one file, so that they are written once and read from the page
cache. Prints the median wall time and the largest peak resident memory of the runs, per counter.
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


def run_once(counter, tree):
    start = time.perf_counter()
    process = subprocess.Popen([counter, "--format", "json", tree], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"{counter} failed on {tree}")
    return elapsed, usage.ru_maxrss / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("counters", nargs="+")
    parser.add_argument("--scratch", default=None)
    parser.add_argument("--runs", type=int, default=3)
    arguments = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="norvane-bounds-", dir=arguments.scratch)
    try:
        trees = make_trees(scratch)
        print(f"{'tree':14} {'counter':50} {'median time':>12} {'peak memory':>12}")
        for name, tree in trees.items():
            for counter in arguments.counters:
                # Warm the page cache once, then measure.
                run_once(counter, tree)
                runs = [run_once(counter, tree) for _ in range(arguments.runs)]
                median = statistics.median(elapsed for elapsed, _ in runs)
                peak = max(memory for _, memory in runs)
                print(f"{name:14} {counter:50} {median:11.3f}s {peak:9.0f} MB", flush=True)
    finally:
        shutil.rmtree(scratch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
