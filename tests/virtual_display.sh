# shellcheck shell=bash
# Sourced first by the tests that drive the real program under Xvfb. Without xvfb-run and xdotool the test is
# skipped (77); outside a virtual display the test runs itself again inside a new one; inside, this waits until the
# display takes clients.
source "$(dirname "${BASH_SOURCE[0]}")/own_processes.sh"
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: needs xvfb-run and xdotool"; exit 77; }
if [ -z "${KORBANA_IN_XVFB:-}" ]; then
    # -noreset: an X server that resets when its last client leaves refuses the clients that connect meanwhile.
    # A display that cannot be reached all the same (75) is tried once more on a new one.
    for _ in 1 2; do
        KORBANA_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
        rc=$?
        [ $rc -ne 75 ] && exit $rc
    done
    exit 1
fi
# Under load the new display may take a moment to accept clients.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "display $DISPLAY not reachable"; exit 75; }
