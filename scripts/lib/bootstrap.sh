# Installs what the build needs and fetches the sources of the cross-built
# dependencies. Quiet when everything is in place. Sourced by run and test.

packages=(
    cmake ninja-build g++ clang clang-format libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 fonts-wine xvfb xauth imagemagick
    libboost-dev libboost-iostreams-dev libbz2-dev bzip2 xz-utils
    googletest libgtest-dev libgmock-dev
    osslsigncode openssl
)

missing_packages() {
    local p status
    for p in "${packages[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
        [ "$status" = "install ok installed" ] || printf '%s\n' "$p"
    done
}

install_packages() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    say "installing: $(echo $missing)"
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Adds a deb-src entry for every deb entry, so that apt-get source works.
enable_source_packages() {
    local deb822=/etc/apt/sources.list.d/debian.sources
    local ours=/etc/apt/sources.list.d/kelvane-src.sources
    local legacy=/etc/apt/sources.list.d/kelvane-src.list
    [ -e "$ours" ] || [ -e "$legacy" ] && return 0
    if [ -f "$deb822" ]; then
        sed 's/^Types: deb$/Types: deb-src/' "$deb822" | as_root tee "$ours" >/dev/null
    else
        grep -hE '^deb ' /etc/apt/sources.list 2>/dev/null | sed 's/^deb /deb-src /' |
            as_root tee "$legacy" >/dev/null
    fi
    as_root apt-get update -qq
}

# libbz2 and Boost.Iostreams' bzip2 filter, from Debian's source packages.
fetch_cross_sources() {
    local src="$DEPS/src"
    [ -f "$src/bzip2/bzlib.c" ] && [ -f "$src/boost-iostreams/bzip2.cpp" ] &&
        [ -L "$DEPS/include/boost" ] && return 0
    say "fetching the sources of bzip2 and Boost.Iostreams"
    enable_source_packages
    local dl="$DEPS/download"
    rm -rf "$dl" && mkdir -p "$dl" "$src" "$DEPS/include"
    (cd "$dl" && apt-get source -qq --download-only bzip2 boost1.74 >/dev/null 2>&1) ||
        die "apt-get source failed"
    rm -rf "$src/bzip2" "$src/boost-iostreams"
    mkdir -p "$src/bzip2" "$src/boost-iostreams"
    tar xzf "$dl"/bzip2_*.orig.tar.gz -C "$src/bzip2" --strip-components=1
    tar xJf "$dl"/boost1.74_*.orig.tar.xz -C "$dl" --wildcards '*/libs/iostreams/src/bzip2.cpp'
    find "$dl" -path '*/libs/iostreams/src/bzip2.cpp' -exec cp {} "$src/boost-iostreams/" \;
    # MinGW sees only Boost from the system headers, never all of /usr/include.
    ln -sfn /usr/include/boost "$DEPS/include/boost"
    rm -rf "$dl"
}

bootstrap() {
    install_packages
    fetch_cross_sources
}
