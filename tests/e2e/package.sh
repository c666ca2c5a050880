#!/usr/bin/env bash
# The Debian package as a user meets it: installed with apt-get, started as /usr/bin/korbana with a fresh home (the
# first start makes ~/.local/share/korbana/korbana.kbl from the sample list), quit through "Datei" > "Beenden" with
# "Ja", then removed again without a file left behind. Needs root (or sudo) and a display-less virtual X server.
#   package.sh DEB
set -euo pipefail
deb=$(readlink -f "$1")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/e2e/common.sh
source "$(cd "$(dirname "$0")" && pwd)/common.sh"
need_virtual_display
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

dpkg-query -W korbana >/dev/null 2>&1 && fail "korbana is installed already: remove it first"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get install $deb failed"; }
remove() { DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq korbana >>"$work/apt.log" 2>&1; }
trap 'remove || true; cleanup' EXIT
dpkg-query -L korbana | sort >"$work/files"

[ -x /usr/bin/korbana ] || fail "no /usr/bin/korbana"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/korbana --version)" = "korbana 1.3" ] ||
    fail "korbana --version without a display"
man -w korbana >/dev/null || fail "man korbana finds no page"
# The package's triggers registered the list file's type and the menu entry for it.
grep -q '^application/x-korbana:\*\.kbl$' /usr/share/mime/globs || fail "*.kbl is not application/x-korbana"
if [ -f /usr/share/applications/mimeinfo.cache ]; then
    grep -q '^application/x-korbana=de\.talven\.korbana\.desktop;' /usr/share/applications/mimeinfo.cache ||
        fail "the menu entry does not open application/x-korbana"
fi
[ -f /usr/share/doc/korbana/html/index.htm ] || fail "no HTML help"

home=$work/home
run_session "$home" /usr/bin/korbana "TALVEN Einkaufsliste 1.3 - korbana.kbl"
list=$home/.local/share/korbana/korbana.kbl
cmp -- "$source_dir/resources/korbana.kbl" "$list" || fail "the first start did not make $list from the sample"
grep -qx '\[TMainForm\]' "$home/.config/korbana.conf" 2>/dev/null || fail "no settings in $home/.config"

remove || fail "apt-get purge korbana failed"
trap cleanup EXIT
dpkg-query -W korbana >/dev/null 2>&1 && fail "korbana is still installed"
while IFS= read -r file; do
    [ -d "$file" ] && continue
    [ -e "$file" ] && fail "$file is left after the removal"
done <"$work/files"
echo "PASS: package installed, first start from the sample list, quit with Ja, package removed"
