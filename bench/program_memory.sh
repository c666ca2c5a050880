#!/usr/bin/env bash
# The real program's peak resident size (VmHWM) on a list: once its window is shown and settled, and once the first
# change has reached its recovery copy. Needs an X display ($DISPLAY) and xdotool.
#   bench/program_memory.sh KORBANA LIST   prints "program_loaded_kb N program_changed_kb M"
set -euo pipefail
program=$1 list=$2
state=$(mktemp -d /tmp/korbana-memory.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$state"' EXIT
hwm() { awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"; }

XDG_STATE_HOME=$state QT_QPA_PLATFORM=xcb "$program" "$list" >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1200); do
    window=$(xdotool search --onlyvisible --pid "$pid" --name '^TALVEN' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
# Loaded once the work after the first paint is done too (the price markers' index): the peak stays the same for
# two seconds.
loaded=$(hwm) same=0
for _ in $(seq 300); do
    sleep 0.2
    now=$(hwm)
    if [ "$now" = "$loaded" ]; then same=$((same + 1)); else same=0 loaded=$now; fi
    [ $same -ge 10 ] && break
done

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
echo "program_loaded_kb $loaded program_changed_kb $(hwm)"
