#!/usr/bin/env python3
"""Times norvane-count against another counter on whole trees or single files, side by side.

    bench/counter/time_against_reference.py PATH/TO/scc TREE_OR_FILE... [--counter build/ci/bin/norvane-count]
                                            [--runs 10]

Each path is counted with "--format json" by both programs under hyperfine (Debian's package, which
scripts/bootstrap installs), after a warm-up run that fills the page cache. Prints the mean wall
time of each and their ratio; a ratio below 1 means norvane-count is faster. The reference counter
is named by its path; the project does not depend on it.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile


def mean_times(commands, runs):
    with tempfile.NamedTemporaryFile(suffix=".json") as export:
        subprocess.run(["hyperfine", "--warmup", "1", "--runs", str(runs), "--style", "none", "--export-json",
                        export.name] + commands, check=True, capture_output=True)
        results = json.load(open(export.name))["results"]
    return [result["mean"] for result in results]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--counter", default=os.path.join(os.path.dirname(__file__), "../../build/ci/bin/norvane-count"))
    parser.add_argument("--runs", type=int, default=10)
    arguments = parser.parse_args()

    print(f"{'path':60} {'norvane-count':>14} {'reference':>10} {'ratio':>6}")
    for path in arguments.paths:
        ours, theirs = mean_times([f"{program} --format json '{path}'" for program in
                                   (arguments.counter, arguments.reference)], arguments.runs)
        print(f"{path:60} {ours:13.4f}s {theirs:9.4f}s {ours / theirs:6.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
