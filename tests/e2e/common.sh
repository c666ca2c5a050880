# shellcheck shell=bash
# Shared by the install tests: a scratch folder, failing with a message, installing into a temporary prefix.
# Expects BUILD_DIR (the build folder) and CONFIG (may be empty) to be set by the sourcing script.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/own_processes.sh
source "$e2e_dir/../own_processes.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/korbana-e2e.XXXXXX")
cleanup() {
    end_own_processes
    rm -rf -- "$work"
}
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

# Exits 77 (skipped) unless the tools for a session on a virtual X display are there.
need_virtual_display() {
    for tool in xvfb-run xauth xdotool; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
}

# run_session HOME PROGRAM TITLE [ARGUMENTS...]: starts PROGRAM with the ARGUMENTS on a virtual X display with HOME
# as a fresh home, checks that the main window has TITLE, quits through the menu "Datei" with the keyboard and
# answers the question with "Ja" (see session.sh).
run_session() {
    local home=$1 program=$2 title=$3 rc
    shift 3
    mkdir -p "$home"
    chmod 700 "$home"
    # -noreset: an X server that resets when its last client leaves refuses the clients that connect meanwhile.
    # A display that cannot be reached all the same (exit 75) is tried once more on a new one.
    for _ in 1 2; do
        rc=0
        (
            cd "$work"
            # Settings and data into the scratch home, German locale (standard buttons "Ja", "Nein", "Abbrechen").
            exec env -u LC_ALL -u LANGUAGE -u LC_MESSAGES -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
                HOME="$home" XDG_RUNTIME_DIR="$home" LANG=de_DE.UTF-8 QT_QPA_PLATFORM=xcb \
                KORBANA="$program" TITLE="$title" LOG="$work/program.log" \
                timeout 90 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$e2e_dir/session.sh" "$@"
        ) || rc=$?
        [ $rc -ne 75 ] && break
    done
    if [ $rc -ne 0 ]; then
        echo "--- program output:" >&2
        cat "$work/program.log" >&2 || true
        fail "the session on the virtual display failed ($rc)"
    fi
}
