# Sourced by the bench scripts before they read their arguments: take_arguments LEAST "$@" prints
# the script's opening comment for -h or --help and exits, and refuses an unknown option or fewer
# than LEAST arguments with the usage line (the comment's first line up to its colon), exit status 2.
take_arguments() {
    local least=$1 script=${BASH_SOURCE[1]} argument name usage
    shift
    name=$(basename "$script")
    usage="usage: $(sed -n '2s/^# \([^:]*\):.*/\1/p' "$script")"
    for argument in "$@"; do
        case $argument in
        -h | --help)
            sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$script" | grep -v '^set -'
            exit 0
            ;;
        -*)
            printf '%s: unknown option %s\n%s\n' "$name" "$argument" "$usage" >&2
            exit 2
            ;;
        esac
    done
    if (($# < least)); then
        printf '%s: too few arguments\n%s\n' "$name" "$usage" >&2
        exit 2
    fi
}
