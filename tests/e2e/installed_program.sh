#!/usr/bin/env bash
# End to end, as a user meets it: install korbana into a temporary prefix, put a list file beside the installed
# program, start it through its launcher on a virtual X display, check the window title, quit through the menu
# "Datei" with the keyboard, answer the question with "Ja", and check that the list file was written back
# byte for byte and that the settings went into the configuration folder.
#   installed_program.sh BUILD_DIR [CONFIG]      exits 77 (skipped) without xvfb-run, xauth or xdotool
set -euo pipefail
BUILD_DIR=$1
CONFIG=${2:-}
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run xauth xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

# shellcheck source=tests/e2e/common.sh
source "$here/common.sh"

prefix=$work/prefix
install_into "$prefix"
program_dir=$prefix/lib/korbana
list=$program_dir/korbana.kbl
write_list_file "$list"
cp -p -- "$list" "$work/expected.kbl"
# An old time stamp, so that a written file shows, although its bytes are the same.
touch -d '2001-01-01 12:00' -- "$list"
before=$(stat -c %Y -- "$list")

mkdir -p "$work/home/.config"
chmod 700 "$work/home"
# -noreset: an X server that resets when its last client leaves refuses the clients that connect meanwhile.
# A display that cannot be reached all the same (exit 75) is tried once more on a new one.
for _ in 1 2; do
    rc=0
    (
        cd "$work"
        # Settings into the scratch home, German locale (standard buttons "Ja", "Nein", "Abbrechen").
        exec env -u LC_ALL -u LANGUAGE -u LC_MESSAGES -u WAYLAND_DISPLAY \
            HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/home" \
            LANG=de_DE.UTF-8 QT_QPA_PLATFORM=xcb KORBANA="$prefix/bin/korbana" LOG="$work/program.log" \
            timeout 90 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$here/session.sh"
    ) || rc=$?
    [ $rc -ne 75 ] && break
done
if [ $rc -ne 0 ]; then
    echo "--- program output:" >&2
    cat "$work/program.log" >&2 || true
    fail "the session on the virtual display failed ($rc)"
fi

cmp -- "$work/expected.kbl" "$list" || fail "the list file was not written back byte for byte"
after=$(stat -c %Y -- "$list")
[ "$after" -gt "$before" ] || fail "the list file was not written (time stamp unchanged)"
# Closing wrote the settings, into the scratch configuration folder.
settings=$work/home/.config/korbana.conf
grep -qx '\[TMainForm\]' "$settings" 2>/dev/null || fail "no section [TMainForm] in $settings"
echo "PASS: installed program started, quit through Datei > Beenden, list file written back unchanged"
