# Wine prefixes and the virtual display for the Windows tests. Sourced.
# Needs common.sh.

export WINEDEBUG=-all
# Wine takes the Windows user locale from these when a prefix's server starts:
# English (0x0409) unless a test starts its own server with another language.
export LANG=${KV_WINE_LANG:-C.UTF-8}
export LC_ALL=$LANG
# Wine never offers to install its .NET or HTML engines, and its menu builder
# stays off: it would mirror every shortcut and file association the tests
# make into the host user's menus, desktop and MIME database.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
TEMPLATE_PREFIX="$WINE_DIR/template"

# The clean prefix every test prefix is copied from, made once and kept in
# the build tree. Its programs run in a virtual desktop, which draws window
# decorations for screenshots.
ensure_template_prefix() {
    mkdir -p "$WINE_DIR"
    (
        flock 9
        [ -f "$TEMPLATE_PREFIX/.ready" ] && exit 0
        say "preparing a clean Wine prefix"
        rm -rf "$TEMPLATE_PREFIX"
        export WINEPREFIX="$TEMPLATE_PREFIX"
        DISPLAY='' wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        [ -d "$TEMPLATE_PREFIX/drive_c/windows" ] || die "wineboot did not create a prefix"
        touch "$TEMPLATE_PREFIX/.ready"
    ) 9>"$WINE_DIR/.template.lock"
}

# Copies the template prefix, or the prefix $2, to $1 (replacing what is there).
fresh_prefix() {
    rm -rf "$1"
    mkdir -p "$(dirname "$1")"
    cp -a "${2:-$TEMPLATE_PREFIX}" "$1"
}

# Starts Xvfb on a free display, large enough for the virtual desktop of a
# display at 200 %; prints the display number. $1: pid file.
start_xvfb() {
    local fifo pid number
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    pid=$!
    read -r -t 30 number <"$fifo" || { rm -f "$fifo"; kill "$pid" 2>/dev/null; die "Xvfb did not start"; }
    rm -f "$fifo"
    echo "$pid" >"$1"
    echo "$number"
}

# Sets the display of the prefix $1 to $2 dots per inch (96 is 100 %) where
# Windows keeps it, for the user and for the machine (Wine 8 reads the user's
# value, else the machine's, when a program starts), and gives its virtual
# desktop as many more pixels, as a display at that scaling has.
set_display_dpi() {
    local file="$1/display-dpi.reg"
    printf 'REGEDIT4\n\n[%s]\n"LogPixels"=dword:%08x\n\n[%s]\n"LogPixels"=dword:%08x\n\n[%s]\n"Default"="%dx%d"\n' \
        'HKEY_CURRENT_USER\Control Panel\Desktop' "$2" \
        'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' "$2" \
        'HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops' $((1024 * $2 / 96)) $((768 * $2 / 96)) \
        >"$file"
    DISPLAY='' WINEPREFIX="$1" wine regedit /S "Z:${file//\//\\}" || die "cannot set the display to $2 dpi"
}

stop_prefix() {
    WINEPREFIX="$1" wineserver -k 2>/dev/null || true
    WINEPREFIX="$1" timeout 20 wineserver -w 2>/dev/null || true
}
