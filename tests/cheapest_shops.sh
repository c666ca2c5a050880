#!/bin/bash
# The real program under Xvfb: "Milch" at two shops, "Günstigste Läden wählen" through the Edit menu's keys and
# saved; Ctrl+Z takes the move back, saved again. Every step waits for what it should bring about.
# Usage: cheapest_shops.sh <korbana binary>
set -u
source "$(dirname "$0")/virtual_display.sh"
work=$(mktemp -d)
trap 'end_own_processes; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state LANG=de_DE.UTF-8 \
    QT_QPA_PLATFORM=xcb
list=$work/korbana.kbl

fail() {
    echo "FAIL: $*"
    od -c "$list"
    cat "$work/program.log"
    exit 1
}

# The list file as korbana writes it, three litres of milk bought at shop $1 for the price $2.
list_bytes() {
    printf '2\r\nAldi\r\nLidl\r\n2\r\nMilch\r\nAldi\r\n0,99 EUR\r\nMilch\r\nLidl\r\n0,89 EUR\r\n'
    printf '1\r\n3\r\nMilch\r\n%s\r\n%s\r\n' "$1" "$2"
}

# A menu window has no name.
windows() { xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null | wc -l; }

# Runs the command $2 and Ctrl+S until the list file holds the bytes of $1; keys sent before the window was ready
# are sent again (neither step does anything the second time).
until_saved() {
    local attempt deadline
    for attempt in 1 2 3 4 5 6; do
        $2
        xdotool windowfocus --sync "$main" key ctrl+s
        deadline=$((SECONDS + 10))
        while [ $SECONDS -lt $deadline ]; do
            cmp -s "$list" "$1" && return 0
            sleep 0.2
        done
    done
    fail "the list file never became $(basename "$1")"
}

# Alt+B opens "&Bearbeiten"; once its window is there, G is "&Günstigste Läden wählen".
choose_cheapest_shops() {
    local before deadline=$((SECONDS + 10))
    xdotool windowfocus --sync "$main"
    before=$(windows)
    xdotool key alt+b
    until [ "$(windows)" -gt "$before" ]; do
        [ $SECONDS -lt $deadline ] || return 0
        sleep 0.1
    done
    xdotool key g
}

undo() { xdotool windowfocus --sync "$main" key ctrl+z; }

list_bytes Aldi '0,99 EUR' | tee "$list" >"$work/before"
list_bytes Lidl '0,89 EUR' >"$work/after"
"$1" "$list" >"$work/program.log" 2>&1 &
pid=$!
deadline=$((SECONDS + 60))
until main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^TALVEN' 2>/dev/null | head -1) && [ -n "$main" ]; do
    [ $SECONDS -lt $deadline ] || fail "no main window"
    grep -q "could not connect to display" "$work/program.log" && exit 75
    sleep 0.2
done
until_saved "$work/after" choose_cheapest_shops
# One step: one Ctrl+Z brings back shop and price (a second one finds nothing more to undo).
until_saved "$work/before" undo
