# shellcheck shell=bash disable=SC2046,SC2086
# (Positions and window geometries split into arguments on purpose, as in lib.sh.)
# Unsaved work is never lost: undo and redo by the keys, the question when the window is closed
# by the system, and the recovery copy after a kill. Sourced by run_e2e.sh after steps.sh.

# close_by_system WINDOW: asks WINDOW to close as a window manager's close button does
# (WM_DELETE_WINDOW); Xvfb has no window manager to click.
close_by_system() {
    python3 - "$1" <<'PY' || fail "could not send WM_DELETE_WINDOW"
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
window = int(sys.argv[1])
event = ClientMessage(type=33, send_event=1, display=display, window=window, format=32,
                      message_type=x.XInternAtom(display, b"WM_PROTOCOLS", 0))
event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
PY
}

# answer_box TEXT ANSWER: waits for the program's question box, checks it shows TEXT and
# answers: Return takes the default button (Save, Restore), Escape means "not now" (Cancel),
# any other ANSWER is clicked as a button caption (the question itself holds "Save" and
# "Restore").
answer_box() {
    local box
    wait_window '^"Kurvana II"$' box
    expect_text "$1" "$box"
    shot "question-$2"
    case $2 in
    Return | Escape)
        wait_focus "$box"
        xdotool key "$2"
        ;;
    *) click_text "$2" "$box" ;;
    esac
    wait_window_gone "$box"
}

answer_save_question() { answer_box "Save the changes" "$1"; }

caption_marked() { [[ $(xdotool getwindowname "$MAIN") == "* "* ]]; }
caption_clean() { ! caption_marked; }

recovery_written() { compgen -G "$XDG_DATA_HOME/kurvana2/recovery/*/work.gra" >/dev/null; }

# pick_three: three points of curve 1 on line 1.
pick_three() {
    click_button_image 11 "$MAIN"
    while read -r x y; do
        click_pixel "$x" "$y"
    done < <("$SCREEN_TOOL" pick "$KNOWN" 1 3)
}

# Run 4: undo, the close question, and the recovery after SIGKILL.
safety_run() {
    local before window

    step "pick points: the caption marks the unsaved work"
    # Run 2 left the interface in Russian; this run reads the English captions.
    sed -i 's/^LanguageRussian=1/LanguageRussian=0/' "$PROGRAM_DIR/kurvana2.Ini"
    start_program "examples/$CHART.bmp"
    arrange_windows
    locate_picture
    pick_three
    wait_until 10 "the caption to show '*'" caption_marked
    copy_table "$WORK/table-run4.txt" en

    step "Ctrl+Z takes the last point back, Ctrl+Shift+Z brings it again"
    xdotool windowfocus --sync "$MAIN"
    xdotool key ctrl+z
    copy_table "$WORK/table-undone.txt" en
    [ "$(grep -c . "$WORK/table-undone.txt")" -eq 2 ] || fail "Ctrl+Z did not remove one point"
    xdotool windowfocus --sync "$MAIN"
    xdotool key ctrl+shift+z
    copy_table "$WORK/table-redone.txt" en
    cmp -s "$WORK/table-run4.txt" "$WORK/table-redone.txt" || fail "Ctrl+Shift+Z did not redo"

    step "closing by the system asks; Cancel keeps the program and the work"
    close_by_system "$MAIN"
    answer_save_question Escape
    program_running || fail "the program ended although the answer was Cancel"
    copy_table "$WORK/table-kept.txt" en
    cmp -s "$WORK/table-run4.txt" "$WORK/table-kept.txt" || fail "Cancel changed the table"

    step "closing again, Save saves the data and ends the program"
    before=$(visible_windows)
    close_by_system "$MAIN"
    answer_save_question Return
    answer_save_boxes "$before" e2e_safety e2e_safety
    expect_program_end
    [ -s "$PROGRAM_DIR/Data/e2e_safety.gra" ] || fail "Save did not write Data/e2e_safety.gra"
    recovery_written && fail "a saved, ended run left its recovery copy"

    step "a run killed with SIGKILL leaves its work to restore"
    start_program "examples/$CHART.bmp"
    arrange_windows
    locate_picture
    pick_three
    wait_until 10 "the recovery copy" recovery_written
    copy_table "$WORK/table-killed.txt" en
    kill -9 "$APP_PID"
    wait "$APP_PID" 2>/dev/null
    APP_EXPECTED=""

    step "Escape at the restore question keeps the work for the next start"
    start_program "examples/$CHART.bmp"
    answer_box "Restore the work" Escape
    arrange_windows # nothing restored: the chart named on the command line opens
    recovery_written || fail "Escape at the restore question removed the recovery copy"
    close_by_system "$MAIN"
    expect_program_end

    step "the next start offers the work again; Restore brings it back"
    # The chart named on the command line is not opened over the restored work.
    start_program "examples/$CHART.bmp"
    answer_box "Restore the work" Return
    arrange_windows
    locate_picture
    wait_until 10 "the caption to show '*'" caption_marked
    copy_table "$WORK/table-restored.txt" en
    cmp -s "$WORK/table-killed.txt" "$WORK/table-restored.txt" ||
        fail "the restored table differs: $(diff <(tr -d '\r' <"$WORK/table-killed.txt") \
            <(tr -d '\r' <"$WORK/table-restored.txt") | head -5)"

    step "Exit with unsaved work: Discard ends the program and the copy goes"
    open_menu 1 12 en
    answer_save_question Discard
    expect_program_end
    recovery_written && fail "a normal exit left the recovery copy"
    return 0
}
