#!/usr/bin/env bash
# What cmake --install lays out: the program in bin/, no list file anywhere, the HTML help, the licence, the manual
# page, the MIME type, the menu entry, the icons and the AppStream file, all valid where the validators are
# installed; and that tools/uninstall removes all of it. The prefix has a blank in it on purpose.
#   install_layout.sh BUILD_DIR SOURCE_DIR PROGRAM_BUILD_DIR [CONFIG]
set -euo pipefail
BUILD_DIR=$1
SOURCE_DIR=$2
CONFIG=${4:-}
# shellcheck source=tests/e2e/common.sh
source "$(cd "$(dirname "$0")" && pwd)/common.sh"

prefix="$work/mein Ordner/prefix"
install_into "$prefix"

program=$prefix/bin/korbana
[ -x "$program" ] || fail "no program $program"
head -c 4 -- "$program" | grep -q 'ELF' || fail "$program is not the program itself"
[ -e "$prefix/lib/korbana" ] && fail "there is still a program folder $prefix/lib/korbana"
found=$(cd "$prefix" && find . -name '*.kbl')
[ -z "$found" ] && [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)" = "korbana 1.3" ] ||
    fail "a list file was installed ($found), or --version fails without a display"

for page in index.htm listen.htm datei.htm orte.htm drucken.htm einstellungen.htm stil.css; do
    cmp -- "$SOURCE_DIR/help/$page" "$prefix/share/doc/korbana/html/$page" || fail "help page $page not installed"
done
grep -q 'GPL-3.0-or-later' "$prefix/share/doc/korbana/copyright" || fail "no licence in the copyright file"
gzip -dc -- "$prefix/share/man/man1/korbana.1.gz" | grep -q '^\.TH KORBANA 1' || fail "no manual page korbana.1"
# The German page for German locales: man looks in man/de/ under LANG=de_DE.UTF-8.
gzip -dc -- "$prefix/share/man/de/man1/korbana.1.gz" | grep -q '^\.SH BESCHREIBUNG' ||
    fail "no German manual page de/man1/korbana.1"
grep -q '<glob pattern="\*\.kbl"/>' "$prefix/share/mime/packages/korbana.xml" || fail "no MIME type for *.kbl"
for kind_name in apps/korbana mimetypes/application-x-korbana; do
    for size in 16 22 24 32 48 64 128 256; do
        png=$prefix/share/icons/hicolor/${size}x$size/$kind_name.png
        [ -f "$png" ] || fail "no icon $png"
        # The PNG header holds width and height as 32-bit big-endian numbers at bytes 16 and 20.
        read -r w h < <(od -An -tu1 -j16 -N8 -- "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
        [ "$w $h" = "$size $size" ] || fail "icon $png is $w x $h, not $size x $size"
    done
    [ -f "$prefix/share/icons/hicolor/scalable/$kind_name.svg" ] || fail "no scalable icon $kind_name"
done

desktop=$prefix/share/applications/de.talven.korbana.desktop
metainfo=$prefix/share/metainfo/de.talven.korbana.metainfo.xml
[ -f "$desktop" ] || fail "no menu entry"
[ -f "$metainfo" ] || fail "no AppStream file"
exec_line=$(grep '^Exec=' "$desktop")
[ "$exec_line" = "Exec=\"$prefix/bin/korbana\" %f" ] || fail "menu entry runs '$exec_line', not the installed program"
grep -qx 'MimeType=application/x-korbana;' "$desktop" || fail "menu entry without the list file's MIME type"
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

# Uninstall: everything goes.
"$SOURCE_DIR/tools/uninstall" "$work/manifest" >/dev/null
left=$(cd "$prefix" && find . -type f -o -type l)
[ -z "$left" ] || fail "after uninstall there is still: $left"
[ -e "$prefix/share/doc/korbana" ] && fail "after uninstall the help folder is still there"

# A system prefix names the program plainly, as a package does.
DESTDIR=$work/dest install_into /usr
grep -qx 'Exec=korbana %f' "$work/dest/usr/share/applications/de.talven.korbana.desktop" ||
    fail "the menu entry of a /usr install does not run 'korbana %f'"
echo "PASS: install layout and uninstall"
