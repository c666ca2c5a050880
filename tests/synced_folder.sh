#!/bin/bash
# Two computers sharing a list through a real Syncthing (two instances on 127.0.0.1, no discovery, relays or usage
# reports), each with a korbana window under Xvfb: both add an entry and save within a second; the engine keeps one
# version and leaves the other as a conflict copy. Answered as a user would ("Zusammenführen"
# to the conflict copy and at the save), every entry of both ends up in the list on both computers.
# Usage: synced_folder.sh <korbana binary>
set -u
command -v syncthing >/dev/null || {
    echo "SKIP: needs syncthing (the Debian package; tools/dev test installs it)"
    exit 77
}
command -v curl >/dev/null || { echo "SKIP: needs curl to ask syncthing"; exit 77; }
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/program_window.sh"
program=$1
work=$(mktemp -d)
trap 'end_own_processes; rm -rf "$work"' EXIT
export LANG=de_DE.UTF-8 QT_QPA_PLATFORM=xcb STNODEFAULTFOLDER=1 STNOUPGRADE=1
key=korbana-test-$RANDOM$RANDOM
folder_of() { echo "$work/$1/Sync"; }
list_of() { echo "$work/$1/Sync/korbana.kbl"; }

fail() {
    echo "FAIL: $*"
    for c in a b; do
        echo "--- computer $c:"
        ls -la "$(folder_of $c)"
        od -c "$(list_of $c)" | head -20
        grep -v ' INFO: \(Running database\|Compacting\)' "$work/$c/syncthing.log"
        cat "$work/$c/korbana.log" 2>/dev/null
    done
    exit 1
}

# A port on 127.0.0.1 that nothing listens on and that was not handed out before.
used_ports=" "
free_port() {
    local port
    while :; do
        # Below the range the kernel hands out for outgoing connections.
        port=$((20000 + RANDOM % 12000))
        [[ $used_ports == *" $port "* ]] && continue
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
        used_ports+="$port "
        echo "$port"
        return
    done
}

for c in a b; do
    mkdir -p "$(folder_of $c)/.stfolder" "$work/$c/runtime"
    chmod 700 "$work/$c/runtime"
    eval "gui_$c=$(free_port) port_$c=$(free_port)"
    syncthing generate --home="$work/$c/syncthing" --no-default-folder --skip-port-probing \
        >"$work/$c/generate.log" 2>&1 || fail "syncthing generate failed: $(cat "$work/$c/generate.log")"
    eval "id_$c=$(sed -n 's/.*Device ID: *//p' "$work/$c/generate.log")"
done
# One shared folder, rescanned often and watched, a failed pull tried again soon; each knows the other at its fixed
# address.
configure() { # computer, other computer
    local self=id_$1 peer=id_$2 gui=gui_$1 port=port_$1 peer_port=port_$2
    cat >"$work/$1/syncthing/config.xml" <<EOF
<configuration version="36">
    <folder id="korbana" label="korbana" path="$(folder_of "$1")" type="sendreceive" rescanIntervalS="5"
        fsWatcherEnabled="true" fsWatcherDelayS="1">
        <pullerPauseS>2</pullerPauseS>
        <!-- The engine's own default; a folder written here would otherwise keep no conflict copies. -->
        <maxConflicts>10</maxConflicts>
        <device id="${!self}"></device>
        <device id="${!peer}"></device>
    </folder>
    <device id="${!self}" name="$1"><address>dynamic</address></device>
    <device id="${!peer}" name="$2"><address>tcp://127.0.0.1:${!peer_port}</address></device>
    <gui enabled="true" tls="false"><address>127.0.0.1:${!gui}</address><apikey>$key</apikey></gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${!port}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <startBrowser>false</startBrowser>
        <reconnectionIntervalS>2</reconnectionIntervalS>
    </options>
</configuration>
EOF
    HOME=$work/$1 syncthing serve --home="$work/$1/syncthing" --no-browser --no-restart --no-upgrade \
        >"$work/$1/syncthing.log" 2>&1 &
    eval "syncthing_$1=$!"
}
configure a b
configure b a

# GET (or with $3, POST) of the REST path $2 of computer $1, as one line without blanks.
rest() {
    local gui=gui_$1
    curl -sf --max-time 60 ${3:+-X POST} -H "X-API-Key: $key" "http://127.0.0.1:${!gui}$2" | tr -d ' \n'
}
# Whether computer $1 needs nothing and sees computer $2 up to date.
in_sync() {
    local peer=id_$2 status
    status=$(rest "$1" /rest/db/status?folder=korbana) || return 1
    [[ $status == *'"needTotalItems":0,'* && $status == *'"state":"idle"'* ]] || return 1
    rest "$1" "/rest/db/completion?folder=korbana&device=${!peer}" | grep -q '"completion":100[,}]'
}
# Waits until both computers are in sync and the command $2... holds; fails with the message $1.
settle() {
    local message=$1 deadline=$((SECONDS + 240))
    shift
    # What korbana wrote is known to the engines before they are asked.
    rest a /rest/db/scan?folder=korbana post >/dev/null
    rest b /rest/db/scan?folder=korbana post >/dev/null
    until in_sync a b && in_sync b a && "$@"; do
        [ $SECONDS -lt $deadline ] || fail "$message"
        sleep 0.5
    done
}
for c in a b; do
    deadline=$((SECONDS + 120))
    until rest $c /rest/system/ping | grep -q pong; do
        pid=syncthing_$c
        kill -0 "${!pid}" 2>/dev/null || fail "syncthing of computer $c ended"
        [ $SECONDS -lt $deadline ] || fail "syncthing of computer $c does not answer"
        sleep 0.5
    done
