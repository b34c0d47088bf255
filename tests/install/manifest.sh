# shellcheck shell=bash
# Installing writes BUILD/install_manifest.txt, the list a user's uninstall reads. A test that
# installs into a temporary folder puts the user's list back afterwards, so that it never names
# the test's files, nor loses the user's own installation.

# keep_manifest BUILD WORK: keeps a copy of the build's manifest (if any) in WORK.
keep_manifest() {
    MANIFEST="$1/install_manifest.txt"
    MANIFEST_COPY="$2/install_manifest.kept"
    [ ! -f "$MANIFEST" ] || cp -p "$MANIFEST" "$MANIFEST_COPY"
}

# restore_manifest: the build's manifest as it was before the test.
restore_manifest() {
    if [ -f "$MANIFEST_COPY" ]; then
        cp -p "$MANIFEST_COPY" "$MANIFEST"
    else
        rm -f "$MANIFEST"
    fi
}
