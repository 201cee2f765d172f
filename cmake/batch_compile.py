#!/usr/bin/env python3
"""Runs a compile of a target whose files the build compiles as one batch, and says what a failure means.

    batch_compile.py TARGET ROOT -- COMMAND...

cmake/NorvaneBatches.cmake makes it the launcher of every compile of such a target; ROOT is the project's
folder, from which it names files. The batch (CMake's Unity/unity_0_cxx.cxx) and the checks beside it in
TARGET.batch-checks (reversed.cxx, the files in reverse order, and alone/*.cxx, each file alone), which compile
without making code and so leave an empty object for the build, include the target's files. When one fails and
each of its files that the compiler names compiles alone, those files clash: it says so, with the places, and
what to do; a named file that does not compile alone is named as such. A batch whose file leaves a macro defined
fails before it compiles: the macro would change what the files after it mean, which no compiler reports.
"""

import os
import re
import subprocess
import sys
from pathlib import Path

CLASH = ("error: files of {target} clash in one batch: {places}, where the compiler names them above. Each "
         "compiles alone, and the build compiles all the files of {target} as one text, in their order and in "
         "reverse, as any build may batch them. Rename what one of them declares after what it is for, move what "
         "both need into a header they share, or move a file-level using-directive into the functions that need it.")
ALONE = ("error: {file} does not compile alone, as a build that compiles a file at a time would take it: a file "
         "may use only what it includes itself, not what another file of {target} includes before it in a batch.")
MACRO = ("{file}:{line}: error: the macro '{name}' is still defined at the end of the file: in the batch of "
         "{target} it would change what the files after it mean, which no compiler reports. #undef it there.")


def argument_after(command, option):
    return command[command.index(option) + 1]


def compiles_alone(command, source, file):
    """Whether `command`, the compile of `source`, compiles `file` alone instead, without making code."""
    alone = []
    arguments = iter(command)
    for argument in arguments:
        if argument in ("-o", "-MT", "-MF", "-MQ"):
            next(arguments)
        elif argument != "-MD":
            alone.append(file if argument == source else argument)
    return subprocess.run(alone + ["-fsyntax-only"], capture_output=True).returncode == 0


def macros_left_defined(files):
    """(file, line, name) of every macro that one of `files` defines and does not undefine after."""
    found = []
    for file in files:
        defined = {}
        for number, line in enumerate(Path(file).read_text().splitlines(), 1):
            directive = re.match(r"\s*#\s*(define|undef)\s+(\w+)", line)
            if directive and directive[1] == "define":
                defined[directive[2]] = number
            elif directive:
                defined.pop(directive[2], None)
        found += [(file, number, name) for name, number in defined.items()]
    return found


def explanation(target, root, command, source, files, output):
    """What the failed compile of `files` as `source` means, as lines to print."""
    places = {}
    for path, line in re.findall(r"(/[^\s:]+):(\d+)", output):
        if path in files:
            places.setdefault(path, line)
    if len(files) == 1:
        refused = files
    else:
        refused = [file for file in places if not compiles_alone(command, source, file)]
    if refused or not places:
        return [ALONE.format(file=os.path.relpath(file, root), target=target) for file in refused]
    named = ", ".join(f"{os.path.relpath(file, root)}:{line}" for file, line in places.items())
    return [CLASH.format(target=target, places=named)]


def main():
    separator = sys.argv.index("--")
    target, root = sys.argv[1:separator]
    command = sys.argv[separator + 1:]
    source = argument_after(command, "-c")
    checked = f"/{target}.batch-checks/" in source
    if "/Unity/" not in source and not checked:
        os.execvp(command[0], command)
    files = re.findall(r'^#include "([^"]+)"', Path(source).read_text(), re.M)
    left = [] if checked else macros_left_defined(files)
    for file, line, name in left:
        print(MACRO.format(file=os.path.relpath(file, root), line=line, name=name, target=target))
    if left:
        return 1
    run = subprocess.run(command, stderr=subprocess.PIPE)
    sys.stderr.buffer.write(run.stderr)
    if run.returncode != 0:
        output = run.stderr.decode(errors="replace")
        sys.stderr.write("".join(line + "\n" for line in explanation(target, root, command, source, files, output)))
        return run.returncode
    if checked:  # an empty object, made by the compiler before the options
        compiler = [argument for argument in command[:2] if not argument.startswith("-")]
        subprocess.run(compiler + ["-x", "c++", "-c", os.devnull, "-o", argument_after(command, "-o")], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
