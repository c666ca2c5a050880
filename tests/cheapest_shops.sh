#!/bin/bash
# The real program under Xvfb: a list with "Milch" at two shops, "Günstigste Läden wählen" through the Edit menu's
# keys, saved; Ctrl+Z takes the move back, saved again. Every step waits for what it should bring about.
# Usage: cheapest_shops.sh <korbana binary>
set -u
source "$(dirname "$0")/virtual_display.sh"

work=$(mktemp -d)
trap 'end_own_processes; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=de_DE.UTF-8 \
    QT_QPA_PLATFORM=xcb
program=$1
list=$work/korbana.kbl

fail() {
    echo "FAIL: $*"
    echo "visible windows:"
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  $(xdotool getwindowname "$w")"; done
    echo "list file:"
    od -c "$list"
    cat "$work/program.log"
    exit 1
}

# The list file as korbana writes it, with three litres of milk bought at shop $1 for the price $2.
list_bytes() {
    printf '2\r\nAldi\r\nLidl\r\n2\r\nMilch\r\nAldi\r\n0,99 EUR\r\nMilch\r\nLidl\r\n0,89 EUR\r\n'
    printf '1\r\n3\r\nMilch\r\n%s\r\n%s\r\n' "$1" "$2"
}

# A menu window has no name.
windows_of_program() { xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null | wc -l; }

# Runs the keys of "$@" in the main window until the list file holds the bytes of $expected: a key sent while
# the window was not ready yet is sent again (each step here does nothing the second time).
until_saved() {
    local expected=$1 attempt deadline
    shift
    for attempt in 1 2 3 4 5 6; do
        "$@"
        xdotool windowfocus --sync "$main" key ctrl+s
        deadline=$((SECONDS + 10))
        while [ $SECONDS -lt $deadline ]; do
            cmp -s "$list" "$expected" && return 0
            kill -0 "$pid" 2>/dev/null || fail "the program ended"
            sleep 0.2
        done
        echo "attempt $attempt: the list file is not yet as expected"
    done
    fail "the list file never became $(basename "$expected")"
}

# "&Bearbeiten" with Alt+B, once its menu window is open "&Günstigste Läden wählen" with G.
choose_cheapest_shops() {
    local before deadline
    xdotool windowfocus --sync "$main"
    before=$(windows_of_program)
    xdotool key alt+b
    deadline=$((SECONDS + 10))
    until [ "$(windows_of_program)" -gt "$before" ]; do
        [ $SECONDS -lt $deadline ] || return 0
        sleep 0.1
    done
    xdotool key g
}

undo() { xdotool windowfocus --sync "$main" key ctrl+z; }

list_bytes Aldi '0,99 EUR' >"$list"
cp "$list" "$work/before"
list_bytes Lidl '0,89 EUR' >"$work/after"

"$program" "$list" >"$work/program.log" 2>&1 &
pid=$!
deadline=$((SECONDS + 60))
main=
while [ -z "$main" ]; do
    [ $SECONDS -lt $deadline ] || fail "no main window"
    grep -q "could not connect to display" "$work/program.log" && exit 75
    main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^TALVEN' 2>/dev/null | head -1)
    sleep 0.2
done

until_saved "$work/after" choose_cheapest_shops
# One step: one Ctrl+Z brings back the shop and the price (a second one finds nothing more to undo).
until_saved "$work/before" undo
echo "PASS"
