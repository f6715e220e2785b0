# The check of a signed release. Sourced; needs common.sh and build.sh, and the
# win64 build's scenarios (e2e_tests.exe).

SIGNED="$BUILD/win64-signed"

# Makes a throw-away certificate authority and a code-signing certificate that
# it issued, in a new folder: ca.pem, the authority's certificate, and
# signer.p12, the signer's certificate and key under the password in the
# environment variable KV_SIGN_PASSWORD.
make_test_certificate() {
    local folder=$1
    rm -rf "$folder"
    mkdir -p "$folder"
    (
        cd "$folder"
        openssl req -x509 -newkey rsa:2048 -noenc -keyout ca.key -out ca.pem -days 2 \
            -subj '/CN=Kelvane test authority' \
            -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign
        openssl req -new -newkey rsa:2048 -noenc -keyout signer.key -out signer.csr \
            -subj '/O=Tarnwick/CN=Tarnwick test signer'
        printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature \
            extendedKeyUsage=codeSigning >signer.ext
        openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -set_serial 1 -days 2 \
            -extfile signer.ext -out signer.pem
        openssl pkcs12 -export -in signer.pem -inkey signer.key -out signer.p12 \
            -passout env:KV_SIGN_PASSWORD
        rm ca.key signer.key
    ) >"$folder/openssl.log" 2>&1 || { cat "$folder/openssl.log" >&2; die "making the test certificate failed"; }
}

# Fails unless osslsigncode finds in the file a valid Authenticode signature
# that the certificate authority of the file ca vouches for.
expect_valid_signature() {
    local ca=$1 file=$2 output
    output=$(osslsigncode verify -CAfile "$ca" -in "$file" 2>&1) ||
        { printf '%s\n' "$output" >&2; die "$file carries no valid signature of the test certificate"; }
}

# The PE files of a payload, by name, as "packer list" shows its entries.
payload_programs() {
    "$BUILD/native/tools/packer/packer" list "$1" | sed -n 's/.*  \([^ ]*\.\(exe\|dll\)\)$/\1/p'
}

# Builds the 64-bit installer signed with a throw-away certificate (the
# win64-signed preset: the installer and what it packs, no tests) and checks
# it: the installer and every program and DLL of its payload, as an
# installation extracts them, carry a valid signature; the scenario
# SignedRelease of the win64 build installs with it, removes the installation
# with the installed uninstaller, and runs a copy of it with one byte of the
# payload changed, which the installer reports as damaged and which
# osslsigncode must reject.
check_signed_release() {
    local started=$SECONDS certificate="$SIGNED/certificate" work="$SIGNED/e2e"
    local installer="$SIGNED/src/res/InstallKelvane3.00g.exe" session="$SIGNED/wine-session"
    local damaged="$work/InstallKelvane3.00g.exe" name count=0 status=0
    (
        # The password exists only in the environment of these two steps.
        KV_SIGN_PASSWORD=$(openssl rand -hex 16)
        export KV_SIGN_PASSWORD
        make_test_certificate "$certificate"
        build_preset win64-signed installer
    )
    expect_valid_signature "$certificate/ca.pem" "$installer"

    rm -rf "$work"
    "$ROOT/scripts/lib/wine-session" start "$session"
    KV_INSTALLER=$(winpath "$installer") KV_VARIANTS=$(winpath "$work") \
        "$ROOT/scripts/lib/wine-session" e2e "$session" SignedRelease \
        "$BUILD/win64/tests/e2e/e2e_tests.exe" --gtest_filter='SignedRelease.*' \
        >"$SIGNED/e2e.log" 2>&1 || status=$?
    "$ROOT/scripts/lib/wine-session" stop "$session"
    [ "$status" -eq 0 ] || { cat "$SIGNED/e2e.log" >&2; die "the scenario SignedRelease failed"; }

    while IFS= read -r name; do
        expect_valid_signature "$certificate/ca.pem" "$work/installed/$name"
        count=$((count + 1))
    done < <(payload_programs "$SIGNED/payload/payload.bz2")
    [ "$count" -gt 0 ] || die "packer list shows no program in the signed payload"

    [ "$(cmp -l "$installer" "$damaged" | wc -l)" -eq 1 ] ||
        die "$damaged differs from the signed installer in other than one byte"
    if osslsigncode verify -CAfile "$certificate/ca.pem" -in "$damaged" >/dev/null 2>&1; then
        die "osslsigncode verify accepts the signed installer with a changed payload byte"
    fi
    say "signed release: the installer and the $count programs of its payload carry valid" \
        "signatures, a changed payload byte breaks it ($((SECONDS - started)) s)"
}
