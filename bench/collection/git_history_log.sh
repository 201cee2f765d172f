# Sourced by the history scripts: git_history_log REPOSITORY prints the git log command that the
# git service runs for the history, with the same environment (the options that only pin the output
# against a user's configuration left out).
git_history_log() {
    local tips
    tips=$(git -C "$1" rev-parse HEAD --branches | sort -u | tr '\n' ' ')
    echo "LC_ALL=C GIT_FLUSH=0 /usr/bin/git -C '$1' log --decorate-refs=HEAD --find-renames -l1000 --root --diff-merges=off --date-order --numstat -z '--format=%x00%x00COMMIT%x00%H%x00%P%x00%an%x00%at%x00%ct%x00%D%x00%s%x00%B%x00' $tips --"
}
