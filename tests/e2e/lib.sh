# shellcheck shell=bash disable=SC2046,SC2086
# (Positions and window geometries are "x y [width height]" texts that split into arguments on
# purpose.)
# Shared helpers of the end-to-end run: steps and failures, the private X server, starting and
# stopping the program, waiting for windows, screenshots, and finding things on the screen.
# Sourced by run_e2e.sh, which sets PROGRAM_DIR, SCREEN_TOOL, SHOTS and WORK first.

STEP_NUMBER=0
STEP_NAME="setting up"
STARTED_PIDS=()
APP_PID=""
APP_EXPECTED="" # set while the program should be running
RUN_NUMBER=0

log() { printf '[e2e] %s\n' "$*"; }

# step NAME: announces the next step; failures name it.
step() {
    STEP_NUMBER=$((STEP_NUMBER + 1))
    STEP_NAME=$1
    log "step $STEP_NUMBER: $STEP_NAME"
}

step_slug() {
    printf '%02d-%s' "$STEP_NUMBER" "$(tr -c '[:alnum:]\n' '-' <<<"$STEP_NAME" | tr '[:upper:]' '[:lower:]')"
}

# shot NAME: keeps a screenshot of the whole screen under the screenshots folder.
shot() {
    [ -n "${DISPLAY:-}" ] || return 0
    import -window root "$SHOTS/$(printf '%02d' "$STEP_NUMBER")-$1.png" 2>/dev/null || true
}

# fail MESSAGE: reports the failing step, keeps its screenshot and the program's output, stops.
fail() {
    log "FAILED in step $STEP_NUMBER ($STEP_NAME): $*"
    if [ -n "${DISPLAY:-}" ] && import -window root "$SHOTS/FAILED-$(step_slug).png" 2>/dev/null; then
        log "screenshot of the failure: $SHOTS/FAILED-$(step_slug).png"
    fi
    local output
    for output in "$WORK"/kurvana2-run*.log; do
        [ -s "$output" ] || continue
        cp "$output" "$SHOTS/" 2>/dev/null
        log "output of the program ($(basename "$output")):"
        sed 's/^/    /' "$output" | tail -20
    done
    exit 1
}

now_ms() { date +%s%3N; }

# The whole run must end well inside the test's own time limit, so that a stuck step still
# reports itself and cleans up: every wait checks this deadline.
RUN_DEADLINE=$(($(now_ms) + ${E2E_SECONDS:-320} * 1000))

# still_in_time LIMIT_MS WHAT: fails once LIMIT_MS or the run's deadline has passed.
still_in_time() {
    local now
    now=$(now_ms)
    ((now < RUN_DEADLINE)) || fail "the run took longer than ${E2E_SECONDS:-320} s"
    [ -z "$APP_EXPECTED" ] || program_running || fail "kurvana2 ended unexpectedly"
    ((now < $1)) || fail "$2"
}

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local limit=$(($(now_ms) + $1 * 1000)) what=$2
    shift 2
    until "$@"; do
        still_in_time "$limit" "waited in vain for $what"
        sleep 0.1
    done
}

# --- the private X server -------------------------------------------------------------------

start_x_server() {
    local number_file="$WORK/display-number"
    : >"$number_file"
    # -displayfd lets the server take the first free display number and tell it.
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset \
        3>"$number_file" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    STARTED_PIDS+=("$XVFB_PID")
    wait_until 20 "the X server to start" test -s "$number_file"
    DISPLAY=":$(head -n1 "$number_file")"
    export DISPLAY
    wait_until 20 "the X server to answer" x_server_answers
    log "X server $DISPLAY (pid $XVFB_PID)"
}

x_server_answers() { xdpyinfo >/dev/null 2>&1; }

# stop_pid PID: ends one process this run started, gently first.
stop_pid() {
    local pid=$1
    kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null
    for _ in $(seq 30); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
}

cleanup() {
    local pid
    for pid in "${STARTED_PIDS[@]}"; do
        stop_pid "$pid"
    done
    wait 2>/dev/null
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
}

# --- the program ----------------------------------------------------------------------------

# start_program [ARGUMENT]: starts kurvana2 in its program folder copy; a relative ARGUMENT is
# taken from that folder, as when a user starts it there.
start_program() {
    RUN_NUMBER=$((RUN_NUMBER + 1))
    (cd "$PROGRAM_DIR" && exec ./kurvana2 "$@") >"$WORK/kurvana2-run$RUN_NUMBER.log" 2>&1 &
    APP_PID=$!
    APP_EXPECTED=1
    STARTED_PIDS+=("$APP_PID")
    log "kurvana2 $* (pid $APP_PID)"
}

program_running() { kill -0 "$APP_PID" 2>/dev/null; }

program_ended() { ! program_running; }

# expect_program_end: waits for the program to end by itself and checks it ended well.
expect_program_end() {
    APP_EXPECTED=""
    wait_until 15 "the program to end" program_ended
    local status=0
    wait "$APP_PID" || status=$?
    [ "$status" -eq 0 ] || fail "kurvana2 ended with status $status"
}

