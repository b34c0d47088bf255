#!/usr/bin/env bash
# The Debian package: cpack -G DEB on the built tree (into a temporary folder), its control data
# (name, version, dependencies computed from the program's libraries), its file list, and the
# program extracted from it answering --version.
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
echo "[deb] all checks passed"
