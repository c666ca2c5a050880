#!/usr/bin/env bash
# What cmake --install lays out: the program folder with the sample list file (kept on a reinstall), the launcher,
# the menu entry, the icons and the AppStream file, all valid where the validators are installed; and that
# tools/uninstall removes all of it except the user's list file. The prefix has a blank in it on purpose.
#   install_layout.sh BUILD_DIR SOURCE_DIR PROGRAM_BUILD_DIR [CONFIG]
set -euo pipefail
BUILD_DIR=$1
SOURCE_DIR=$2
built=$3
CONFIG=${4:-}
# shellcheck source=tests/e2e/common.sh
source "$(cd "$(dirname "$0")" && pwd)/common.sh"

prefix="$work/mein Ordner/prefix"
install_into "$prefix"
program_dir=$prefix/lib/korbana

[ -x "$program_dir/korbana" ] || fail "no program in $program_dir"
[ -x "$prefix/bin/korbana" ] || fail "no launcher in $prefix/bin"
cmp -- "$SOURCE_DIR/resources/korbana.kbl" "$program_dir/korbana.kbl" || fail "sample list file not installed"
if [ -f "$built/korbana.chm" ]; then
    cmp -- "$built/korbana.chm" "$program_dir/korbana.chm" || fail "help file not installed"
fi
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/korbana.png
    [ -f "$png" ] || fail "no icon $png"
    # The PNG header holds width and height as 32-bit big-endian numbers at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 -- "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$w $h" = "$size $size" ] || fail "icon $png is $w x $h, not $size x $size"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/korbana.svg" ] || fail "no scalable icon"

desktop=$prefix/share/applications/korbana.desktop
metainfo=$prefix/share/metainfo/de.talven.korbana.metainfo.xml
[ -f "$desktop" ] || fail "no menu entry"
[ -f "$metainfo" ] || fail "no AppStream file"
exec_line=$(grep '^Exec=' "$desktop")
[ "$exec_line" = "Exec=\"$prefix/bin/korbana\"" ] || fail "menu entry runs '$exec_line', not the installed launcher"
grep -qx 'Icon=korbana' "$desktop" || fail "menu entry without Icon=korbana"
grep -qx 'Categories=Office;' "$desktop" || fail "menu entry not in Office"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
else
    echo "note: desktop-file-validate not installed, menu entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    # validate-tree also checks that the AppStream file and the menu entry belong together.
    appstreamcli validate-tree --no-net --pedantic "$prefix" || fail "appstreamcli rejects the installed tree"
else
    echo "note: appstreamcli not installed, AppStream file not validated"
fi

# A reinstall keeps the user's list file.
printf '0\r\n0\r\n0\r\n' >"$program_dir/korbana.kbl"
cp -- "$program_dir/korbana.kbl" "$work/own.kbl"
install_into "$prefix"
cmp -s -- "$work/own.kbl" "$program_dir/korbana.kbl" || fail "a reinstall replaced the user's korbana.kbl"
grep -q 'korbana\.kbl' "$work/manifest/install_manifest.txt" && fail "korbana.kbl is in the install manifest"

# Uninstall: everything goes except the list file.
"$SOURCE_DIR/tools/uninstall" "$work/manifest" >/dev/null
left=$(cd "$prefix" && find . -type f -o -type l)
[ "$left" = "./lib/korbana/korbana.kbl" ] || fail "after uninstall there is still: $left"
echo "PASS: install layout, reinstall and uninstall"
