#!/usr/bin/env bash
# Runs on the virtual display (see installed_program.sh): drives the installed program with xdotool.
# There is no window manager: windowfocus --sync, then key, reaches Qt; windows are found with --onlyvisible.
# Input: KORBANA (the program), TITLE (the main window's expected title), LOG (program output); the arguments are
# passed to the program.
set -euo pipefail
readonly title=$TITLE
readonly question="Datei: Beenden..."

# Under load the new display may take a moment to accept clients.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "display $DISPLAY not reachable" >&2; exit 75; }

fail() {
    echo "FAIL: $*" >&2
    echo "visible windows:" >&2
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        echo "  $w '$(xdotool getwindowname "$w" 2>/dev/null)'" >&2
    done
    kill "$pid" 2>/dev/null || true
    exit 1
}

# The first visible window whose name matches the regular expression, waiting up to $2 seconds.
wait_window() {
    local deadline=$((SECONDS + $2)) found
    while [ $SECONDS -lt "$deadline" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            grep -q "could not connect to display" "$LOG" && exit 75
            fail "the program ended before a window named /$1/ appeared"
        fi
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        sleep 0.2
    done
    fail "no window named /$1/ within $2 s"
}

"$KORBANA" "$@" >"$LOG" 2>&1 &
pid=$!

main=$(wait_window '^TALVEN Einkaufsliste' 30)
name=$(xdotool getwindowname "$main")
[ "$name" = "$title" ] || fail "window title '$name', expected '$title'"

visible_count() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }

# Alt+D opens "&Datei" (a window of its own), B chooses "&Beenden".
xdotool windowfocus --sync "$main"
windows=$(visible_count)
xdotool key alt+d
deadline=$((SECONDS + 15))
until [ "$(visible_count)" -gt "$windows" ]; do
    [ $SECONDS -lt "$deadline" ] || fail "Alt+D opened no menu"
    sleep 0.1
done
xdotool key b

box=$(wait_window "^${question//./\\.}\$" 15)
xdotool windowfocus --sync "$box"
# "&Ja" of Qt's German translation: Alt+J proves the buttons speak German.
xdotool key alt+j

deadline=$((SECONDS + 20))
while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt "$deadline" ] || fail "the program did not end after the answer Ja"
    sleep 0.2
done
status=0
wait "$pid" || status=$?
[ $status -eq 0 ] || fail "the program ended with status $status"
