#!/usr/bin/env python3
"""Compares norvane-count with another counter file by file over a tree, as a second opinion on
line counts.

    bench/counter/compare_by_file.py TREE [--reference cloc|PATH/TO/scc] [--counter build/release/bin/norvane-count]
                                          [--languages C,Python] [--show 20]

Every file that both count is compared on its code, comment and blank lines. Prints how many
agree, the disagreements per language and the first disagreeing files with both counts, so that
each can be looked at by hand: no counter is always right (cloc ignores most strings). The
reference is cloc (Debian's package `cloc`) or an scc executable given by its path; the project
depends on neither.
"""

import argparse
import collections
import concurrent.futures
import json
import os
import subprocess
import sys


def cloc_counts(tree):
    output = subprocess.run(["cloc", "--by-file", "--json", "--quiet", "--skip-uniqueness", tree],
                            check=True, capture_output=True, text=True).stdout
    report = json.loads(output)
    return {os.path.relpath(path, tree): (row["code"], row["comment"], row["blank"])
            for path, row in report.items() if path not in ("header", "SUM")}


def scc_counts(scc, tree):
    output = subprocess.run([scc, "--by-file", "--format", "json", tree],
                            check=True, capture_output=True, text=True).stdout
    return {os.path.relpath(row["Location"], tree): (row["Code"], row["Comment"], row["Blank"])
            for language in json.loads(output) for row in language["Files"]}


def counter_counts(counter, tree, relative_path):
    output = subprocess.run([counter, "--format", "json", os.path.join(tree, relative_path)],
                            check=True, capture_output=True, text=True).stdout
    rows = json.loads(output)
    if not rows:
        return None
    row = rows[0]
    return row["Name"], (row["Code"], row["Comment"], row["Blank"]), row["Complexity"]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tree")
    parser.add_argument("--reference", default="cloc")
    parser.add_argument("--counter", default=os.path.join(os.path.dirname(__file__), "../../build/release/bin/norvane-count"))
    parser.add_argument("--languages", help="compare only these languages, separated by commas")
    parser.add_argument("--show", type=int, default=20)
    arguments = parser.parse_args()

    if arguments.reference == "cloc":
        reference = cloc_counts(arguments.tree)
    else:
        reference = scc_counts(arguments.reference, arguments.tree)
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        ours = dict(zip(reference, pool.map(lambda path: counter_counts(arguments.counter, arguments.tree, path),
                                            reference)))

    wanted = set(arguments.languages.split(",")) if arguments.languages else None
    compared = {path: counts for path, counts in ours.items()
                if counts is not None and (wanted is None or counts[0] in wanted)}
    disagreeing = {path: counts for path, counts in compared.items() if counts[1] != reference[path]}
    agreeing = len(compared) - len(disagreeing)
    share = 100.0 * agreeing / len(compared) if compared else 0.0
    print(f"files counted by both: {len(compared)} (reference only: {len(reference) - len(compared)})")
    print(f"code, comment and blank lines agree on {agreeing} files: {share:.2f}%")
    per_language = collections.Counter(counts[0] for counts in disagreeing.values())
    totals = collections.Counter(counts[0] for counts in compared.values())
    for language, count in per_language.most_common():
        print(f"  {language}: {count} of {totals[language]} files differ")
    print(f"first {arguments.show} differing files (code/comment/blank, norvane-count then the reference):")
    for path in sorted(disagreeing)[:arguments.show]:
        print(f"  {path}: {'/'.join(map(str, disagreeing[path][1]))} vs {'/'.join(map(str, reference[path]))}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