done
printf '1\r\nMarkt\r\n0\r\n0\r\n' >"$(list_of a)"
settle "the list did not reach computer b" cmp -s "$(list_of a)" "$(list_of b)"

# A korbana window on computer $1, with a home of its own, on its synced list: its pid in pid_$1, window in main_$1.
open_window() {
    HOME=$work/$1 XDG_CONFIG_HOME=$work/$1/config XDG_DATA_HOME=$work/$1/data XDG_STATE_HOME=$work/$1/state \
        XDG_RUNTIME_DIR=$work/$1/runtime "$program" "$(list_of "$1")" >"$work/$1/korbana.log" 2>&1 &
    pid=$!
    log=$work/$1/korbana.log
    find_main
    eval "pid_$1=$pid main_$1=$main"
}
open_window a
open_window b
main=$main_a; import_csv "$pid_a" "$(csv a 'Von A')"
main=$main_b; import_csv "$pid_b" "$(csv b 'Von B')"
# Both save before either engine has passed a save on: the computers are apart while they save (a rescan or a
# fast engine would otherwise carry the first save over before the second one).
rest a /rest/system/pause post >/dev/null && rest b /rest/system/pause post >/dev/null || fail "cannot pause syncthing"
saved() { grep -q "Von ${1^^}" "$(list_of "$1")"; }
# Keys sent before a window was ready are sent again (a second Ctrl+S finds nothing to save).
for _ in 1 2 3; do
    for c in a b; do
        saved $c && continue
        main=main_$c
        xdotool windowfocus --sync "${!main}"
        sleep 0.3
        xdotool key ctrl+s
    done
    deadline=$((SECONDS + 20))
    until saved a && saved b || [ $SECONDS -ge $deadline ]; do sleep 0.2; done
done
saved a && saved b || fail "the windows did not save"
rest a /rest/system/resume post >/dev/null && rest b /rest/system/resume post >/dev/null || fail "cannot resume syncthing"

# The engine keeps one version on both computers and the other beside it as a conflict copy.
copies() { compgen -G "$(folder_of "$1")/korbana.sync-conflict-*.kbl"; }
# The lists and conflict copies of both computers in one line each, into the test's output.
show() {
    local c f p w
    echo "$SECONDS s, $*:"
    for c in a b; do
        echo -n "  $c:"
        for f in "$(list_of $c)" $(copies $c); do echo -n " $(basename "$f")=$(tr -d '\r' <"$f" | tr '\n' '|')"; done
        echo
        p=pid_$c
        for w in $(xdotool search --all --onlyvisible --pid "${!p}" --name . 2>/dev/null); do
            echo "    window: $(xdotool getwindowname "$w")"
        done
    done
}
both_kept() { cmp -s "$(list_of a)" "$(list_of b)" && copies a >/dev/null && copies b >/dev/null; }
show "both saved"
settle "no conflict copy on both computers" both_kept
if grep -q 'Von A' "$(list_of a)"; then winner=a loser=b; else winner=b loser=a; fi
show "the engine kept computer $winner's version; computer $loser's is the conflict copy"

# Each window offers the conflict copy; the loser's window, which holds no change of its own, has first loaded
# the winner's version by itself (no box).
pid=pid_$winner
answer "${!pid}" '^Konfliktkopie$' Return 60
pid=pid_$loser main=main_$loser
answer "${!pid}" '^Konfliktkopie$' Return 60
show "both merged the conflict copy"
pid=${!pid} main=${!main}
quit_with "$pid" alt+j
ended "$pid" || fail "computer $loser's window did not end after saving"
has_all() { grep -q Markt "$1" && grep -q 'Von A' "$1" && grep -q 'Von B' "$1"; }
has_all "$(list_of $loser)" || fail "computer $loser saved a merge that lost an entry"
compgen -G "$work/$loser/state/korbana/recovery/conflict-copies/korbana.sync-conflict-*.kbl" >/dev/null \
    || fail "computer $loser did not keep the merged conflict copy"

# The merged list reaches the winner, the conflict copy is gone from both folders (kept in korbana's state folder).
merged_everywhere() { cmp -s "$(list_of a)" "$(list_of b)" && ! copies a >/dev/null && ! copies b >/dev/null; }
settle "the merged list did not reach computer $winner" merged_everywhere
show "computer $loser saved"
pid=pid_$winner main=main_$winner
pid=${!pid} main=${!main}
# The winner's window has merged the copy, and its save finds the file changed meanwhile: "Zusammenführen".
quit_with "$pid" alt+j
answer "$pid" '^Datei ge.*ndert$' Return 60
quit_with "$pid" alt+j
ended "$pid" || fail "computer $winner's window did not end after saving"
settle "the computers did not agree at the end" cmp -s "$(list_of a)" "$(list_of b)"
has_all "$(list_of a)" || fail "the list lost an entry"
echo "PASS: both entries are in the list on both computers"
