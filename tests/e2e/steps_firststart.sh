# shellcheck shell=bash disable=SC2086
# (Window geometries split into arguments on purpose, as in lib.sh.)
# A first start as a new user sees it: the captions exactly as designed, as the X server holds
# them (no program name appended), and no tool window over the main window. Sourced by
# run_e2e.sh after steps.sh; called from run_steps before the first run, whose program folder
# it leaves without a settings file.

# overlap "X Y W H" "X Y W H": true when the two rectangles share a pixel.
overlap() {
    local a b
    read -ra a <<<"$1"
    read -ra b <<<"$2"
    ((a[0] < b[0] + b[2] && b[0] < a[0] + a[2] && a[1] < b[1] + b[3] && b[1] < a[1] + a[3]))
}

# expect_caption ID TEXT: the window's title on the X server is exactly TEXT.
expect_caption() {
    local held
    held=$(xdotool getwindowname "$1")
    [ "$held" = "$2" ] || fail "window $1 is titled '$held' instead of '$2'"
}

first_start() {
    local main table input zoom about pair
    step "a first start shows exact captions and leaves the main window uncovered"
    [ ! -e "$PROGRAM_DIR/kurvana2.Ini" ] || fail "the program folder already has settings"
    start_program "examples/$CHART.bmp"
    wait_window '^Kurvana II v' main
    wait_window "^$(lang_text 60 en)" table
    wait_window "^$(lang_text 57 en)" input
    wait_window "^$(lang_text 56 en)" zoom
    wait_window '^About' about
    expect_caption "$main" "Kurvana II v2.32"
    expect_caption "$table" "$(lang_text 60 en)"
    expect_caption "$input" "$(lang_text 57 en)"
    expect_caption "$zoom" "$(lang_text 56 en)"
    expect_caption "$about" "About"
    shot "first-start"
    # The main window shows the whole chart: the screen has room for it and the tool windows.
    local width height
    read -r width height < <(identify -format '%w %h' "$PROGRAM_DIR/examples/$CHART.bmp")
    set -- $(geometry "$main")
    (($3 > width && $4 > height)) || fail "the main window ($3 x $4) cuts the $width x $height chart"
    for pair in "$main $table" "$main $input" "$main $zoom" "$main $about" "$table $about" \
        "$input $about" "$zoom $about" "$table $input" "$table $zoom"; do
        set -- $pair
        ! overlap "$(geometry "$1")" "$(geometry "$2")" ||
            fail "window $2 ($(geometry "$2")) covers window $1 ($(geometry "$1"))"
    done
    # Ended without a word, so that the first run starts as fresh as this one.
    APP_EXPECTED=""
    stop_pid "$APP_PID"
    rm -f "$PROGRAM_DIR/kurvana2.Ini"
}
