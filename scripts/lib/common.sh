# Shared paths and helpers for the project's scripts. Sourced, not run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
DEPS="$BUILD/deps"
WINE_DIR="$BUILD/wine"

say() { printf '%s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

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
