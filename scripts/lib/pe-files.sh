# Checks of the PE files a Windows build links. Sourced; needs common.sh.

# The PE files (.exe, .dll) that the build in a folder produces.
built_pe_files() {
    ninja -C "$1" -t targets all | sed -n 's/^\(.*\.\(exe\|dll\)\): .*/\1/p' | LC_ALL=C sort -u
}

# Fails unless every PE file of a build has a zero link time stamp and every
# one but the tests (some find the files they test by their build paths) holds
# no path of the source folder, which contains the build folders.
check_reproducible_pe_files() {
    local dir=$1 file offset stamp count=0
    while IFS= read -r file; do
        file="$dir/$file"
        [ -f "$file" ] || continue
        offset=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
        [ "$(od -An -c -j"$offset" -N2 "$file" | tr -d ' ')" = PE ] || die "$file is not a PE file"
        stamp=$(od -An -tu4 -j$((offset + 8)) -N4 "$file" | tr -d ' ')
        [ "$stamp" = 0 ] || die "$file has the link time stamp $stamp"
        case $file in
        "$dir"/tests/*) ;;
        *) ! grep -qF "$ROOT" "$file" || die "$file holds the path $ROOT" ;;
        esac
        count=$((count + 1))
    done < <(built_pe_files "$dir")
    [ "$count" -gt 0 ] || die "no PE file in $dir"
    say "$dir: $count PE files without link time stamp or build path"
}

# Prints the size of the 32-bit installer's program: the installer without its
# payload resource. Builds the packer and the installer first.
print_program_size() {
    build_preset native packer
    build_preset win32 installer
    local installer payload
    installer=$(stat -c %s "$BUILD/win32/src/res/InstallKelvane3.00g.exe")
    payload=$(stat -c %s "$BUILD/win32/payload/payload.bz2")
    printf 'program of the 32-bit installer: %d bytes (%d installer - %d payload)\n' \
        $((installer - payload)) "$installer" "$payload"
}
