# Random user actions for the random-input run, sent with xdotool to the program's windows.
# Sourced by tools/monkey.sh, which sets DISPLAY, APP_PID and ACTION_LOG. Every action is
# valid input a user could give: clicks with any buttons and modifiers, toolbar buttons, menu
# items, typing into whatever has the focus, answering dialogs.

MAIN_WINDOW=""
KNOWN_WINDOWS=" "

# Writes the action to the log (the log is what reproduces a failure) and runs it.
act() {
    printf '%s\n' "$*" >>"$ACTION_LOG"
    xdotool "$@" 2>/dev/null || true
}

# The random actions are queued and sent by one xdotool run per batch: starting xdotool costs
# more than the actions themselves.
BATCH=()
queue() {
    printf '%s\n' "$*" >>"$ACTION_LOG"
    BATCH+=("$@" sleep 0.01)
}
flush() {
    ((${#BATCH[@]})) || return 0
    xdotool "${BATCH[@]}" 2>/dev/null || true
    BATCH=()
}

pick() { # pick WORD...: one of the words at random
    local words=("$@")
    printf '%s' "${words[RANDOM % ${#words[@]}]}"
}

visible_windows() {
    # By class: message boxes may have no title.
    xdotool search --onlyvisible --pid "$APP_PID" --class . 2>/dev/null
}

# Finds the windows shown at start-up and lays them side by side (there is no window manager
# to do it), so that clicks reach each of them. Closes the About box.
arrange_windows() {
    local w name
    for w in $(visible_windows); do
        name=$(xdotool getwindowname "$w" 2>/dev/null)
        case "$name" in
        "Kurvana II"*) MAIN_WINDOW=$w; act windowmove "$w" 0 0 windowsize "$w" 900 700 ;;
        "Table of Data"*) act windowmove "$w" 910 0 windowsize "$w" 360 400 ;;
        "Input Data"*) act windowmove "$w" 910 420 ;;
        "Zoom"*) act windowmove "$w" 910 620 ;;
        "About"*) act windowfocus "$w" key Escape; continue ;;
        esac
        KNOWN_WINDOWS+="$w "
    done
    [ -n "$MAIN_WINDOW" ]
}

# Main window geometry: WX WY WW WH.
main_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$MAIN_WINDOW" 2>/dev/null)"
    WX=${X:-0} WY=${Y:-0} WW=${WIDTH:-900} WH=${HEIGHT:-700}
}

# Windows that were not there at start-up: message boxes, file dialogs, input boxes, the
# search windows. Half of the time they are answered by a random key or click, otherwise
# closed with Escape, so that no modal dialog stalls the run.
answer_dialogs() {
    local w
    # Newest first: a message box shown over a tool window is answered before the window.
    for w in $(visible_windows | sort -rn); do
        [[ $KNOWN_WINDOWS == *" $w "* ]] && continue
        if ((RANDOM % 2)); then
            act windowfocus "$w" key Escape
        else
            eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
            case $((RANDOM % 3)) in
            0) act windowfocus "$w" key "$(pick Return Tab space Escape)" ;;
            1) act mousemove $((X + RANDOM % (WIDTH > 0 ? WIDTH : 1))) \
                   $((Y + RANDOM % (HEIGHT > 0 ? HEIGHT : 1))) click 1 ;;
            2) act windowfocus "$w" type -- "$(pick 0 5 12 -3 1.5 2,5 abc 1e3 '')" ;;
            esac
        fi
    done
}

with_modifiers() { # with_modifiers COMMAND...: holds random modifiers around a command
    local mods
    mods=$(pick "" "" "" shift ctrl alt shift+ctrl)
    if [ -n "$mods" ]; then
        queue keydown "$mods" "$@" keyup "$mods"
    else
        queue "$@"
    fi
}

click_picture() {
    local x=$((WX + 5 + RANDOM % (WW - 40))) y=$((WY + 60 + RANDOM % (WH - 130)))
    with_modifiers mousemove "$x" "$y" click --delay 1 "$(pick 1 1 1 1 3 3 2)"
}

drag_picture() {
    local x=$((WX + 5 + RANDOM % (WW - 40))) y=$((WY + 60 + RANDOM % (WH - 130)))
    queue mousemove "$x" "$y" mousedown 1 mousemove_relative -- $((RANDOM % 60 - 30)) \
        $((RANDOM % 60 - 30)) mousemove_relative -- $((RANDOM % 60 - 30)) \
        $((RANDOM % 60 - 30)) mouseup 1
}

click_toolbar() {
    queue mousemove $((WX + 5 + RANDOM % 640)) $((WY + 36)) click --delay 1 1
}

use_menu() {
    queue mousemove $((WX + 5 + RANDOM % 320)) $((WY + 8)) click --delay 1 1
    if ((RANDOM % 4)); then
        queue mousemove_relative -- $((RANDOM % 40)) $((20 + RANDOM % 300)) click --delay 1 1
    else
        queue key "$(pick Down Down Right Left Return Escape)"
    fi
}

click_anywhere() {
    with_modifiers mousemove $((RANDOM % 1280)) $((RANDOM % 1024)) click --delay 1 "$(pick 1 1 3)"
}

type_text() {
    # Everything after "type --" is typed, so typing ends a batch and goes alone.
    flush
    act type --delay 1 -- "$(pick 0 1 10 100 -5 0.5 2,5 1e3 1E-2 x - , . 999999999999 '')"
    queue key "$(pick Return Return Tab BackSpace Delete Escape)"
}

press_keys() {
    queue key "$(pick Left Right Up Down Return Escape Tab space plus minus Home End)"
}

# One random action, queued; main_geometry has been read for the batch.
random_action() {
    case $((RANDOM % 20)) in
    0 | 1 | 2 | 3 | 4 | 5) click_picture ;;
    6 | 7 | 8 | 9) click_toolbar ;;
    10 | 11 | 12) use_menu ;;
    13) drag_picture ;;
    14 | 15) type_text ;;
    16 | 17) press_keys ;;
    18 | 19) click_anywhere ;;
    esac
}

# Closes every modal window (message boxes, file dialogs, input boxes) with Escape, newest
# first, until none is left; tool windows stay as they are.
close_modal_windows() {
    local w pass
    for pass in 1 2 3 4 5 6 7 8 9 10; do
        local closed=0
        for w in $(visible_windows | sort -rn); do
            xprop -id "$w" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MODAL || continue
            act windowfocus "$w" key Escape
            closed=1
            sleep 0.2
        done
        ((closed)) || return 0
    done
    return 0
}
