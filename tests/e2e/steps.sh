# shellcheck shell=bash disable=SC2046,SC2086
# (Positions and window geometries split into arguments on purpose, as in lib.sh.)
# The road of the end-to-end run, step by step. Sourced by run_e2e.sh after its helpers.

# answer_input_box ID TITLE_ENTRY NAME: checks the box's title and types NAME over the proposal;
# Enter is left to the caller, who watches for what comes next.
answer_input_box() {
    [[ $(xdotool getwindowname "$1") == "$(lang_text "$2" en)"* ]] ||
        fail "the input box is not titled '$(lang_text "$2" en)'"
    wait_focus "$1"
    xdotool key ctrl+a
    xdotool type "$3"
}

# answer_save_boxes BEFORE COPY DATA: Save Data's two input boxes (opened since the window list
# BEFORE) take the picture copy name COPY and the data file name DATA; the saved message is
# answered. WINDOW is left holding the message box.
answer_save_boxes() {
    local before=$1
    new_window_since "$before" window
    answer_input_box "$window" 127 "$2"
    before=$(visible_windows)
    xdotool key Return
    new_window_since "$before" window
    answer_input_box "$window" 129 "$3"
    before=$(visible_windows)
    xdotool key Return
    new_window_since "$before" window
    expect_text "$(lang_text 130 en)" "$window"
    shot "data-saved"
    wait_focus "$window"
    xdotool key Return
}

# expect_readout X Y KEY_X KEY_Y: with the mouse on picture pixel (X, Y) the status bar shows
# the known values KEY_X and KEY_Y with two decimals.
expect_readout() {
    move_pointer $((PIC_X + $1)) $((PIC_Y + $2))
    expect_text "$(printf '(%.2f, %.2f)' "$(known "$3")" "$(known "$4")")" "$MAIN"
}

# Run 1: a fresh program folder, English, the whole road of a typical use.
first_run() {
    local before window at

    step "start with the sample chart on the command line"
    start_program "examples/$CHART.bmp"
    arrange_windows
    locate_picture
    log "the chart's pixel (0, 0) is at ($PIC_X, $PIC_Y) on the screen"
    expect_text "$CHART.bmp" "$MAIN" # the status bar names the picture
    shot "started"

    step "place the zero, X max and Y max points"
    place_reference_points
    shot "reference-points"

    step "type the axis values into the Input window"
    # EditMaxX shows its start-up text 100; Enter moves on to EditMinX, EditMaxY, EditMinY.
    click_text 100 "$INPUT"
    wait_focus "$INPUT"
    xdotool key ctrl+a
    for key in input_max_x input_min_x input_max_y input_min_y; do
        xdotool type "$(known $key)"
        xdotool key Return
    done
    # The status bar reads the axis values under the mouse: each reference point must show the
    # values typed for it.
    expect_readout "${ZERO[@]}" input_min_x input_min_y
    expect_readout "${XMAX[@]}" input_max_x input_min_y
    expect_readout "${YMAX[@]}" input_min_x input_max_y
    shot "axis-values"

    step "pick five points on line 1 with snapping"
    pick_known_points 1 5
    shot "line-1-picked"

    step "choose line 2"
    before=$(visible_windows)
    click_button_image 12 "$MAIN"
    new_window_since "$before" window
    click_text 2 "$window"
    wait_window_gone "$window"
    look 10 "the line button showing line 2" at icon 13 $(geometry "$MAIN")

    step "take the colour of curve 2 with the pipette"
    before=$(visible_windows)
    click_button_image 25 "$MAIN"
    new_window_since "$before" window
    place "$window" "$TOOL_X" 600
    read -r x y < <("$SCREEN_TOOL" pick "$KNOWN" 2 1)
    click_pixel "$x" "$y"
    # The line swatch shows black until it takes the sample.
    pointer_away
    look 10 "the black line swatch" at block '#000000' 45 20 $(geometry "$window")
    click_at $at
    pointer_away
    local colour
    colour=$(awk '$1 == "curve" && $2 == 2 { print $3 }' "$KNOWN")
    look 10 "the line swatch in the colour of curve 2 ($colour)" at block "$colour" 45 20 \
        $(geometry "$window")
    shot "colour-taken"
    click_text Ok "$window"
    wait_window_gone "$window"

    step "search line 2 by its colour"
    before=$(visible_windows)
    click_button_image 26 "$MAIN"
    new_window_since "$before" window
    click_text "$(lang_text 107 en)" "$window" # the kind "by colour"
    click_text "$(lang_text 110 en)" "$window" # run
    wait_window_gone "$window"
    pointer_away
    shot "line-2-found"

    step "copy the table and compare it with the chart's known data"
    copy_table "$WORK/table-run1.txt" en
    "$SCREEN_TOOL" check "$KNOWN" "$WORK/table-run1.txt" --picked 1 5 --search 2 15 20 |
        sed 's/^/    /'
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the table differs from the chart's known data"

    step "save the data through the two input boxes"
    before=$(visible_windows)
    open_menu 1 11 en
    answer_save_boxes "$before" e2e_chart e2e_data
    wait_window_gone "$window"
    [ -s "$PROGRAM_DIR/Data/Grafiks/e2e_chart.bmp" ] || fail "no picture copy Data/Grafiks/e2e_chart.bmp"
    [ "$(head -n1 "$PROGRAM_DIR/Data/e2e_data.gra" | tr -d '\r')" = e2e_chart.bmp ] ||
        fail "Data/e2e_data.gra does not name its picture copy"

    step "File > Exit answered No keeps the program"
    answer_exit "&No" en
    if ! program_running || ! window_visible "$MAIN"; then
        fail "the program ended although the answer was No"
    fi

    step "File > Exit answered Yes ends the program"
    answer_exit "&Yes" en
    expect_program_end
}

