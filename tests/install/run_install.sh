#!/usr/bin/env bash
# The installed program: `cmake --install` into a temporary DESTDIR (prefix /usr, run from
# somewhere else, so the relative lookup of its files is what finds them), its files and their
# validators, --version, --help and --export without a display, and, on a private X server, a
# start from the menu entry's command on a sample chart: the installed language file is read (no error box; the menu turns
# Russian after switching in Setup), and the settings and Data/ go to the user's folders, not
# next to the program.
#
#   run_install.sh --build BUILD --program BUILD/kurvana2 --screen BUILD/tests/e2e/e2e_screen \
#                  --examples BUILD/examples --data tests/data/io --shots BUILD/install-shots
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
while [ $# -gt 0 ]; do
    case $1 in
    --build) BUILD=$2 ;;
    --program) BUILT_PROGRAM=$2 ;;
    --screen) SCREEN_TOOL=$2 ;;
    --examples) EXAMPLES=$2 ;;
    --data) TEST_DATA=$2 ;;
    --shots) SHOTS=$2 ;;
    *) echo "run_install.sh: unknown option $1" >&2 && exit 2 ;;
    esac
    shift 2
done
: "${BUILD:?}" "${BUILT_PROGRAM:?}" "${SCREEN_TOOL:?}" "${EXAMPLES:?}" "${TEST_DATA:?}" "${SHOTS:?}"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kurvana2-install.XXXXXX")
ROOT="$WORK/root"
PROGRAM_DIR="$ROOT/usr/bin"
SHARE="$ROOT/usr/share"
LANGUAGE_FILE="$SHARE/kurvana2/language.txt"
E2E_SECONDS=120
source "$here/../e2e/lib.sh"
source "$here/manifest.sh"
keep_manifest "$BUILD" "$WORK"
trap 'restore_manifest; cleanup' EXIT
trap 'fail "interrupted"' INT TERM

export LC_ALL=C.UTF-8
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$HOME/config" XDG_DATA_HOME="$HOME/data"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$HOME" "$SHOTS" && mkdir -m 700 "$XDG_RUNTIME_DIR"
rm -f "$SHOTS"/*.png "$SHOTS"/*.log

# nothing_beside_the_program: an installed program writes nothing into its own folder.
nothing_beside_the_program() {
    local extra
    extra=$(ls -A "$PROGRAM_DIR" | grep -vx kurvana2)
    [ -z "$extra" ] || fail "written beside the installed program: $extra"
}

step "install into a temporary DESTDIR"
DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -5 "$WORK/install.log")"
for file in bin/kurvana2 share/kurvana2/language.txt share/kurvana2/kurvana2_e.html \
    share/kurvana2/kurvana2_r.html share/applications/org.example.kurvana.kurvana2.desktop \
    share/metainfo/org.example.kurvana.kurvana2.metainfo.xml share/mime/packages/kurvana2.xml \
    share/icons/hicolor/scalable/apps/kurvana2.svg; do
    [ -s "$ROOT/usr/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png="$SHARE/icons/hicolor/${size}x$size/apps/kurvana2.png"
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x$size" ] ||
        fail "no ${size}x$size icon at $png"
done
for module in kurvana2-pdf.so kurvana2-ocr.so; do
    path=$(find "$ROOT/usr/lib" -path "*/kurvana2/$module" | head -1)
    [ -n "$path" ] || fail "not installed: lib/kurvana2/$module"
done
# The installed program loads code only from its own installed places: the build folder, where
# others may write, is not named in it as a place to load from, neither as a folder nor as the
# path of a module (its debug data name the sources, and a sanitizer build names its generated
# sources: those load nothing).
objcopy --strip-debug "$PROGRAM_DIR/kurvana2" "$WORK/kurvana2-code" || fail "objcopy failed"
build_folder=$(cd "$BUILD" && pwd -P)
if strings "$WORK/kurvana2-code" |
    grep -x -F -e "$build_folder" -e "$build_folder/" -e "$BUILD" -e "$BUILD/" ||
    strings "$WORK/kurvana2-code" | grep -F -e "$build_folder/kurvana2-" -e "$BUILD/kurvana2-"; then
    fail "the installed program names the build folder $build_folder"
fi
rm -f "$WORK/kurvana2-code"
# Poppler and Tesseract come with the modules, on first use, not with the program's start.
! ldd "$PROGRAM_DIR/kurvana2" | grep -Eq 'poppler|tesseract' ||
    fail "the program links Poppler or Tesseract itself"
cmp -s "$LANGUAGE_FILE" "$(dirname "$BUILT_PROGRAM")/language.txt" ||
    fail "the installed language.txt differs from the program's"

step "the menu entry, the file type and the software-centre data validate"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$SHARE/applications/org.example.kurvana.kurvana2.desktop" ||
        fail "desktop-file-validate rejects the menu entry"
