#!/usr/bin/env bash
# End to end, as a user meets it: install korbana into a temporary prefix, start the installed program with a
# list file named on the command line (relative to the current folder) on a virtual X display, check the window
# title, quit through the menu "Datei" with the keyboard, answer the question with "Ja", and check that the list
# file holds its bytes still, left alone as it held them already, and that the settings went into the
# configuration folder.
#   installed_program.sh BUILD_DIR [CONFIG]      exits 77 (skipped) without xvfb-run, xauth or xdotool
set -euo pipefail
BUILD_DIR=$1
CONFIG=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/common.sh
source "$here/common.sh"
need_virtual_display

prefix=$work/prefix
install_into "$prefix"
mkdir -p "$work/meine Listen"
list="$work/meine Listen/woche.kbl"
write_list_file "$list"
cp -p -- "$list" "$work/expected.kbl"
# An old time stamp, so that a needless rewrite of the same bytes would show.
touch -d '2001-01-01 12:00' -- "$list"
before=$(stat -c %Y -- "$list")

run_session "$work/home" "$prefix/bin/korbana" "TALVEN Einkaufsliste 1.3 - woche.kbl" "meine Listen/woche.kbl"

cmp -- "$work/expected.kbl" "$list" || fail "the list file was not written back byte for byte"
after=$(stat -c %Y -- "$list")
[ "$after" -eq "$before" ] || fail "the unchanged list file was written again (a needless new version)"
# Closing wrote the settings, into the scratch configuration folder.
settings=$work/home/.config/korbana.conf
grep -qx '\[TMainForm\]' "$settings" 2>/dev/null || fail "no section [TMainForm] in $settings"
echo "PASS: installed program started with a list file, quit through Datei > Beenden, list file left unchanged"
