#!/usr/bin/env bash
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
# E2E_SECONDS (320) bounds the whole run.
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
# Recovery copies of unsaved work go to the user's data folder: this run's own.
export XDG_DATA_HOME="$WORK/data"

CHART=level_linear
KNOWN="$PROGRAM_DIR/examples/$CHART.txt"

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
# The modules go with the program: a program loads them only from its own places.
cp "$program_source"/kurvana2-*.so "$PROGRAM_DIR/" || fail "no modules beside the program"
cp "$program_source"/kurvana2_?.* "$PROGRAM_DIR/" 2>/dev/null || log "no help files beside the program"
cp "$EXAMPLES/$CHART.bmp" "$EXAMPLES/$CHART.txt" "$PROGRAM_DIR/examples/"

start_x_server

source "$here/program.sh"
source "$here/steps.sh"
source "$here/steps_firststart.sh"
source "$here/steps_checkgrid.sh"
source "$here/steps_safety.sh"
source "$here/steps_findaxes.sh"
run_steps
log "all steps passed; screenshots in $SHOTS"
