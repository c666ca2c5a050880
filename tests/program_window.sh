# shellcheck shell=bash
# Driving the real program's windows under Xvfb with xdotool, for the tests that source it after
# virtual_display.sh. The sourcing script defines fail() and sets $work (scratch folder), and $pid, $log and $main
# as the functions below say. There is no window manager: windowfocus --sync, then key, reaches Qt.

# A visible window of the process $1 whose title matches $2, within $3 seconds (default 15). xdotool matches the
# title byte by byte without the locale: patterns stand for an umlaut with ".*".
window_of() {
    local deadline=$((SECONDS + ${3:-15})) w
    while [ $SECONDS -lt $deadline ]; do
        w=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

# The main window of $pid into $main.
find_main() {
    main=$(window_of "$pid" '^TALVEN' 30) || {
        grep -q "could not connect to display" "$log" && exit 75
        fail "no main window"
    }
    sleep 0.5
}

# Answers the box titled $2 of process $1 with the keys $3.
answer() {
    local box
    box=$(window_of "$1" "$2" "${4:-15}") || fail "no box '$2'"
    # A box just mapped may not take keys yet, nor keys sent in the same breath as the focus.
    sleep 0.5
    xdotool windowfocus --sync "$box"
    sleep 0.3
    xdotool key "$3"
    sleep 0.3
}

# Datei > CSV Import... of the file $2 in the window $1 (the sixth item below "&Neu..."): an edit made through the
# keyboard alone.
import_csv() {
    xdotool windowfocus --sync "$main"
    sleep 0.3
    xdotool key alt+d
    sleep 0.5
    xdotool key i
    local dialog=
    for _ in $(seq 100); do
        dialog=$(xdotool search --all --onlyvisible --pid "$1" --name . 2>/dev/null | grep -vx "$main" | head -1)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    [ -n "$dialog" ] || fail "no file dialog"
    # The dialog takes a moment to give its name field the focus.
    sleep 1
    xdotool windowfocus --sync "$dialog"
    sleep 0.3
    xdotool type --delay 20 "$2"
    sleep 0.3
    # The name field's completion list may take the first Return.
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$dialog"
        sleep 0.3
        xdotool key Return
        for _ in $(seq 30); do
            xdotool search --all --onlyvisible --pid "$1" --name . 2>/dev/null | grep -qx "$dialog" || return 0
            sleep 0.1
        done
    done
    fail "the file dialog did not take $2"
}

# Datei > Beenden in the window $main of process $1, answering the question with the keys $2.
quit_with() {
    xdotool windowfocus --sync "$main"
    sleep 0.3
    xdotool key alt+d
    sleep 0.5
    xdotool key b
    answer "$1" '^Datei: Beenden' "$2"
}

# Whether process $1 ends within 10 seconds.
ended() {
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

# A CSV file $work/$1.csv that adds the store $2: imported, it is an edit of the Store list.
csv() {
    printf 'Liste;Menge;Name;Laden;Preis\r\nLaden;;%s;;\r\n' "$2" >"$work/$1.csv"
    echo "$work/$1.csv"
}
