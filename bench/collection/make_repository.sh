#!/usr/bin/env bash
# make_repository.sh FOLDER [COMMITS] [SHAPE]: a repository of about COMMITS commits (default
# 10000), made with git fast-import, in one of three shapes:
# - plain (the default): commits 3 hours apart, each rewrites one of 400 source files and every
#   tenth also touches the documentation or a test; a third carry an assistant trailer in the body.
# - requests (6500 commits, like a small Python library's history): about 100 files touched by
#   small diffs, a quarter of the commits merges of pull requests (--no-ff, up to three open at
#   once), renames, long messages, 700 authors, and committer dates that go back now and then.
# - redis (12000 commits, like a large C project's history): about 1,500 C files, 40 of them of
#   thousands of lines that most commits touch, few merges and renames, short messages, dates in
#   order.
# The same arguments make the same repository (the redis shape takes a few minutes).
set -euo pipefail
source "$(dirname "$0")/../support/arguments.sh"
take_arguments 1 "$@"
folder=$1
commits=${2:-10000}
shape=${3:-plain}
# Made anew, never over what a folder holds.
if [[ -e $folder && -n $(ls -A "$folder") ]]; then
    echo "make_repository.sh: $folder is not an empty folder; name a new one" >&2
    exit 2
fi

export GIT_CONFIG_NOSYSTEM=1 HOME=${HOME:-/tmp} LC_ALL=C
git init -q -b main "$folder"

plain() {
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
}'
}

