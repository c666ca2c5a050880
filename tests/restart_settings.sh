#!/bin/bash
# Restart under Xvfb: move and resize the real program's window, drag a pane, change a margin and the print font,
# exit, start again and see everything come back. Usage: restart_settings.sh <korbana binary>
set -u
source "$(dirname "$0")/virtual_display.sh"
program=$1
work=$(mktemp -d)
trap 'end_own_processes; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config LANG=de_DE.UTF-8 QT_QPA_PLATFORM=xcb
settings=$XDG_CONFIG_HOME/korbana.conf

fail() {
    echo "FAIL: $*"
    echo "visible windows:"
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  $(xdotool getwindowname "$w")"; done
    [ -f "$work/stderr" ] && cat "$work/stderr"
    [ -f "$settings" ] && cat "$settings"
    exit 1
}
# The first visible window whose title matches, within a few seconds.
window() {
    for _ in $(seq 50); do
        local w
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
start() {
    "$program" 2>"$work/stderr" &
    pid=$!
    main=
    for _ in $(seq 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            grep -q "could not connect to display" "$work/stderr" && exit 75
            fail "program ended at start"
        fi
        # A missing or unreadable sample list is reported before the window shows.
        box=$(xdotool search --onlyvisible --name "Fehler" 2>/dev/null | head -1)
        [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return
        main=$(xdotool search --onlyvisible --name "TALVEN" 2>/dev/null | head -1)
        [ -n "$main" ] && break
        sleep 0.1
    done
    [ -n "$main" ] || fail "no main window"
    sleep 0.5
}
quit() {
    # Under load the menu may open late; "b" pressed too early goes to the window and is harmless: try again.
    question=
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$main" key alt+d
        sleep 0.5
        xdotool key b
        question=$(window "Beenden") && break
        xdotool key Escape
    done
    [ -n "$question" ] || fail "no exit question"
    xdotool windowfocus --sync "$question" key alt+n
    wait "$pid" || fail "program ended with $?"
}
value() { sed -n "s/^$1=//p" "$settings"; }

start
xdotool windowmove --sync "$main" 150 60 windowsize --sync "$main" 640 420
sleep 0.3
# The splitter handle right of the store pane (145 wide, 3 pixels in), dragged 50 to the right.
xdotool mousemove --window "$main" 150 300 sleep 0.2 mousedown 1 sleep 0.2 mousemove --window "$main" 170 300 \
    sleep 0.2 mousemove --window "$main" 200 300 sleep 0.2 mouseup 1
sleep 0.3
xdotool windowfocus --sync "$main" key ctrl+Tab
sleep 0.3
xdotool mousemove --window "$main" 340 156 click 1 key ctrl+a type 20
xdotool key Tab
xdotool mousemove --window "$main" 276 126 click 1
fontDialog=$(window "Schriftart") || fail "no font dialog"
xdotool windowfocus --sync "$fontDialog" key ctrl+a type "Liberation Mono"
xdotool key alt+g key ctrl+a type 14
xdotool key Return
sleep 0.3
quit

[ "$(value NormPos)" = "150,60,790,480" ] || fail "NormPos $(value NormPos)"
[ "$(value leftREd_Value)" = "20" ] || fail "leftREd_Value $(value leftREd_Value)"
width=$(value Panel1Laeden_Width)
[ "$width" -gt 180 ] || fail "Panel1Laeden_Width $width"
[ "$(value FontDialog1_FontName)" = "Liberation Mono" ] || fail "FontDialog1_FontName $(value FontDialog1_FontName)"
[ "$(value FontDialog1_FontSize)" = "14" ] || fail "FontDialog1_FontSize $(value FontDialog1_FontSize)"
cp "$settings" "$work/first.conf"

# Whatever did not come back would be saved as its design value by the second exit.
start
geometry=$(xdotool getwindowgeometry "$main")
echo "$geometry" | grep -q "Position: 150,60" || fail "position: $geometry"
echo "$geometry" | grep -q "Geometry: 640x420" || fail "size: $geometry"
quit
diff "$work/first.conf" "$settings" || fail "settings changed on the second run"
echo "PASS: placement, pane width $width, margin and print font came back"
