#!/usr/bin/env bash
# The real program's peak resident size (VmHWM) on a list: once its window is shown and settled, once the first
# change has reached its recovery copy, and after 30 clicks on the product catalogue's column headers, each a sort
# and a step of the undo history. Needs an X display ($DISPLAY) and xdotool.
#   bench/program_memory.sh KORBANA LIST
#   prints "program_loaded_kb N program_changed_kb M program_sorted_kb S"
set -euo pipefail
program=$1 list=$2
state=$(mktemp -d /tmp/korbana-memory.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$state"' EXIT
hwm() { awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"; }
# The peak once the work in the background is done too: it has stayed the same for two seconds.
settled_peak() {
    local peak same=0 now
    peak=$(hwm)
    for _ in $(seq 300); do
        sleep 0.2
        now=$(hwm)
        if [ "$now" = "$peak" ]; then same=$((same + 1)); else same=0 peak=$now; fi
        [ $same -ge 10 ] && break
    done
    echo "$peak"
}

XDG_STATE_HOME=$state QT_QPA_PLATFORM=xcb "$program" "$list" >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1200); do
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^TALVEN' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
loaded=$(settled_peak)

# A shop added with Insert (the Store list has the focus at start) and its name confirmed.
xdotool windowfocus --sync "$window"
xdotool key Insert
sleep 0.5
xdotool key Return
# The copy is complete once it has the file's size or more and stays the same for a second.
copy_size() { stat -c %s "$state"/korbana/recovery/*.kbl 2>/dev/null | head -1; }
last="" stable=0
for _ in $(seq 1200); do
    size=$(copy_size || true)
    if [ -n "$size" ] && [ "$size" -ge "$(stat -c %s "$list")" ] && [ "$size" = "$last" ]; then
        stable=$((stable + 1))
        [ $stable -ge 10 ] && break
    else
        stable=0
    fi
    last=$size
    sleep 0.1
done
[ $stable -ge 10 ] || { echo "no recovery copy" >&2; exit 1; }
changed=$(hwm)

# 30 clicks on the catalogue's "Name" and "Preis" headers in turn. Their places are those of a first start's
# layout, scaled to the window's width; HEADER_Y gives the header row's height in the window.
width=$(xdotool getwindowgeometry --shell "$window" | awk -F= '/^WIDTH/ { print $2 }')
for click in $(seq 30); do
    if [ $((click % 2)) = 1 ]; then x=$((width * 195 / 696)); else x=$((width * 365 / 696)); fi
    xdotool mousemove --window "$window" "$x" "${HEADER_Y:-162}" click 1
    sleep 0.3
done
echo "program_loaded_kb $loaded program_changed_kb $changed program_sorted_kb $(settled_peak)"
