#!/usr/bin/env bash
# app_memory.sh SHAPE SECONDS BUILD_FOLDER...: starts the application (offscreen) over a store
# seeded with the SHAPE portfolio ("weekly", "commits" or "commits-200", see PortfolioShape) and
# prints what it holds SECONDS later, resident and at its peak until then, for each build folder in
# turn; every run starts from the same store file. The goal is at most 120 MB resident at 30,000
# snapshots and more, flat in their number. Build first (release):
#   cmake --build --preset release --target Norvane norvane-bench-seed
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/arguments.sh"
take_arguments 3 "$@"
shape=$1
seconds=$2
shift 2
source "$here/../support/seeded_home.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_seeded_home "$1/bin/norvane-bench-seed" "$shape" "$work"
for build in "$@"; do
    (
        use_home "$work/norvane.store" "$work/home"
        QT_QPA_PLATFORM=offscreen "$build/bin/Norvane" > /dev/null 2>&1 &
        application=$!
        sleep "$seconds"
        resident=$(awk '/^VmRSS/ {print $2}' "/proc/$application/status")
        peak=$(awk '/^VmHWM/ {print $2}' "/proc/$application/status")
        kill "$application"
        wait "$application" || true
        printf '%s: %s after %ss: %d MB resident, %d MB at the peak\n' "$build" "$shape" "$seconds" \
            $((resident / 1024)) $((peak / 1024))
    )
done