# lang_text ENTRY ru|en: the text of a language file entry, as the program shows it.
lang_text() {
    local line=$((2 * $1 - 1))
    [ "$2" = en ] && line=$((line + 1))
    iconv -f CP1251 -t UTF-8 "${LANGUAGE_FILE:-$PROGRAM_DIR/language.txt}" | sed -n "${line}p" | tr -d '\r'
}

# --- windows --------------------------------------------------------------------------------

visible_windows() { xdotool search --onlyvisible --classname '.*' 2>/dev/null | sort; }

# window_named REGEX: the first visible window whose title matches.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# wait_window REGEX VAR: waits for a visible window with a matching title; its id goes to VAR.
wait_window() {
    wait_until 15 "a window titled '$1'" window_present "$1"
    printf -v "$2" '%s' "$(window_named "$1")"
}
window_present() { [ -n "$(window_named "$1")" ]; }

# new_window_since LIST VAR: waits for a visible window not in LIST; its id goes to VAR.
new_window_since() {
    local before=$1
    wait_until 15 "a new window" new_window_present "$before"
    printf -v "$2" '%s' "$(comm -13 <(echo "$before") <(visible_windows) | tail -n1)"
}
new_window_present() { [ -n "$(comm -13 <(echo "$1") <(visible_windows))" ]; }

window_visible() { visible_windows | grep -qx "$1"; }
window_hidden() { ! window_visible "$1"; }

wait_window_gone() { wait_until 15 "window $1 to close" window_hidden "$1"; }

# wait_focus ID: keys go to the window only once it holds the keyboard focus.
wait_focus() { wait_until 10 "window $1 to take the keyboard focus" has_focus "$1"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# geometry ID: prints "x y width height" of a window.
geometry() {
    # shellcheck disable=SC2034 # every variable the eval sets stays local
    local X=0 Y=0 WIDTH=0 HEIGHT=0 SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    echo "$X $Y $WIDTH $HEIGHT"
}

# place ID X Y [WIDTH HEIGHT]: moves (and sizes) a window and waits until it is there.
place() {
    local id=$1 x=$2 y=$3
    xdotool windowmove "$id" "$x" "$y"
    [ $# -lt 5 ] || xdotool windowsize "$id" "$4" "$5"
    wait_until 10 "window $id to move" placed "$id" "$x" "$y" "${4:-}" "${5:-}"
}
placed() {
    local g
    read -ra g <<<"$(geometry "$1")"
    [ "${g[0]}" = "$2" ] && [ "${g[1]}" = "$3" ] && { [ -z "$4" ] || [ "${g[2]}" = "$4" ]; } &&
        { [ -z "$5" ] || [ "${g[3]}" = "$5" ]; }
}

# --- the screen -----------------------------------------------------------------------------

# move_pointer X Y: moves the pointer and waits until it is there (--sync alone would wait for
# a move that never comes when the pointer is there already).
move_pointer() {
    # shellcheck disable=SC2034 # every variable the eval sets stays local
    local x y screen window
    eval "$(xdotool getmouselocation --shell | tr '[:upper:]' '[:lower:]')"
    [ "$x" = "$1" ] && [ "$y" = "$2" ] && return 0
    xdotool mousemove --sync "$1" "$2"
}

# Keeps the pointer out of every window, so that no hover highlight changes what is searched.
pointer_away() { move_pointer 1599 1199; }

# look SECONDS WHAT VAR COMMAND ARGS...: looks at the screen until `e2e_screen COMMAND - ARGS`
# finds something; the first "x y" it prints goes to VAR.
look() {
    local seconds=$1 what=$2 var=$3 command=$4
    shift 4
    local limit=$(($(now_ms) + seconds * 1000)) found
    while :; do
        found=$("$SCREEN_TOOL" "$command" - "$@" 2>/dev/null | head -n1)
        [ -n "$found" ] && break
        still_in_time "$limit" "did not see $what on the screen"
        sleep 0.2
    done
    printf -v "$var" '%s' "$found"
}

# click X Y [BUTTON]
click_at() {
    move_pointer "$1" "$2"
    xdotool click "${3:-1}"
}

# click_text TEXT ID: clicks the caption TEXT inside window ID.
click_text() {
    local at
    look 10 "'$1'" at text "$1" $(geometry "$2")
    click_at $at
}

# click_button_image INDEX WINDOW: clicks the toolbar button that shows image INDEX.
click_button_image() {
    local at
    pointer_away
    look 10 "toolbar image $1" at icon "$1" $(geometry "$2")
    click_at $at
    pointer_away # before a tooltip opens and passes for the window the button opens
}

# expect_text TEXT ID: the caption or message TEXT must be shown in window ID.
expect_text() {
    local at
    look 10 "'$1' in window $2" at text "$1" $(geometry "$2")
}
