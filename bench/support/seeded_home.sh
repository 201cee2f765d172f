# Sourced by the scripts that run whole programs over a seeded store:
#   make_seeded_home SEEDER SHAPE FOLDER   fills FOLDER/norvane.store with norvane-bench-seed
#   use_home STORE FOLDER                  a home in FOLDER holding a copy of STORE, exported to the
#                                          environment (first-run wizard marked as done)
make_seeded_home() {
    "$1" "$3/norvane.store" "$2"
}

use_home() {
    local store=$1 home=$2
    rm -rf "$home"
    mkdir -p "$home/.local/share/Norvane" "$home/.config/Norvane" "$home/runtime"
    chmod 700 "$home/runtime"
    cp "$store" "$home/.local/share/Norvane/norvane.store"
    printf '[General]\nhasCompletedOnboarding=true\n' > "$home/.config/Norvane/Norvane.conf"
    export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config \
        XDG_STATE_HOME=$home/.local/state XDG_RUNTIME_DIR=$home/runtime GIT_CONFIG_NOSYSTEM=1
}
