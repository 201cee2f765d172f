#!/usr/bin/env bash
# collect.sh PROJECTS BUILD_FOLDER...: times `norvane collect` over PROJECTS small repositories
# (make_repository.sh, 40 commits each) added two days ago and collected yesterday, as the daily
# agent finds them, for each build folder, against the floor of two programs a project: that
# build's code counter and the one git process that tells nothing changed. The runs take turns
# (ROUNDS rounds, default 5). Goal: at most 1.2x the floor. Build first (release):
# cmake --build --preset release --target norvane norvane-count
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 2 "$@"
projects=$1
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GIT_CONFIG_NOSYSTEM=1 HOME=$work
for ((project = 0; project < projects; ++project)); do
    "$here/make_repository.sh" "$work/repositories/project-$project" 40 > /dev/null
done

# Moves every collection in the store a day back, as if it had run a day earlier.
earlier_by_a_day() {
    python3 -c 'import sqlite3, sys
store = sqlite3.connect(sys.argv[1])
store.execute("UPDATE snapshot SET capturedAt = capturedAt - 86400000000 WHERE snapshotTypeRaw = ?", ("scc",))
store.commit()' "$1"
}

commands=()
for build in "$@"; do
    floor=$work/floor-$(echo "$build" | tr '/' '_').sh
    for ((project = 0; project < projects; ++project)); do
        repository=$work/repositories/project-$project
        printf "'%s' --format json '%s'\n" "$build/bin/norvane-count" "$repository" >> "$floor"
        printf "LC_ALL=C /usr/bin/git -C '%s' show-ref --head\n" "$repository" >> "$floor"
    done
    commands+=("floor of $build=bash '$floor'")
    home=$work/home-$(echo "$build" | tr '/' '_')
    environment="HOME='$home' XDG_DATA_HOME='$home/data' XDG_CONFIG_HOME='$home/config'"
    for ((project = 0; project < projects; ++project)); do
        env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
            "$build/bin/norvane" add "project-$project" "$work/repositories/project-$project" > /dev/null
    done
    earlier_by_a_day "$home/data/Norvane/norvane.store"
    env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" "$build/bin/norvane" collect > /dev/null
    earlier_by_a_day "$home/data/Norvane/norvane.store"
    commands+=("collect with $build=$environment '$build/bin/norvane' collect")
done
python3 "$here/interleaved_runs.py" "${ROUNDS:-5}" "${commands[@]}"
