# Configure-and-build steps shared by run and test. Sourced; needs common.sh.

# Configures (quietly, showing the log only on failure) and builds a preset:
# everything, or only the targets named after it.
build_preset() {
    local preset=$1 log="$BUILD/$1.configure.log"
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    mkdir -p "$BUILD"
    if ! cmake --preset "$preset" >"$log" 2>&1; then
        cat "$log" >&2
        die "configuring $preset failed"
    fi
    local output status=0
    output=$(cmake --build --preset "$preset" "${targets[@]}" -- --quiet 2>&1) || status=$?
    printf '%s\n' "$output" | grep -v -e '^ninja: no work to do\.$' -e '^$' >&2 || true
    [ "$status" -eq 0 ] || die "building $preset failed"
}

# Stops whatever Wine servers and displays the test sessions of any build left.
stop_wine_sessions() {
    local session
    for session in "$BUILD"/*/wine-session; do
        [ -d "$session" ] && "$ROOT/scripts/lib/wine-session" stop "$session" >/dev/null 2>&1
    done
    return 0
}
