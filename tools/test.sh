#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest; exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j2

# The hardening runs: the suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# every file reader fuzzed for a few seconds, and a minute of random user actions on the real
# program.
"$root/tools/sanitize.sh"
"$root/tools/fuzz.sh" short
"$root/tools/monkey.sh" 60
