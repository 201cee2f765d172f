#!/usr/bin/env python3
"""interleaved_runs.py ROUNDS NAME=COMMAND...: runs the shell commands in turn, round after round,
and prints each one's median wall time against the first command's, with its median processor time
(its children's) and its fastest run. Taking turns spreads the load of a shared machine over all
the commands alike, where runs of one command after another would each meet a different load; the
median of each round's ratio to the first command ("by round") follows a changing load closer
still, as the commands of one round meet much the same load."""
import argparse
import resource
import statistics
import subprocess
import time


def positive(text):
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError(f"{text} is not a number of rounds")
    return value


def named_command(text):
    name, equals, command = text.partition("=")
    if not equals or not name or not command:
        raise argparse.ArgumentTypeError(f"{text!r} is not NAME=COMMAND")
    return name, command


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("rounds", metavar="ROUNDS", type=positive, help="how many times each command runs")
    parser.add_argument("commands", metavar="NAME=COMMAND", type=named_command, nargs="+",
                        help="a shell command and the name its times are printed under; the first sets the ratios")
    arguments = parser.parse_args()
    rounds = arguments.rounds
    commands = dict(arguments.commands)
    if len(commands) != len(arguments.commands):
        parser.error("two commands have the same name")
    wall = {name: [] for name in commands}
    processor = {name: [] for name in commands}
    for _ in range(rounds):
        for name, command in commands.items():
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.perf_counter()
            subprocess.run(command, shell=True, stdout=subprocess.DEVNULL, check=True)
            wall[name].append(time.perf_counter() - start)
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            processor[name].append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    first = next(iter(wall.values()))
    base = statistics.median(first)
    for name in commands:
        median = statistics.median(wall[name])
        by_round = statistics.median(run / reference for run, reference in zip(wall[name], first))
        print(f"{name:40s} median {median:7.3f} s ({median / base:4.2f}x, by round {by_round:4.2f}x)  "
              f"processor {statistics.median(processor[name]):7.3f} s  fastest {min(wall[name]):7.3f} s")


if __name__ == "__main__":
    main()
