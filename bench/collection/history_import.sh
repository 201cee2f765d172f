#!/usr/bin/env bash
# history_import.sh [BUILD_FOLDER] [REPOSITORY] [BEFORE_BUILD]: times the history import of a
# repository, with its snapshots and its days of activity, against the git log command that it runs,
# alone, and against that log written into a pipe that cat empties: what reading git's output as it
# comes costs at least; with BEFORE_BUILD, that build's import too (its importer needs this folder's
# harness). The runs take turns (ROUNDS rounds, default 10), so that the load of a shared machine
# falls on all of them alike. Each import goes into a copy of a store set up once before the runs,
# as an add goes into the store its user has, and the copies are removed after the runs. Without a
# repository it makes one of 10,000 commits. Goal: the import, every 7 days as an add imports,
# within 1.05x of its git log's time. Build first:
# cmake --build BUILD_FOLDER --target norvane-bench-history-import
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 0 "$@"
build=${1:-$here/../../build/release}
repository=${2:-}
before=${3:-}
importer="$build/bin/norvane-bench-history-import"
[[ -x $importer ]] || { echo "missing $importer" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work GIT_CONFIG_NOSYSTEM=1
if [[ -z $repository ]]; then
    repository=$work/repository
    "$here/make_repository.sh" "$repository" 10000
fi

source "$here/git_history_log.sh"
git_log=$(git_history_log "$repository")
mkdir "$work/stores"
store=$work/stores/empty.store
"$importer" --empty-store "$store"
"$importer" "$repository" 7 "$store"
commands=("git log=$git_log > /dev/null" "git log through a pipe=$git_log | cat > /dev/null")
if [[ -n $before ]]; then
    commands+=("before, every 7 days='$before/bin/norvane-bench-history-import' '$repository' 7 '$store'"
               "before, every commit='$before/bin/norvane-bench-history-import' '$repository' 0 '$store'")
fi
commands+=("every 7 days='$importer' '$repository' 7 '$store'" "every commit='$importer' '$repository' 0 '$store'")
python3 "$here/interleaved_runs.py" "${ROUNDS:-10}" "${commands[@]}"
