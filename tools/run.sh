#!/usr/bin/env bash
# Sets up, builds and starts Kurvana II on a bundled sample chart.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "kurvana2: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session or under xvfb-run." >&2
    exit 1
fi
exec "$root/build/kurvana2" "$root/build/examples/level_linear.bmp"
