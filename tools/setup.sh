#!/usr/bin/env bash
# Installs the Debian packages that building and testing need (only those missing), then
# configures and builds everything into build/. Safe to run again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(build-essential cmake ninja-build clang-format qt6-base-dev qt6-image-formats-plugins
          libgl-dev libsimpleini-dev fonts-dejavu-core xvfb xauth xdotool xclip x11-utils imagemagick
          python3 clang-14 libclang-rt-14-dev qt6-svg-dev
          desktop-file-utils appstream shared-mime-info dpkg-dev file gnuplot-nox
          libpoppler-qt6-dev libtesseract-dev tesseract-ocr-eng pkg-config strace)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build"
