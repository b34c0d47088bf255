#!/usr/bin/env bash
# shellcheck disable=SC2046 # window geometries split into arguments on purpose
# End-to-end run of the real kurvana2 on a private X server (Xvfb), driven with xdotool as a user
# would: the typical road through a sample chart, reopening the saved data, the Russian
# interface, and a corrupt data file on the command line.
#
#   run_e2e.sh --program BUILD/kurvana2 --screen BUILD/tests/e2e/e2e_screen \
#              --examples BUILD/examples --shots BUILD/e2e-screenshots
#
# Every run works in a copy of the program folder, so the build's kurvana2.Ini and Data/ are
# never touched. Screenshots of the main steps go to the --shots folder; a failure names its
# step and keeps a screenshot FAILED-<step>.png there. KEEP_WORK=1 keeps the working folder;
# E2E_SECONDS (200) bounds the whole run.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
while [ $# -gt 0 ]; do
    case $1 in
    --program) PROGRAM=$2 ;;
    --screen) SCREEN_TOOL=$2 ;;
    --examples) EXAMPLES=$2 ;;
    --shots) SHOTS=$2 ;;
    *) echo "run_e2e.sh: unknown option $1" >&2 && exit 2 ;;
    esac
    shift 2
done
: "${PROGRAM:?--program missing}" "${SCREEN_TOOL:?--screen missing}"
: "${EXAMPLES:?--examples missing}" "${SHOTS:?--shots missing}"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kurvana2-e2e.XXXXXX")
PROGRAM_DIR="$WORK/program"
source "$here/lib.sh"
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

# The program reads the system's decimal separator: the point keeps the texts predictable.
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

CHART=level_linear
KNOWN="$PROGRAM_DIR/examples/$CHART.txt"
known() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print; exit }' "$KNOWN"; }

# Screen layout: the main window large enough for the whole chart, the tool windows beside it.
MAIN_W=1000
MAIN_H=820
TOOL_X=1010

# ---------------------------------------------------------------------------------------------

step "check the tools"
for tool in Xvfb xdotool xclip xdpyinfo import iconv; do
    command -v "$tool" >/dev/null || fail "$tool is missing (the README test command installs it)"
done
[ -x "$PROGRAM" ] || fail "no program at $PROGRAM"
[ -f "$EXAMPLES/$CHART.bmp" ] || fail "no sample chart at $EXAMPLES/$CHART.bmp"

step "prepare a program folder of its own"
mkdir -p "$PROGRAM_DIR/Data/Grafiks" "$PROGRAM_DIR/examples" "$SHOTS"
rm -f "$SHOTS"/*.png "$SHOTS"/*.log
cp "$PROGRAM" "$PROGRAM_DIR/"
program_source=$(dirname "$PROGRAM")
cp "$program_source/language.txt" "$PROGRAM_DIR/" || fail "no language.txt beside the program"
cp "$program_source"/kurvana2_?.* "$PROGRAM_DIR/" 2>/dev/null || log "no help files beside the program"
cp "$EXAMPLES/$CHART.bmp" "$EXAMPLES/$CHART.txt" "$PROGRAM_DIR/examples/"

start_x_server

# titles ENTRY DEFAULT: a pattern for a window's title in either language or as designed.
titles() { echo "^($2|$(lang_text "$1" ru)|$(lang_text "$1" en))"; }

# arrange_windows: the main window top left, every other window of the program beside it.
# MAIN, TABLE and INPUT hold the window ids.
arrange_windows() {
    wait_window '^Kurvana II v' MAIN
    wait_window "$(titles 60 'Table of Data')" TABLE
    wait_window "$(titles 57 'Input D')" INPUT
    place "$MAIN" 0 0 "$MAIN_W" "$MAIN_H"
    place "$TABLE" "$TOOL_X" 0
    place "$INPUT" "$TOOL_X" 420
    local id
    id=$(window_named "$(titles 56 Zoom)")
    [ -z "$id" ] || place "$id" 1330 420
    id=$(window_named '^About')
    [ -z "$id" ] || place "$id" "$TOOL_X" 900
}

# locate_picture: finds where the chart is shown; PIC_X PIC_Y is the screen position of its
# pixel (0, 0).
locate_picture() {
    local at
    pointer_away
    look 15 "the chart in the main window" at picture "$PROGRAM_DIR/examples/$CHART.bmp" \
        $(geometry "$MAIN")
    read -r PIC_X PIC_Y <<<"$at"
    read -r _ _ width height <<<"$(geometry "$MAIN")"
    ((PIC_X + $(known size | cut -d' ' -f1) <= width && PIC_Y + $(known size | cut -d' ' -f2) <= height)) ||
        fail "the chart is not wholly visible in the main window"
}

# click_pixel X Y: clicks picture pixel (X, Y) of the chart.
click_pixel() { click_at $((PIC_X + $1)) $((PIC_Y + $2)); }

# open_menu ENTRY ITEM_ENTRY LANGUAGE: chooses a main menu item by its caption in the language.
open_menu() {
    local before popup
    before=$(visible_windows)
    click_text "$(lang_text "$1" "$3")" "$MAIN"
    new_window_since "$before" popup
    click_text "$(lang_text "$2" "$3")" "$popup"
    wait_window_gone "$popup"
}

# copy_table FILE: copies the table to the clipboard, answers the message, saves the text.
copy_table() {
    local before box
    before=$(visible_windows)
    click_button_image 2 "$MAIN"
    new_window_since "$before" box
    expect_text "$(lang_text 119 "$LANGUAGE")" "$box"
    shot "table-copied"
    wait_focus "$box"
    xdotool key Return
    wait_window_gone "$box"
    timeout 10 xclip -selection clipboard -o >"$1" || fail "could not read the clipboard"
}

# answer_exit ANSWER(&Yes|&No): File > Exit and the answer to its question.
answer_exit() {
    local before box
    before=$(visible_windows)
    open_menu 1 12 "$LANGUAGE"
    new_window_since "$before" box
    expect_text "$(lang_text 131 "$LANGUAGE")" "$box"
    shot "exit-question-$LANGUAGE"
    click_text "$1" "$box"
    [ "$1" = "&Yes" ] || wait_window_gone "$box"
}

source "$here/steps.sh"
run_steps
log "all steps passed; screenshots in $SHOTS"
