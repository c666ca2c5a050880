# shellcheck shell=bash
# Shared by the install tests: a scratch folder, failing with a message, installing into a temporary prefix.
# Expects BUILD_DIR (the build folder) and CONFIG (may be empty) to be set by the sourcing script.

work=$(mktemp -d "${TMPDIR:-/tmp}/korbana-e2e.XXXXXX")
cleanup() { rm -rf -- "$work"; }
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# install_into PREFIX: cmake --install into PREFIX; the manifest of this run is left in $work/manifest/.
install_into() {
    local manifest=$BUILD_DIR/install_manifest.txt saved=$work/install_manifest.saved
    # cmake --install rewrites the build folder's manifest: keep the developer's own, which tools/uninstall reads.
    rm -f -- "$saved"
    [ -f "$manifest" ] && cp -p -- "$manifest" "$saved"
    local rc=0
    cmake --install "$BUILD_DIR" --prefix "$1" ${CONFIG:+--config "$CONFIG"} >"$work/install.log" 2>&1 || rc=$?
    mkdir -p "$work/manifest"
    [ -f "$manifest" ] && mv -f -- "$manifest" "$work/manifest/install_manifest.txt"
    [ -f "$saved" ] && mv -f -- "$saved" "$manifest"
    if [ $rc -ne 0 ]; then
        cat "$work/install.log" >&2
        fail "cmake --install into $1 failed"
    fi
}

# A list file of the form that korbana writes (Windows-1252, CR LF), with umlauts, blanks at the ends of a
# field and an empty field, so that writing it back has to keep every byte.
write_list_file() {
    printf '3\r\nB\344ckerei M\374ller\r\nWochenmarkt\r\n Drogerie \r\n' >"$1"
    printf '2\r\nBr\366tchen\r\nB\344ckerei M\374ller\r\n0,45 EUR\r\n\304pfel (1 kg)\r\nWochenmarkt\r\n2,99 EUR\r\n' >>"$1"
    printf '2\r\n6\r\nBr\366tchen\r\nB\344ckerei M\374ller\r\n0,45 EUR\r\n\r\n\304pfel (1 kg)\r\nWochenmarkt\r\n2,99 EUR\r\n' >>"$1"
}
