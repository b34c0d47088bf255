# shellcheck shell=bash disable=SC2046
# The calibration check grid over the sample chart, calibrated by the first run. Sourced by
# run_e2e.sh; check_grid_run is called from run_steps.

check_grid_run() {
    local at

    step "reopen the calibrated chart and show the check grid with G"
    start_program Data/e2e_data.gra
    arrange_windows
    locate_picture
    xdotool windowfocus --sync "$MAIN"
    wait_focus "$MAIN"
    pointer_away
    xdotool key g
    look 10 "check-grid lines on the chart's own grid lines" at checkgrid "$KNOWN" \
        "$PROGRAM_DIR/examples/$CHART.bmp" "$PIC_X" "$PIC_Y"
    log "check-grid lines found (vertical, horizontal): $at"
    shot "check-grid"

    step "G again hides the grid: the chart shows as it is"
    xdotool key g
    locate_picture
    answer_exit "&Yes" en
    expect_program_end
    grep -q '^Show=0' "$PROGRAM_DIR/kurvana2.Ini" || fail "kurvana2.Ini does not keep the grid off"
}