else
    log "desktop-file-validate is missing (tools/setup.sh installs it); not checked"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$SHARE/metainfo/org.example.kurvana.kurvana2.metainfo.xml" ||
        fail "appstreamcli rejects the metainfo"
else
    log "appstreamcli is missing (tools/setup.sh installs it); not checked"
fi
if command -v update-mime-database >/dev/null; then
    update-mime-database "$SHARE/mime" >/dev/null 2>&1 || fail "update-mime-database failed"
    grep -q '^application/x-kurvana-data:\*\.gra$' "$SHARE/mime/globs" ||
        fail "the MIME database does not map *.gra to application/x-kurvana-data"
fi

step "--version, --help and --export without a display"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
version=$("${no_display[@]}" "$PROGRAM_DIR/kurvana2" --version) || fail "--version failed"
[ "$version" = "kurvana2 2.32" ] || fail "--version printed '$version'"
"${no_display[@]}" "$PROGRAM_DIR/kurvana2" --help >"$WORK/help.txt" || fail "--help failed"
grep -q -- '--export DATA.gra' "$WORK/help.txt" || fail "--help does not name --export"
sample="$TEST_DATA/io_three_points.gra"
"${no_display[@]}" "$PROGRAM_DIR/kurvana2" --export "$sample" >"$WORK/installed.txt" ||
    fail "the installed program cannot export $sample"
"${no_display[@]}" "$BUILT_PROGRAM" --export "$sample" >"$WORK/built.txt"
[ -s "$WORK/installed.txt" ] && cmp -s "$WORK/installed.txt" "$WORK/built.txt" ||
    fail "the installed program exports another table than the built one"
# An answer that cannot be written is a failure, said on standard error.
for form in --version --help "--export $sample" "--export --format json $sample"; do
    # shellcheck disable=SC2086 # the form's words
    if "${no_display[@]}" "$PROGRAM_DIR/kurvana2" $form >/dev/full 2>"$WORK/full.log" ||
        ! grep -q . "$WORK/full.log"; then
        fail "kurvana2 $form > /dev/full exits 0 or says nothing"
    fi
done
# Find axes reads the labels through the module found relative to the installed program.
"${no_display[@]}" "$PROGRAM_DIR/kurvana2" --find-axes "$EXAMPLES/level_linear.bmp" \
    >"$WORK/axes.json" 2>"$WORK/axes.log"
[ $? -eq 0 ] && grep -q '"complete": *true' "$WORK/axes.json" ||
    fail "the installed program finds no axes: $(cat "$WORK/axes.log")"
nothing_beside_the_program

step "start the installed program from its menu entry on a sample chart"
for tool in Xvfb xdotool xdpyinfo import iconv; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done
export QT_QPA_PLATFORM=xcb
start_x_server
source "$here/../e2e/program.sh"
# As a desktop starts it from the menu entry: the entry's command, the program found on PATH,
# %f the chosen file, the user's home as the working folder.
exec_line=$(sed -n 's/^Exec=//p' "$SHARE/applications/org.example.kurvana.kurvana2.desktop")
read -ra command <<<"${exec_line//%f/$EXAMPLES/level_linear.bmp}"
RUN_NUMBER=1
(cd "$HOME" && PATH="$PROGRAM_DIR:$PATH" exec "${command[@]}") >"$WORK/kurvana2-run1.log" 2>&1 &
APP_PID=$!
APP_EXPECTED=1
STARTED_PIDS+=("$APP_PID")
log "${command[*]} (pid $APP_PID)"
arrange_windows
shot "installed-started"
# An unreadable language file would have put up its message box by now.
! window_present '^"Kurvana II"$' || fail "the installed program shows a message at start"

step "switch to Russian in Setup: the installed language file gives the menu's captions"
before=$(visible_windows)
click_button_image 6 "$MAIN"
new_window_since "$before" setup
place "$setup" "$TOOL_X" 300
click_text "$(lang_text 86 en)" "$setup"
expect_text "$(lang_text 1 ru)" "$MAIN"
shot "installed-russian"
click_text "$(lang_text 74 ru)" "$setup"
wait_window_gone "$setup"

step "exit: the settings and Data/ are in the user's folders"
answer_exit "&Yes" ru
expect_program_end
grep -q '^LanguageRussian=1' "$XDG_CONFIG_HOME/kurvana2/kurvana2.Ini" ||
    fail "no settings with the Russian language in $XDG_CONFIG_HOME/kurvana2/"
[ -d "$XDG_DATA_HOME/kurvana2/Data/Grafiks" ] ||
    fail "no Data/Grafiks/ in the user's data folder $XDG_DATA_HOME/kurvana2/"
nothing_beside_the_program
log "all steps passed; screenshots in $SHOTS"
