#!/usr/bin/env python3
"""Times norvane-count against another counter on whole trees or single files, side by side.

    bench/counter/time_against_reference.py PATH/TO/scc TREE_OR_FILE... [--counter build/release/bin/norvane-count]...
                                            [--rounds 15]

Each path is counted with "--format json" by every program, after a warm-up run of each that fills
the page cache, in rounds: each round runs every program once, in an order that turns from round
to round, so that a machine whose load changes weighs on all alike. Prints each program's median
wall time (and the fastest and slowest round) and the ratio of its median to the reference's; a
ratio below 1 means that program is faster. `--counter` may be given more than once, to set a
build before a change beside the one after it. The reference counter is named by its path; the
project does not depend on it.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time


def run_once(program, path):
    start = time.perf_counter()
    process = subprocess.Popen([program, "--format", "json", path], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, _ = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"{program} failed on {path}")
    return elapsed


def interleaved_times(programs, path, rounds):
    for program in programs:
        run_once(program, path)
    times = {program: [] for program in programs}
    for round_ in range(rounds):
        shift = round_ % len(programs)
        for program in programs[shift:] + programs[:shift]:
            times[program].append(run_once(program, path))
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("reference")
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--counter", action="append")
    parser.add_argument("--rounds", type=int, default=15)
    arguments = parser.parse_args()
    counters = arguments.counter or [os.path.join(os.path.dirname(__file__), "../../build/release/bin/norvane-count")]

    for path in arguments.paths:
        times = interleaved_times(counters + [arguments.reference], path, arguments.rounds)
        reference = statistics.median(times[arguments.reference])
        print(path)
        for program, measured in times.items():
            median = statistics.median(measured)
            print(f"  {program:60} {median * 1000:9.1f} ms ({min(measured) * 1000:.1f}-{max(measured) * 1000:.1f})"
                  f" {median / reference:6.2f}x", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
