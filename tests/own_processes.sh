# shellcheck shell=bash
# Sourced first by every test script that starts the program: no session bus, and nothing left running.
#
# Without a session bus address libdbus (Qt's D-Bus, the accessibility bridge) "autolaunches" one: it forks
# dbus-launch, which leaves a daemon in a session of its own, and a fork from a threaded sanitizer build can
# deadlock and spin for ever. An address of an unknown kind is an error to libdbus, never a reason to
# autolaunch, so the program simply runs without a bus.
export DBUS_SESSION_BUS_ADDRESS=disabled:
unset DBUS_STARTER_ADDRESS DBUS_STARTER_BUS_TYPE

# The test runs in a session of its own, so that on exit, pass or fail, every process it started - the program,
# Xvfb, the helpers of either, also those moved into a process group of their own, as timeout does - can be found
# and ended. The first script of a test makes the session; the scripts it starts find it made.
own_session=$(ps -o sid= -p $$ | tr -d ' ')
if [ "${KORBANA_TEST_SESSION:-}" = new ]; then
    KORBANA_TEST_SESSION=$own_session
elif [ "${KORBANA_TEST_SESSION:-}" != "$own_session" ]; then
    # -w: a process group leader cannot make a session itself, so setsid forks; its exit status is the test's.
    KORBANA_TEST_SESSION=new exec setsid -w bash "$0" "$@"
fi
export KORBANA_TEST_SESSION

# The other processes of this session still running.
other_own_processes() {
    local pid all
    mapfile -t all < <(pgrep -s "$KORBANA_TEST_SESSION")
    for pid in "${all[@]}"; do
        # Not this shell, nor the subshell asking; a zombie is gone already.
        [ "$pid" != "$$" ] && [ "$pid" != "$BASHPID" ] || continue
        case $(ps -o stat= -p "$pid" 2>/dev/null) in '' | Z*) continue ;; esac
        echo "$pid"
    done
}

# Ends every other process of this session: TERM, and KILL for what is still there a few seconds later. For the
# test's EXIT trap. Only the script that made the session does so: a script it started (the same test again on
# a virtual display) leaves the ending to it, as its callers are in the session too.
end_own_processes() {
    local signal others _
    [ "$$" = "$KORBANA_TEST_SESSION" ] || return 0
    for signal in TERM TERM KILL; do
        mapfile -t others < <(other_own_processes)
        [ ${#others[@]} -eq 0 ] && return 0
        kill -"$signal" "${others[@]}" 2>/dev/null || true
        for _ in $(seq 20); do
            [ -z "$(other_own_processes)" ] && return 0
            sleep 0.1
        done
    done
}
trap end_own_processes EXIT
