#!/usr/bin/env python3
"""Measures what the programs' waits for another program cost while they last: the share of one core
that a waiting program uses, from its own CPU time (/proc/PID/stat, every thread counted):

    bench/platform/wait_cost.py BIN [--seconds 10] [--only WAIT,...] [--scratch DIR]

BIN is the folder of the built programs (build/release/bin). In a home of its own under a scratch
folder (removed at the end), with a store of one project, each wait is made as another program makes
it, and the waiting program's CPU time is read once its wait has begun (half a second after its
start) and SECONDS later, or as it ends, whichever comes first:

- turn: `norvane list` while a program keeps its turn at the store's folder (`flock` on the folder,
  as a program stopped in its turn keeps it);
- upgrade: `norvane list` of a store of an earlier version while a reader keeps it open, which the
  upgrade waits for;
- lock: `norvane archive` while a program holds the write lock (BEGIN IMMEDIATE);
- close: `norvane archive` while a reader holds a read, which the archive's close waits for to let
  its write out of the log;
- window: the application (`Norvane`, offscreen unless QT_QPA_PLATFORM or DISPLAY says otherwise)
  while a program keeps the store to itself, readers too: its window that waits for the store.

The goal: at most 2 % of a core for every wait. It prints one line a wait, and exits 1 when one
costs more.
"""

import argparse
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

GOAL_PERCENT = 2.0
WAITS = ("turn", "upgrade", "lock", "close", "window")

HOLDER = r"""
import sqlite3, sys, time
connection = sqlite3.connect(sys.argv[1], timeout=30, isolation_level=None)
for statement in sys.argv[2:]:
    connection.execute(statement).fetchall()
print("holding", flush=True)
sys.stdin.read()
"""


def cpu_seconds(pid):
    """The process's CPU time so far, user and system, every thread counted; None once it ended."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    if fields[0] == "Z":
        return None
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class Home:
    """A user of the scratch folder, with the store of one project that `norvane add` made."""

    def __init__(self, scratch, bin_dir, name):
        self.root = os.path.join(scratch, name)
        self.bin = bin_dir
        self.env = dict(os.environ)
        for variable, folder in (("HOME", ""), ("XDG_DATA_HOME", ".local/share"), ("XDG_CONFIG_HOME", ".config"),
                                 ("XDG_STATE_HOME", ".local/state"), ("XDG_CACHE_HOME", ".cache")):
            self.env[variable] = os.path.join(self.root, folder)
            os.makedirs(self.env[variable], exist_ok=True)
        self.env["XDG_RUNTIME_DIR"] = os.path.join(self.root, "runtime")
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.env["GIT_CONFIG_NOSYSTEM"] = "1"
        if "DISPLAY" not in os.environ:
            self.env.setdefault("QT_QPA_PLATFORM", "offscreen")
        self.store = os.path.join(self.env["XDG_DATA_HOME"], "Norvane", "norvane.store")
        repository = os.path.join(self.root, "project")
        os.makedirs(repository)
        git = ["git", "-C", repository, "-c", "user.name=Bench", "-c", "user.email=bench@example.com"]
        subprocess.run(["git", "init", "-q", repository], check=True)
        with open(os.path.join(repository, "main.c"), "w") as source:
            source.write("int main(void) { return 0; }\n")
        subprocess.run(git + ["add", "main.c"], check=True)
        subprocess.run(git + ["commit", "-q", "-m", "first"], check=True)
        self.tool(["add", "demo", repository])
        # Owned by the application: no first-run wizard in front of its window.
        os.makedirs(os.path.join(self.env["XDG_CONFIG_HOME"], "Norvane"), exist_ok=True)
        with open(os.path.join(self.env["XDG_CONFIG_HOME"], "Norvane", "Norvane.conf"), "a") as settings:
            settings.write("[General]\nhasCompletedOnboarding=true\n")

    def tool(self, arguments):
        subprocess.run([os.path.join(self.bin, "norvane")] + arguments, env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def hold(self, *statements):
        """Another program's connection that has run `statements` and keeps what they took."""
        holder = subprocess.Popen([sys.executable, "-c", HOLDER, self.store, *statements], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True)
        if holder.stdout.readline().strip() != "holding":
            raise RuntimeError("the holder did not take the store")
        return holder


def measure(command, env, seconds):
    """The share of a core, in percent, that `command` uses from half a second after its start for
    `seconds`, or until it ends; and how long it was measured."""
    program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(0.5)
        start_cpu, start = cpu_seconds(program.pid), time.monotonic()
        if start_cpu is None:
            raise RuntimeError(f"{command[0]} ended before its wait")
        end_cpu, end = start_cpu, start
        while end - start < seconds:
            time.sleep(0.05)
            now_cpu = cpu_seconds(program.pid)
            if now_cpu is None:
                break
            end_cpu, end = now_cpu, time.monotonic()
        return 100.0 * (end_cpu - start_cpu) / (end - start), end - start
    finally:
        program.terminate()
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()


def run_wait(wait, scratch, bin_dir, seconds):
    home = Home(scratch, bin_dir, wait)
    tool = os.path.join(bin_dir, "norvane")
    holder = None
    try:
        if wait == "turn":
            holder = subprocess.Popen(["flock", "-x", os.path.dirname(home.store), "cat"], stdin=subprocess.PIPE)
            while subprocess.run(["flock", "-n", os.path.dirname(home.store), "true"]).returncode == 0:
                time.sleep(0.01)
            return measure([tool, "list"], home.env, seconds)
        if wait == "upgrade":
            with sqlite3.connect(home.store) as store:
                store.execute("UPDATE norvane_metadata SET value = '1.3.0' WHERE key = 'schemaVersion'")
            holder = home.hold("BEGIN", "SELECT count(*) FROM project")
            return measure([tool, "list"], home.env, seconds)
        if wait == "lock":
            holder = home.hold("BEGIN IMMEDIATE")
            return measure([tool, "archive", "demo"], home.env, seconds)
        if wait == "close":
            holder = home.hold("BEGIN", "SELECT count(*) FROM project")
            return measure([tool, "archive", "demo"], home.env, seconds)
        holder = home.hold("PRAGMA locking_mode = EXCLUSIVE", "BEGIN EXCLUSIVE")
        return measure([os.path.join(bin_dir, "Norvane")], home.env, seconds)
    finally:
        if holder is not None:
            # Each holder ends as its input closes, its children (flock's command) too.
            holder.stdin.close()
            holder.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin", help="the folder of the built programs")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--only", default=",".join(WAITS), help="the waits to measure, separated by commas")
    parser.add_argument("--scratch", help="where the homes go (a temporary folder by default)")
    arguments = parser.parse_args()
    waits = arguments.only.split(",")
    unknown = [wait for wait in waits if wait not in WAITS]
    if unknown:
        parser.error(f"unknown wait: {', '.join(unknown)}")
    scratch = tempfile.mkdtemp(prefix="wait-cost-", dir=arguments.scratch)
    over = False
    try:
        for wait in waits:
            percent, measured = run_wait(wait, scratch, os.path.abspath(arguments.bin), arguments.seconds)
            over = over or percent > GOAL_PERCENT
            print(f"{wait:8} {percent:5.2f} % of a core over {measured:4.1f} s"
                  f"{'' if percent <= GOAL_PERCENT else '  (over the goal)'}", flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