# A history of direct commits on main and of pull requests: each opens from main's tip, takes its
# own files (no other commit touches them while it is open), gets its commits, and is merged with
# --no-ff. Files are kept as lines and edited a few lines at a time.
shaped() {
    awk -v commits="$commits" -v shape="$shape" '
function pick(n) { return 1 + int(rand() * n) }
function gap(mean) { return int(-log(1 - rand()) * mean) }
function newLine(f) { return sprintf(lineFormat[f], ++lineId, pick(1000)) }
function addFile(path, lines, style,    j) {
    ++files; name[files] = path; lineFormat[files] = style; bytes[files] = 0
    for (j = 1; j <= lines; j++) { text[files, j] = newLine(files); bytes[files] += length(text[files, j]) + 1 }
    size[files] = lines
}
function removeLine(f, at,    j) {
    bytes[f] -= length(text[f, at]) + 1
    for (j = at; j < size[f]; j++) text[f, j] = text[f, j + 1]
    delete text[f, size[f]]; size[f]--
}
function insertLine(f, at,    j) {
    for (j = size[f]; j >= at; j--) text[f, j + 1] = text[f, j]
    size[f]++; text[f, at] = newLine(f); bytes[f] += length(text[f, at]) + 1
}
# A small diff: a few lines changed, added or removed around one place.
function edit(f, lines,    at, k, r) {
    at = pick(size[f])
    for (k = 0; k < lines; k++) {
        r = rand()
        if (r < 0.5 && at <= size[f]) { bytes[f] -= length(text[f, at]); text[f, at] = newLine(f); bytes[f] += length(text[f, at]) }
        else if (r < 0.8 || size[f] < 10) insertLine(f, at <= size[f] ? at : size[f] + 1)
        else removeLine(f, at <= size[f] ? at : size[f])
        at++
    }
}
function emit(f,    j) {
    printf "M 100644 inline %s\ndata %d\n", name[f], bytes[f]
    for (j = 1; j <= size[f]; j++) print text[f, j]
    print ""
}
function zone() { return zones[pick(zoneCount)] }
function author(maintainer) { return maintainer ? maintainers[pick(maintainerCount)] : people[pick(peopleCount)] }
# A long message: a subject and a body of several wrapped lines, now and then a trailer.
function message(subject, lines,    body, k) {
    body = subject
    if (lines > 0) body = body "\n"
    for (k = 0; k < lines; k++) body = body sprintf("\nThe reader now handles case %d as the %d others do, so that callers of %d", pick(500), pick(40), pick(90))
    if (rand() < 0.05) body = body sprintf("\n\nCo-authored-by: %s", people[pick(peopleCount)])
    return body "\n"
}
function header(ref, who, authored, committed, subject, lines) {
    printf "commit %s\nmark :%d\n", ref, ++marks
    printf "author %s %d %s\ncommitter %s %d %s\n", who, authored, zone(), who, committed, zone()
    subject = message(subject, lines)
    printf "data %d\n%s\n", length(subject), subject
    made++
    return marks
}
# The committer date of a commit made now: now and then a clock that is days behind.
function committedAt() { return rand() < skewShare ? now - gap(3 * 86400) : now }
function freeFile(    f, tries) {
    for (tries = 0; tries < 50; tries++) {
        f = rand() < hotShare ? pick(hotFiles) : pick(files)
        if (!(f in taken)) return f
    }
    return 0
}
function bodyLines() { return shape == "requests" ? 2 + pick(10) : (rand() < 0.3 ? pick(3) : 0) }
function directCommit(    f, k, count, old, subject, who) {
    count = pick(maxFilesPerCommit)
    who = author(rand() < 0.6)
    subject = sprintf("Tidy %s", name[pick(files)])
    for (k = 1; k <= count; k++) if (changed[k] = freeFile()) taken[changed[k]] = 0; else count = k - 1
    for (k = 1; k <= count; k++) delete taken[changed[k]]
    if (!count) return
    mainTip = header("refs/heads/main", who, now, committedAt(), subject, bodyLines())
    for (k = 1; k <= count; k++) {
        f = changed[k]
        if (rand() < renameShare) {
            old = name[f]
            name[f] = sprintf("%s/renamed_%d%s", dirs[pick(dirCount)], ++renamed, substr(old, match(old, /\.[a-z]+$/)))
            printf "R %s %s\n", old, name[f]
        }
        edit(f, pick(maxLinesPerEdit))
        emit(f)
    }
}
function openRequest(    p, k, f) {
    p = ++requests
    open[p] = 1; openCount++
    requestAuthor[p] = author(0); forkedFrom[p] = mainTip; requestTip[p] = 0
    planned[p] = pick(4); requestFiles[p] = 0
    for (k = 1; k <= pick(3); k++) {
        f = freeFile(); if (!f) continue
        taken[f] = p; requestFiles[p]++; requestFile[p, requestFiles[p]] = f
    }
    if (!requestFiles[p]) { delete open[p]; openCount--; return }
}
function requestCommit(p,    k, f, authored) {
    # A rebased commit keeps its author date from days before.
    authored = rand() < 0.2 ? now - gap(2 * 86400) : now
    requestTip[p] = header("refs/pull/" p, requestAuthor[p], authored, committedAt(), sprintf("Fix the handling of case %d in %s", pick(500), name[requestFile[p, 1]]), bodyLines())
    if (!done[p]) printf "from :%d\n", forkedFrom[p]
    done[p]++
    for (k = 1; k <= requestFiles[p]; k++) if (k == 1 || rand() < 0.5) {
        f = requestFile[p, k]; edit(f, pick(maxLinesPerEdit)); emit(f)
    }
}
function mergeRequest(p,    k, who) {
    who = author(1)
    mainTip = header("refs/heads/main", who, now, now, sprintf("Merge pull request #%d from contributor/branch-%d", p, p), 1)
    printf "merge :%d\n", requestTip[p]
    for (k = 1; k <= requestFiles[p]; k++) { emit(requestFile[p, k]); delete taken[requestFile[p, k]] }
    delete open[p]; openCount--
}
function anyOpen(    p, n, chosen) {
    n = 0
    for (p in open) if (rand() * ++n < 1) chosen = p
    return chosen
}
function step(    p, r) {
    now += gap(meanGap)
    r = rand()
    if (openCount < 3 && r < openShare) { openRequest(); return }
    if (openCount > 0 && r < openShare + requestShare) {
        p = anyOpen()
        if (done[p] < planned[p]) requestCommit(p); else mergeRequest(p)
        return
    }
    directCommit()
}
function requestsFiles(    k) {
    for (k = 1; k <= 18; k++) addFile(sprintf("src/requests/module_%d.py", k), 150 + pick(800), "    value_%d = compute(%d)")
    for (k = 1; k <= 22; k++) addFile(sprintf("tests/test_module_%d.py", k), 100 + pick(600), "    assert check_%d(%d)")
    for (k = 1; k <= 40; k++) addFile(sprintf("docs/page_%d.rst", k), 40 + pick(300), "The option %d takes %d as its value.")
    for (k = 1; k <= 20; k++) addFile(sprintf("ext/asset_%d.cfg", k), 10 + pick(60), "setting_%d = %d")
    dirCount = split("src/requests tests docs ext", dirs, " ")
    hotFiles = 40; hotShare = 0.5
}
function redisFiles(    k) {
    for (k = 1; k <= 40; k++) addFile(sprintf("src/core_%d.c", k), 1500 + pick(3500), "    x%d = y + %d;")
    for (k = 1; k <= 260; k++) addFile(sprintf("src/part_%d.%s", k, k % 3 ? "c" : "h"), 40 + pick(600), "    x%d = y + %d;")
    for (k = 1; k <= 900; k++) addFile(sprintf("deps/lib_%d/file_%d.c", k % 12, k), 40 + pick(500), "  z%d = w * %d;")
    for (k = 1; k <= 300; k++) addFile(sprintf("tests/unit/case_%d.tcl", k), 20 + pick(300), "    assert_equal %d [r get %d]")
    dirCount = split("src deps/lib_1 tests/unit", dirs, " ")
    hotFiles = 40; hotShare = 0.55
}
BEGIN {
    srand(52)
    zoneCount = split("+0000 -0500 +0100 +0200 -0800 +0530 -0300 +0900", zones, " ")
    for (k = 1; k <= 5; k++) maintainers[k] = sprintf("Maintainer %d <maintainer%d@example.com>", k, k)
    maintainerCount = 5
    peopleCount = 700
    for (k = 1; k <= peopleCount; k++) people[k] = sprintf("Contributor %d <person%d@example.org>", k, k)
    if (shape == "requests") {
        requestsFiles(); openShare = 0.3; requestShare = 0.6; renameShare = 0.1; skewShare = 0.05
        maxFilesPerCommit = 2; maxLinesPerEdit = 8; now = 1297000000; meanGap = 50000
    } else {
        redisFiles(); openShare = 0.01; requestShare = 0.03; renameShare = 0.005; skewShare = 0
        maxFilesPerCommit = 3; maxLinesPerEdit = 20; now = 1237000000; meanGap = 37000
    }
    mainTip = header("refs/heads/main", maintainers[1], now, now, "Start", 0)
    for (f = 1; f <= files; f++) emit(f)
    while (made < commits) step()
    for (p in open) { while (done[p] < planned[p]) requestCommit(p); mergeRequest(p) }
}'
}

case $shape in
plain) plain ;;
requests | redis) shaped ;;
*) echo "unknown shape $shape: plain, requests or redis" >&2; exit 2 ;;
esac | git -C "$folder" fast-import --quiet
git -C "$folder" for-each-ref --format='delete %(refname)' refs/pull | git -C "$folder" update-ref --stdin
# Packed with deltas, as a clone holds its history (fast-import's pack is several times larger).
[[ $shape == plain ]] || git -C "$folder" repack -adfq
git -C "$folder" checkout -q main
echo "made $(git -C "$folder" rev-list --count HEAD) commits in $folder"
