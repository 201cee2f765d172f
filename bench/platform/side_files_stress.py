#!/usr/bin/env python3
"""Runs the command-line tool against one store beside many other programs' SQLite databases, and
checks that the store's log and shared memory stay the ones its readers use:

    bench/platform/side_files_stress.py BIN [--seconds 120] [--churners 60] [--scratch DIR]

BIN is the folder of the built programs (build/release/bin). In a home of its own under a scratch
folder (removed at the end), it starts:
- a reader that holds the store open all along, as a plain SQLite program (or the application's
  window) does, and reads it every 50 ms;
- CHURNERS programs, each with a database of its own in WAL mode that it opens, writes, reads and
  closes in a loop, as browsers, mail clients and desktop indexers keep theirs: the system's lock
  table (/proc/locks) then lists some 150 locks, more than the one page the kernel makes at a time;
- `norvane collect` in one loop, `norvane list` in another and `norvane add` of new projects in a
  third.

Every 20 ms it compares the shared memory file that the reader has open with the one at the path.
At the end it prints how many times the shared memory under the reader was replaced, the runs of
each command and their failures (with the first message of each kind), the largest lock table
seen, whether the store passes `pragma integrity_check`, and whether every project whose add
reported success is in the store. It exits 1 when the shared memory was replaced, the store is
damaged or an added project is missing.
"""

import argparse
import collections
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

READER = r"""
import sqlite3, sys, time
connection = sqlite3.connect(sys.argv[1], timeout=30)
connection.execute("pragma journal_mode").fetchone()
print("ready", flush=True)
while True:
    connection.execute("select count(*) from sqlite_master").fetchone()
    time.sleep(0.05)
"""

CHURNER = r"""
import sqlite3, sys
path = sys.argv[1]
setup = sqlite3.connect(path)
setup.execute("pragma journal_mode=wal")
setup.execute("create table if not exists t (x)")
setup.commit()
kept = sqlite3.connect(path)
kept.execute("select count(*) from t").fetchone()
while True:
    for _ in range(20):
        connection = sqlite3.connect(path, timeout=30)
        connection.execute("insert into t values (randomblob(64))")
        connection.commit()
        connection.execute("select count(*) from t").fetchone()
        connection.close()
    kept.execute("delete from t")
    kept.commit()
"""


def make_repository(folder):
    os.makedirs(folder)
    environment = dict(os.environ, GIT_AUTHOR_NAME="a", GIT_AUTHOR_EMAIL="a@x", GIT_COMMITTER_NAME="a",
                       GIT_COMMITTER_EMAIL="a@x")
    subprocess.run(["git", "init", "-q", folder], check=True, env=environment)
    for index in range(5):
        with open(os.path.join(folder, f"file{index}.c"), "w") as source:
            source.write("int f%d(void) { return %d; }\n" % (index, index) * (index + 1))
        subprocess.run(["git", "-C", folder, "add", "."], check=True, env=environment)
        subprocess.run(["git", "-C", folder, "commit", "-q", "-m", f"change {index}"], check=True, env=environment)


def shared_memory_held_by(pid, store):
    """The inode of the store's shared memory file that the process has open, or None."""
    folder = f"/proc/{pid}/fd"
    for entry in os.listdir(folder):
        try:
            target = os.readlink(os.path.join(folder, entry))
            if target.startswith(store + "-shm"):
                return os.stat(os.path.join(folder, entry)).st_ino
        except OSError:
            continue
    return None


def lock_count():
    with open("/proc/locks") as table:
        return sum(1 for _ in table)


class Loop(threading.Thread):
    """Runs one command over and over until told to stop, counting its runs and failures."""

    def __init__(self, name, command_for, environment, stop):
        super().__init__(daemon=True)
        self.name, self.command_for, self.environment, self.stop = name, command_for, environment, stop
        self.runs, self.failures, self.messages, self.succeeded = 0, 0, collections.Counter(), []

    def run(self):
        while not self.stop.is_set():
            command, label = self.command_for(self.runs)
            result = subprocess.run(command, env=self.environment, capture_output=True, text=True)
            self.runs += 1
            if result.returncode == 0:
                self.succeeded.append(label)
            else:
                self.failures += 1
                first = (result.stderr.strip().splitlines() or ["(nothing said)"])[0]
                self.messages[first[:160]] += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bin")
    parser.add_argument("--seconds", type=float, default=120)
    parser.add_argument("--churners", type=int, default=60)
    parser.add_argument("--scratch")
    arguments = parser.parse_args()
    tool = os.path.join(os.path.abspath(arguments.bin), "norvane")
    scratch = tempfile.mkdtemp(prefix="side-files-", dir=arguments.scratch)
    processes = []
    try:
        home = os.path.join(scratch, "home")
        os.makedirs(home)
        environment = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                           XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_STATE_HOME=os.path.join(home, "state"),
                           XDG_CACHE_HOME=os.path.join(home, "cache"))
        repository = os.path.join(scratch, "repository")
        make_repository(repository)
        subprocess.run([tool, "add", "p0", repository], env=environment, check=True, capture_output=True)
        store = os.path.join(home, "data", "Norvane", "norvane.store")

        reader = subprocess.Popen([sys.executable, "-c", READER, store], stdout=subprocess.PIPE, text=True)
        processes.append(reader)
        reader.stdout.readline()
        churn = os.path.join(scratch, "churn")
        os.makedirs(churn)
        for index in range(arguments.churners):
            processes.append(subprocess.Popen([sys.executable, "-c", CHURNER, os.path.join(churn, f"{index}.db")]))

        stop = threading.Event()
        loops = [
            Loop("collect", lambda run: ([tool, "collect"], None), environment, stop),
            Loop("list", lambda run: ([tool, "list"], None), environment, stop),
            Loop("add", lambda run: ([tool, "add", f"q{run}", repository], f"q{run}"), environment, stop),
        ]
        for loop in loops:
            loop.start()
        replaced, most_locks, checks = 0, 0, 0
        held = shared_memory_held_by(reader.pid, store)
        deadline = time.monotonic() + arguments.seconds
        while time.monotonic() < deadline:
            time.sleep(0.02)
            checks += 1
            now = shared_memory_held_by(reader.pid, store)
            try:
                at_path = os.stat(store + "-shm").st_ino
            except FileNotFoundError:
                at_path = None
            if now != held or at_path != now:
                replaced += 1
                held = now
            if checks % 50 == 0:
                most_locks = max(most_locks, lock_count())
        stop.set()
        for loop in loops:
            loop.join()

        connection = sqlite3.connect(store)
        try:
            integrity = connection.execute("pragma integrity_check").fetchone()[0]
            names = {row[0] for row in connection.execute("select name from project")}
        except sqlite3.DatabaseError as error:
            integrity, names = str(error), set()
        connection.close()
        added = loops[2].succeeded
        missing = [name for name in added if name not in names]

        print(f"seconds: {arguments.seconds:g}, other programs: {arguments.churners}, "
              f"largest lock table: {most_locks} locks")
        print(f"shared memory under the reader replaced: {replaced} times in {checks} checks")
        for loop in loops:
            print(f"{loop.name}: {loop.runs} runs, {loop.failures} failed")
            for message, count in loop.messages.most_common(5):
                print(f"    {count} x {message}")
        print(f"integrity_check: {integrity}")
        print(f"projects added with success: {len(added)}, missing from the store: {len(missing)}")
        return 1 if replaced or integrity != "ok" or missing else 0
    finally:
        for process in processes:
            process.kill()
            process.wait()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
