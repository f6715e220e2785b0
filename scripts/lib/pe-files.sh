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

# Uninstall.exe stays on every user's disk: the 32-bit one has at most this
# many bytes (350 KB). It links neither the standard library's locales nor its
# streams (README, "The uninstaller").
UNINSTALLER_BYTES_MAX=$((350 * 1024))

# Fails when the 32-bit build's Uninstall.exe is larger than that.
check_uninstaller_size() {
    local size
    size=$(stat -c %s "$BUILD/win32/product/bin/Uninstall.exe")
    [ "$size" -le "$UNINSTALLER_BYTES_MAX" ] ||
        die "the 32-bit Uninstall.exe has $size bytes, more than $UNINSTALLER_BYTES_MAX"
    say "32-bit Uninstall.exe: $size bytes (at most $UNINSTALLER_BYTES_MAX)"
}

# Prints the sizes of what the 32-bit build ships: the installer's program
# (the installer without its payload resource), the payload (its archive and
# the bzip2 stream the installer carries) and Uninstall.exe, which the payload
# holds. Builds the packer and the installer first.
print_program_sizes() {
    build_preset native packer
    build_preset win32 installer
    local installer payload archive uninstaller
    installer=$(stat -c %s "$BUILD/win32/src/res/InstallKelvane3.00g.exe")
    payload=$(stat -c %s "$BUILD/win32/payload/payload.bz2")
    archive=$(bzip2 -dc "$BUILD/win32/payload/payload.bz2" | wc -c)
    uninstaller=$(stat -c %s "$BUILD/win32/product/bin/Uninstall.exe")
    printf 'program of the 32-bit installer: %d bytes (%d installer - %d payload)\n' \
        $((installer - payload)) "$installer" "$payload"
    printf 'payload of the 32-bit installer: %d bytes compressed (archive %d bytes)\n' \
        "$payload" "$archive"
    printf 'Uninstall.exe (32-bit): %d bytes\n' "$uninstaller"
}
