#!/usr/bin/env bash
# Random-input run of the real program: starts a private X server and kurvana2 on a bundled
# chart in a temporary copy of the program folder, sends random but valid user actions for
# SECONDS seconds (default 60), then checks that the program is alive and still answers.
#   tools/monkey.sh [SECONDS] [BUILD_DIR]     (BUILD_DIR defaults to build/; the program and its
#                                            sample charts must have been built there)
# The Exit command may end the program normally; it is then started again. A crash or a hang
# fails the run; the actions sent are kept in build-monkey-log/ to reproduce it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build=$(cd "${2:-$root/build}" && pwd)
program="$build/kurvana2"
chart="$build/examples/level_linear.bmp"
for need in "$program" "$chart"; do
    [ -e "$need" ] || { echo "monkey: $need is missing; build first (tools/setup.sh)" >&2; exit 1; }
done
for tool in Xvfb xdotool xprop import; do
    command -v "$tool" >/dev/null || { echo "monkey: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kurvana-monkey.XXXXXX)
logs="$root/build-monkey-log"
mkdir -p "$logs"
ACTION_LOG="$logs/actions.log"
: >"$ACTION_LOG"
XVFB_PID="" APP_PID=""

cleanup() {
    local status=$?
    if [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null; then wait "$APP_PID" 2>/dev/null || true; fi
    if [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; then wait "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# The program folder: the program with its modules, language file, help documents and Data/
# folders.
mkdir -p "$work/program" "$work/home"
cp "$program" "$work/program/"
for item in language.txt Data kurvana2_e.html kurvana2_r.html kurvana2-pdf.so kurvana2-ocr.so; do
    [ -e "$build/$item" ] && cp -r "$build/$item" "$work/program/"
done
mkdir -p "$work/program/Data/Grafiks"
cp "$chart" "$work/program/chart.bmp"

# A private X server on the first free display.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "monkey: the X server did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# The caller may have chosen the offscreen platform for the unit tests; this run needs X.
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

export APP_PID ACTION_LOG
# shellcheck source=../tests/monkey/actions.sh
source "$root/tests/monkey/actions.sh"

runs=0
start_program() {
    runs=$((runs + 1))
    # A crash leaves a core file in the program folder, for the backtrace below.
    (cd "$work/program" && ulimit -c unlimited 2>/dev/null; HOME="$work/home" \
        XDG_CONFIG_HOME="$work/home/config" exec ./kurvana2 chart.bmp >>"$logs/program.log" 2>&1) &
    APP_PID=$!
    echo "# run $runs, pid $APP_PID" >>"$ACTION_LOG"
    # A slow machine may take a few seconds for the first start (font caches).
    for _ in $(seq 300); do
        arrange_windows && return 0
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "monkey: the program did not show its main window; its output:" >&2
    tail -30 "$logs/program.log" >&2
    exit 1
}

# The program ended: the Exit command (status 0) starts it again; anything else is a crash.
check_ended() {
    kill -0 "$APP_PID" 2>/dev/null && return 0
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=""
    if [ "$status" -ne 0 ]; then
        echo "monkey: FAILED: the program ended with status $status after $actions actions" >&2
        echo "monkey: its output is in $logs/program.log, the actions in $ACTION_LOG" >&2
        tail -30 "$logs/program.log" >&2
        local core
        core=$(ls "$work"/program/core* 2>/dev/null | head -n1)
        if [ -n "$core" ] && command -v gdb >/dev/null; then
            gdb -batch -ex bt "$work/program/kurvana2" "$core" >"$logs/backtrace.txt" 2>&1 || true
            echo "monkey: backtrace of the crash ($logs/backtrace.txt):" >&2
            grep -E '^#' "$logs/backtrace.txt" | head -25 >&2
        fi
        exit 1
    fi
    start_program
}

# Still answering: a menu opened on the main window changes the screen, Escape closes it.
responsive() {
    local before="$work/before.ppm" after="$work/after.ppm"
    close_modal_windows
    main_geometry
    # Tool windows may lie over the menu bar; there is no window manager to raise on a click.
    xdotool windowraise "$MAIN_WINDOW" 2>/dev/null || true
    sleep 0.3
    import -window root "$before"
    xdotool mousemove $((WX + 20)) $((WY + 8)) click 1 2>/dev/null
    local i
    for i in $(seq 50); do
        sleep 0.1
        import -window root "$after"
        cmp -s "$before" "$after" || { xdotool key Escape 2>/dev/null; return 0; }
    done
    return 1
}

: >"$logs/program.log"
start_program
actions=0
deadline=$((SECONDS + seconds))
while ((SECONDS < deadline)); do
    main_geometry
    for _ in 1 2 3 4 5 6 7 8; do
        random_action
        actions=$((actions + 1))
    done
    flush
    answer_dialogs
    ((actions % 32 == 0)) && check_ended
done
check_ended
if ! responsive; then
    import -window root "$logs/failure.png" 2>/dev/null || true
    echo "monkey: FAILED: the program is alive but its main window no longer answers" >&2
    echo "monkey: the screen is in $logs/failure.png, the actions in $ACTION_LOG" >&2
    exit 1
fi
echo "monkey: $actions random actions in $seconds s over $runs start(s); the program is alive and answers"
