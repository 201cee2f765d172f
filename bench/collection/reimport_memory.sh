#!/usr/bin/env bash
# reimport_memory.sh COMMITS BUILD_FOLDER...: the peak resident memory of `norvane history`
# importing again the whole history of a repository of COMMITS commits (make_repository.sh) that it
# has imported once, for each build folder, against the peak of the git log that the import runs.
# Goal: at most 1.2x git's. Build first (release): cmake --build --preset release --target norvane
# norvane-count
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 2 "$@"
commits=$1
shift
source "$here/git_history_log.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GIT_CONFIG_NOSYSTEM=1 HOME=$work
repository=$work/repository
"$here/make_repository.sh" "$repository" "$commits" > /dev/null

peak() { /usr/bin/time -f '%M' "$@" 2>&1 > /dev/null | tail -n 1; }
printf 'git log: %d MB at the peak\n' $(($(peak bash -c "$(git_history_log "$repository")") / 1024))
for build in "$@"; do
    (
        export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
        rm -rf "$HOME"
        "$build/bin/norvane" add bench "$repository" > /dev/null
        "$build/bin/norvane" history bench > /dev/null
        printf '%s: re-import %d MB at the peak\n' "$build" $(($(peak "$build/bin/norvane" history bench) / 1024))
    )
done
