#!/usr/bin/env bash
# export.sh SHAPE BUILD_FOLDER...: `norvane export -o FILE` over a store seeded with the SHAPE
# portfolio ("weekly", "commits" or "commits-200", see PortfolioShape), for each build folder: its
# peak resident memory (the goal: not growing with the store), its time side by side with hyperfine
# (the goal: no slower than before), and a check that every build writes the same document but for
# the moment of the export. Build first (release): cmake --build --preset release --target norvane
# norvane-bench-seed
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 2 "$@"
shape=$1
shift
source "$here/../support/seeded_home.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_seeded_home "$1/bin/norvane-bench-seed" "$shape" "$work"
use_home "$work/norvane.store" "$work/home"

commands=()
for build in "$@"; do
    output=$work/$(echo "$build" | tr '/' '_').json
    peak=$(/usr/bin/time -f '%M' "$build/bin/norvane" export -o "$output" 2>&1 > /dev/null | tail -n 1)
    printf '%s: %d MB at the peak, %d MB written\n' "$build" $((peak / 1024)) $(($(stat -c %s "$output") / 1048576))
    grep -v '^  "exportedAt": ' "$output" > "$output.compared"
    cmp -s "$work/$(echo "$1" | tr '/' '_').json.compared" "$output.compared" ||
        echo "$build writes another document than $1"
    commands+=(--command-name "$build" "'$build/bin/norvane' export -o '$output'")
done
hyperfine --warmup 1 --runs 5 "${commands[@]}"
