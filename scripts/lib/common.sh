# Shared paths and helpers for the project's scripts. Sourced, not run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
DEPS="$BUILD/deps"
WINE_DIR="$BUILD/wine"

say() { printf '%s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }
# A host path as Wine's programs name it, on drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        die "installing packages needs root: run as root or install sudo"
    fi
}

# Jobs for the build: one per core.
job_count() { nproc 2>/dev/null || echo 2; }

# What Wine could change in the host user's home: the menus, the desktop
# (the home itself when there is no Desktop folder), the MIME database and
# icons that its menu builder writes. One line per file or folder with its
# size and time of last change; cheap to take twice.
host_home_listing() {
    local folder
    {
        for folder in "$HOME/.local/share/applications" "$HOME/.local/share/desktop-directories" \
            "$HOME/.local/share/mime" "$HOME/.local/share/icons" "$HOME/.config/menus" \
            "$HOME/Desktop"; do
            if [ -e "$folder" ]; then find "$folder" -printf '%p %s %T@\n'; fi
        done
        find "$HOME" -maxdepth 1 -name '*.desktop' -printf '%p %s %T@\n'
    } | sort
}
