# shellcheck shell=bash disable=SC2046
# (Window geometries split into arguments on purpose, as in lib.sh.)
# What the end-to-end run knows of kurvana2 and its sample chart: where its windows go, where the
# chart is on the screen, its menus, and the commands used more than once. Sourced by run_e2e.sh.

# known KEY: the value of a record of the chart's known data (examples/README.md).
known() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print; exit }' "$KNOWN"; }

# Screen layout: the main window large enough for the whole chart, the tool windows beside it.
MAIN_W=1000
MAIN_H=820
TOOL_X=1010

# titles ENTRY DEFAULT: a pattern for a window's title in either language or as designed.
titles() { echo "^($2|$(lang_text "$1" ru)|$(lang_text "$1" en))"; }

# arrange_windows: the main window top left, every other window of the program beside it.
# MAIN, TABLE and INPUT hold the window ids.
arrange_windows() {
    wait_window '^(\* )?Kurvana II v' MAIN # '* ': work not saved
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

# locate_picture [PICTURE]: finds where the chart (or PICTURE, a bitmap of it) is shown;
# PIC_X PIC_Y is the screen position of its pixel (0, 0).
locate_picture() {
    local at size window
    pointer_away
    look 15 "the chart in the main window" at picture "${1:-$PROGRAM_DIR/examples/$CHART.bmp}" \
        $(geometry "$MAIN")
    read -r PIC_X PIC_Y <<<"$at"
    read -ra size <<<"$(known size)"
    read -ra window <<<"$(geometry "$MAIN")"
    ((PIC_X + size[0] <= window[2] && PIC_Y + size[1] <= window[3])) ||
        fail "the chart is not wholly visible in the main window"
}

# click_pixel X Y: clicks picture pixel (X, Y) of the chart.
click_pixel() { click_at $((PIC_X + $1)) $((PIC_Y + $2)); }

# place_reference_points: clicks the chart's known zero, X max and Y max points, each after its
# toolbar button; ZERO, XMAX and YMAX hold the three points afterwards.
place_reference_points() {
    read -ra ZERO <<<"$(known zero_point)"
    read -ra XMAX <<<"$(known x_max_point)"
    read -ra YMAX <<<"$(known y_max_point)"
    click_button_image 8 "$MAIN"
    click_pixel "${ZERO[@]}"
    click_button_image 9 "$MAIN"
    click_pixel "${XMAX[@]}"
    click_button_image 10 "$MAIN"
    click_pixel "${YMAX[@]}"
}

# pick_known_points CURVE COUNT: marks mode, then a click on COUNT known points of CURVE.
pick_known_points() {
    local x y
    click_button_image 11 "$MAIN"
    while read -r x y; do
        click_pixel "$x" "$y"
    done < <("$SCREEN_TOOL" pick "$KNOWN" "$1" "$2")
}

# open_menu ENTRY ITEM_ENTRY LANGUAGE: chooses a main menu item by its captions in LANGUAGE.
open_menu() {
    local before popup
    before=$(visible_windows)
    click_text "$(lang_text "$1" "$3")" "$MAIN"
    new_window_since "$before" popup
    click_text "$(lang_text "$2" "$3")" "$popup"
    wait_window_gone "$popup"
}

# copy_table FILE LANGUAGE: copies the table to the clipboard, answers the message shown in the
# interface LANGUAGE (en or ru), saves the clipboard text in FILE.
copy_table() {
    local before box
    before=$(visible_windows)
    click_button_image 2 "$MAIN"
    new_window_since "$before" box
    expect_text "$(lang_text 119 "$2")" "$box"
    shot "table-copied"
    wait_focus "$box"
    xdotool key Return
    wait_window_gone "$box"
    timeout 10 xclip -selection clipboard -o >"$1" || fail "could not read the clipboard"
}

# answer_exit ANSWER LANGUAGE: File > Exit in the interface LANGUAGE and ANSWER (&Yes or &No)
# to its question.
answer_exit() {
    local before box
    before=$(visible_windows)
    open_menu 1 12 "$2"
    new_window_since "$before" box
    expect_text "$(lang_text 131 "$2")" "$box"
    shot "exit-question-$2"
    click_text "$1" "$box"
    [ "$1" = "&Yes" ] || wait_window_gone "$box"
}
