#!/usr/bin/env python3
"""Checks that counter/LanguageTable.cpp is what counter/generate_language_table.py writes from the
reference table in counter/reference, formatted with the repository's clang-format style.

    check_language_table.py SOURCE_ROOT

clang-format's layout differs between major versions; the table is formatted with the one of
Debian 12 (14), which scripts/bootstrap installs. With another version the check is skipped (exit
77), so that it never fails on layout alone; without clang-format it fails.
"""

import difflib
import re
import shutil
import subprocess
import sys
from pathlib import Path

FORMATTER_VERSION = 14
SKIPPED = 77


def formatter_version(formatter):
    output = subprocess.run([formatter, "--version"], check=True, capture_output=True, text=True).stdout
    found = re.search(r"version (\d+)\.", output)
    return int(found.group(1)) if found else None


def main():
    root = Path(sys.argv[1])
    formatter = shutil.which("clang-format")
    if formatter is None:
        print("clang-format is missing: scripts/bootstrap installs it")
        return 1
    version = formatter_version(formatter)
    if version != FORMATTER_VERSION:
        print(f"skipped: clang-format {version} lays out code unlike clang-format {FORMATTER_VERSION}")
        return SKIPPED
    generated = subprocess.run([sys.executable, str(root / "counter/generate_language_table.py"),
                                str(root / "counter/reference/languages.json")],
                               check=True, capture_output=True, text=True).stdout
    formatted = subprocess.run([formatter, f"--style=file:{root / '.clang-format'}",
                                "--assume-filename=counter/LanguageTable.cpp"],
                               input=generated, check=True, capture_output=True, text=True).stdout
    committed = (root / "counter/LanguageTable.cpp").read_text(encoding="utf-8")
    if formatted == committed:
        print("counter/LanguageTable.cpp is what the generator writes")
        return 0
    difference = difflib.unified_diff(committed.splitlines(), formatted.splitlines(), "committed", "generated",
                                      lineterm="")
    print("\n".join(list(difference)[:60]))
    print("counter/LanguageTable.cpp differs from the generator's output: regenerate it")
    return 1


if __name__ == "__main__":
    sys.exit(main())
