# shellcheck shell=bash disable=SC2046,SC2086
# "Find axes" on the sample chart: the proposal is accepted, points are picked, and the table
# must match the chart's known data as after calibrating by hand. Sourced by run_e2e.sh and
# called from run_steps; the interface is Russian by then (the second run chose it).

find_axes_run() {
    local before box

    step "Find axes proposes the calibration of the sample chart"
    start_program "examples/$CHART.bmp"
    arrange_windows
    locate_picture
    before=$(visible_windows)
    click_button_image 37 "$MAIN"
    new_window_since "$before" box
    expect_text "$(lang_text 215 en)" "$box"
    shot "axes-proposal"

    step "accept the proposal: the reference points and values are in place"
    click_text "&Yes" "$box"
    wait_window_gone "$box"
    local zero xmax ymax
    read -ra zero <<<"$(known zero_point)"
    read -ra xmax <<<"$(known x_max_point)"
    read -ra ymax <<<"$(known y_max_point)"
    expect_readout "${zero[@]}" input_min_x input_min_y
    expect_readout "${xmax[@]}" input_max_x input_min_y
    expect_readout "${ymax[@]}" input_min_x input_max_y
    shot "axes-accepted"

    step "pick points on line 1 and compare the table with the known data"
    click_button_image 11 "$MAIN"
    while read -r x y; do
        click_pixel "$x" "$y"
    done < <("$SCREEN_TOOL" pick "$KNOWN" 1 5)
    copy_table "$WORK/table-find-axes.txt" en
    "$SCREEN_TOOL" check "$KNOWN" "$WORK/table-find-axes.txt" --picked 1 5 | sed 's/^/    /'
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the table after Find axes differs from the known data"

    step "exit: the picked points are discarded"
    open_menu 1 12 en
    answer_save_question Discard
    expect_program_end
}
