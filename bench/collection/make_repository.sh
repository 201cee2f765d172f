#!/usr/bin/env bash
# make_repository.sh FOLDER [COMMITS]: a repository of COMMITS commits (default 10000), made with
# git fast-import. Commits are 3 hours apart, each rewrites one of 400 source files and every
# tenth also touches the documentation or a test; a third carry an assistant trailer in the body.
set -euo pipefail
folder=${1:?usage: make_repository.sh FOLDER [COMMITS]}
commits=${2:-10000}

export GIT_CONFIG_NOSYSTEM=1 HOME=${HOME:-/tmp}
rm -rf "$folder"
git init -q -b main "$folder"

awk -v commits="$commits" '
function data(text) { printf "data %d\n%s\n", length(text), text }
function file(path, seed, count,    text, line) {
    text = ""
    for (line = 0; line < count; line++) text = text sprintf("value_%d = %d;\n", line, (seed * 31 + line) % 97)
    printf "M 100644 inline %s\n", path
    data(text)
}
BEGIN {
    when = 1600000000
    for (i = 1; i <= commits; i++) {
        when += 10800
        message = sprintf("Change %d: adjust module %d", i, i % 400)
        if (i % 7 == 0) message = "[gpt-4o] " message
        message = message "\n\nWhy the change was made, in a line or two.\n"
        if (i % 3 == 0) message = message "\nCo-Authored-By: Claude <noreply@example.com>\n"
        print "commit refs/heads/main"
        printf "author Bench Author <bench@example.com> %d +0000\n", when
        printf "committer Bench Author <bench@example.com> %d +0000\n", when
        data(message)
        file(sprintf("src/module_%d.c", i % 400), i, 20 + i % 40)
        if (i % 10 == 0) file("docs/guide.md", i, 30 + i % 20)
        if (i % 25 == 0) file(sprintf("tests/module_%d_test.c", i % 50), i, 15)
    }
}' | git -C "$folder" fast-import --quiet
git -C "$folder" checkout -q main
echo "made $(git -C "$folder" rev-list --count HEAD) commits in $folder"
