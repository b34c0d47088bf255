#!/usr/bin/env bash
# The Debian package: cpack -G DEB on the built tree (into a temporary folder), its control data
# (name, version, dependencies computed from the program's libraries), its file list, and the
# program extracted from it answering --version, and every library and data file that program
# opens at run time (its modules, Qt's plugins, Tesseract's English data) coming from a package
# its dependencies bring in.
#
#   check_deb.sh --build BUILD --version 2.32
set -uo pipefail

while [ $# -gt 0 ]; do
    case $1 in
    --build) BUILD=$2 ;;
    --version) VERSION=$2 ;;
    *) echo "check_deb.sh: unknown option $1" >&2 && exit 2 ;;
    esac
    shift 2
done
: "${BUILD:?}" "${VERSION:?}"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kurvana2-deb.XXXXXX")
source "$(dirname "${BASH_SOURCE[0]}")/manifest.sh"
keep_manifest "$BUILD" "$WORK"
trap 'restore_manifest; rm -rf "$WORK"' EXIT
fail() {
    echo "[deb] FAILED: $*"
    exit 1
}

echo "[deb] cpack -G DEB"
(cd "$BUILD" && cpack -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -5 "$WORK/cpack.log")"
debs=("$WORK"/out/kurvana2_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single kurvana2_*.deb in $(ls "$WORK/out")"
deb=${debs[0]}
echo "[deb] $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kurvana2 ] || fail "package name '$(field Package)'"
[ "$(field Version)" = "$VERSION" ] || fail "version '$(field Version)', not $VERSION"
depends=$(field Depends)
echo "[deb] Depends: $depends"
packages=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libc6 libstdc++6 \
    libpoppler-qt6-3 libtesseract5; do
    grep -qxF "$library" <<<"$packages" || fail "Depends lacks $library"
done

dpkg-deb -c "$deb" | awk '{ print $NF }' >"$WORK/files"
for file in ./usr/bin/kurvana2 ./usr/share/kurvana2/language.txt \
    ./usr/share/applications/org.example.kurvana.kurvana2.desktop \
    ./usr/share/metainfo/org.example.kurvana.kurvana2.metainfo.xml \
    ./usr/share/mime/packages/kurvana2.xml ./usr/share/icons/hicolor/scalable/apps/kurvana2.svg \
    ./usr/share/icons/hicolor/48x48/apps/kurvana2.png; do
    grep -qx "$file" "$WORK/files" || fail "the package lacks $file"
done
for module in kurvana2-pdf.so kurvana2-ocr.so; do
    grep -q "^\./usr/lib/.*kurvana2/$module\$" "$WORK/files" || fail "the package lacks $module"
done
# The caches are the triggers' to build on the target machine; a package that ships one would
# clash with shared-mime-info and the icon theme.
! grep -Eq '/mime/mime\.cache$|icon-theme\.cache$|mimeinfo\.cache$' "$WORK/files" ||
    fail "the package ships a desktop cache file"

dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb -x failed"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$WORK/root/usr/bin/kurvana2" --version) || fail "the extracted program fails --version"
[ "$version" = "kurvana2 $VERSION" ] || fail "the extracted program printed '$version'"

# The dependency scan sees only the libraries files name; data files and plugins are opened
# by name at run time. So the extracted program reads a TIFF chart with Find axes (the image
# format plugin, the label module, Tesseract and its English data), and each library and data
# file it opens must belong to a package that Depends brings in, directly or through the
# dependencies of those.
echo "[deb] what the program opens at run time"
command -v strace >/dev/null || fail "strace is missing (tools/setup.sh installs it)"
convert -size 240x180 xc:white -stroke black -draw "line 30,150 230,150" \
    -draw "line 30,10 30,150" "$WORK/chart.tif" || fail "cannot draw the test chart"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM strace -f -qq -e trace=openat \
    -e status=successful -o "$WORK/opened" "$WORK/root/usr/bin/kurvana2" --find-axes \
    "$WORK/chart.tif" >/dev/null 2>"$WORK/find-axes.err"
! grep -q "cannot be loaded\|labels cannot be read" "$WORK/find-axes.err" ||
    fail "the extracted program misses its label module or data: $(cat "$WORK/find-axes.err")"
sed -n 's/.*openat([^"]*"\([^"]*\)".*/\1/p' "$WORK/opened" | grep -v "^$WORK/" |
    grep -E '\.so(\.[0-9.]+)?$|\.traineddata$' | sort -u >"$WORK/runtime-files"
grep -q '/libqtiff\.so$' "$WORK/runtime-files" || fail "the TIFF plugin was not loaded"
grep -q '/eng\.traineddata$' "$WORK/runtime-files" || fail "Tesseract's English data were not read"

# The packages Depends brings in: its names, then their dependencies, level by level.
declare -A brought=()
level=$packages
while [ -n "$level" ]; do
    next=""
    for package in $level; do
        [ -z "${brought[$package]:-}" ] || continue
        brought[$package]=1
        next+=" $package"
    done
    [ -n "$next" ] || break
    # shellcheck disable=SC2086 # one name per word
    level=$(dpkg-query -W -f='${Depends}, ${Pre-Depends}\n' $next 2>/dev/null |
        tr ',|' '\n\n' | sed 's/([^)]*)//; s/:any//; s/^ *//; s/ *$//' | grep -v '^$' | sort -u)
done
owner() { # the package holding a file, whichever of /lib and /usr/lib it was opened as
    local path
    for path in "$1" "$(realpath "$1")" "${1#/usr}" "/usr$1"; do
        dpkg -S "$path" 2>/dev/null | head -1 | sed 's/[:,].*//' | grep . && return
    done
}
while read -r file; do
    package=$(owner "$file")
    [ -n "$package" ] || fail "the program opens $file, which no package holds"
    [ -n "${brought[$package]:-}" ] ||
        fail "the program opens $file from $package, which Depends does not bring in"
done <"$WORK/runtime-files"
echo "[deb] $(wc -l <"$WORK/runtime-files") libraries and data files, all from dependencies"
echo "[deb] all checks passed"
