#!/usr/bin/env bash
# Builds the whole program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs the test suite there. Any sanitizer report fails the run: nothing of
# the program's own is suppressed or recovered from (tools/lsan.supp exempts leaks inside
# Tesseract, which the program cannot free). The benchmark smoke test is left out (timings mean
# nothing under the sanitizers); the end-to-end run drives the sanitized program on its own X
# server.
#   tools/sanitize.sh            configure, build, run
#   tools/sanitize.sh -R REGEX   run only the tests matching REGEX
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-asan"
flags="-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build"

# Leaks are reported too; the first report of any kind stops the test. (strict_string_checks
# stays off: with it, libxkbcommon's own strndup on a counted buffer is reported as soon as a
# test opens a window on an X server.)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
# There is no session bus here; told so, Qt does not reach for one.
export DBUS_SESSION_BUS_ADDRESS=disabled:
ctest --test-dir "$build" --output-on-failure -j2 -LE bench "$@"