# Run 2: the saved data on the command line, then the Russian interface.
second_run() {
    local before window

    step "start again with the saved data file"
    start_program Data/e2e_data.gra
    arrange_windows
    locate_picture
    shot "reopened"

    step "the table is the one that was saved"
    copy_table "$WORK/table-run2.txt" en
    cmp -s "$WORK/table-run1.txt" "$WORK/table-run2.txt" ||
        fail "the table after reopening differs: $(diff <(tr -d '\r' <"$WORK/table-run1.txt") \
            <(tr -d '\r' <"$WORK/table-run2.txt") | head -5)"

    step "switch to Russian in Setup"
    before=$(visible_windows)
    click_button_image 6 "$MAIN"
    new_window_since "$before" window
    place "$window" "$TOOL_X" 300 # off the main window's menu bar
    click_text "$(lang_text 86 en)" "$window"
    expect_text "$(lang_text 1 ru)" "$MAIN" # the File menu's caption
    shot "russian-setup"
    click_text "$(lang_text 74 ru)" "$window" # back to the main window
    wait_window_gone "$window"

    step "the exit question in Russian"
    answer_exit "&Yes" ru
    expect_program_end
    grep -q '^LanguageRussian=1' "$PROGRAM_DIR/kurvana2.Ini" ||
        fail "kurvana2.Ini does not keep the Russian language"
}

# Run 3: a corrupt data file on the command line.
third_run() {
    local window

    step "a corrupt data file shows a message and the program goes on"
    printf 'e2e_chart.bmp\r\n0\r\n10\r\n0\r\n100\r\n100\r\nfive hundred\r\n' \
        >"$PROGRAM_DIR/Data/broken.gra"
    start_program Data/broken.gra
    wait_window '^"Kurvana II"$' window
    expect_text "five hundred" "$window"
    shot "corrupt-data-message"
    wait_focus "$window"
    xdotool key Return
    wait_window_gone "$window"
    arrange_windows
    program_running || fail "the program ended after the message"
    expect_text "$(lang_text 1 ru)" "$MAIN" # start-up went on: the saved language is applied
    shot "after-corrupt-data"

    step "the program still answers: exit in Russian"
    answer_exit "&Yes" ru
    expect_program_end
}

source "$here/steps_pdf.sh"

run_steps() {
    first_start
    first_run
    check_grid_run
    second_run
    third_run
    pdf_run
    safety_run
    find_axes_run
}
