# shellcheck shell=bash disable=SC2046,SC2086
# (Positions and window geometries split into arguments on purpose, as in lib.sh.)
# A chart in a PDF: page 2 of a generated two-page document, named with --page and --dpi on the
# command line, is digitised like the bitmap. Sourced by run_e2e.sh after steps.sh.

# Run 4: the sample chart as page 2 of a PDF, rendered at 300 dpi back to its own pixels.
pdf_run() {
    step "open page 2 of a PDF at 300 dpi from the command line"
    python3 "$here/make_pdf.py" "$PROGRAM_DIR/examples/$CHART.bmp" \
        "$PROGRAM_DIR/examples/$CHART.pdf" 300 || fail "could not write the PDF"
    start_program --page 2 --dpi 300 "examples/$CHART.pdf"
    arrange_windows
    expect_text "$CHART.pdf, page 2, 300 dpi" "$MAIN" # the status bar names the page
    shot "pdf-page-opened"

    step "Save Data names the copy after the page and writes it as a bitmap"
    local before window
    before=$(visible_windows)
    open_menu 1 11 ru
    for proposal in picture data; do
        new_window_since "$before" window
        wait_focus "$window"
        before=$(visible_windows)
        xdotool key Return # the proposed name
        log "took the proposed $proposal name"
    done
    new_window_since "$before" window
    expect_text "$(lang_text 130 ru)" "$window"
    wait_focus "$window"
    xdotool key Return
    wait_window_gone "$window"
    local copy="$PROGRAM_DIR/Data/Grafiks/$CHART-p2.bmp"
    [ -s "$copy" ] || fail "no picture copy $CHART-p2.bmp"
    [ -s "$PROGRAM_DIR/Data/$CHART-p2.gra" ] || fail "no data file $CHART-p2.gra"
    # The page as rendered is the chart with softened edges: it is found by its own copy.
    locate_picture "$copy"

    step "calibrate and pick points on the PDF page"
    place_reference_points
    # The axis values typed in run 1 were saved with the settings and are still in the edits.
    expect_readout "${XMAX[@]}" input_max_x input_min_y
    pick_known_points 1 5
    shot "pdf-points-picked"

    step "the clipboard values of the PDF page match the known drawing"
    copy_table "$WORK/table-pdf.txt" ru
    "$SCREEN_TOOL" check "$KNOWN" "$WORK/table-pdf.txt" --picked 1 5 | sed 's/^/    /'
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the table of the PDF page differs from the known data"

    step "exit after the PDF page: the points picked since saving are discarded"
    open_menu 1 12 ru
    answer_box "$(lang_text 205 ru)" "$(lang_text 207 ru)"
    expect_program_end
}
