#!/usr/bin/env bash
# daily_collection.sh [BUILD_FOLDER] [COMMITS] [ROUNDS]: a repository of COMMITS commits (default
# 12,000, as many as redis has) made by make_repository.sh, added as a project, then collected as
# the daily agent would, ROUNDS times (default 15) without a new commit and after one, then without
# one once a commit dated 2099 is among them. Goals: one git process and the counter without a new
# commit; under 50 ms of git work after one; with the commit dated 2099, one more git process of a
# day's commits, never a read of the whole history. Build first:
# cmake --build BUILD_FOLDER --target norvane-bench-daily-collection norvane-count
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 0 "$@"
build=${1:-$here/../../build/release}
commits=${2:-12000}
program="$build/bin/norvane-bench-daily-collection"
[[ -x $program ]] || { echo "missing $program" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work GIT_CONFIG_NOSYSTEM=1
"$here/make_repository.sh" "$work/repository" "$commits" > /dev/null
"$program" "$work/repository" "${3:-15}"
