# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` installs, below
# /usr. Its dependencies on the Qt libraries are computed by dpkg-shlibdeps from the program.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kurvana2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kurvana II")
set(CPACK_PACKAGE_CONTACT "Kurvana II <feedback@kurvana.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chart digitiser: turns a picture of a chart into numbers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kurvana II digitises charts. Load a picture of a plot (a scan, a screenshot or a bitmap\n"
    "from the clipboard), mark the origin and a point on each axis, type the axis values, and\n"
    "pick points on up to five curves by hand or by searches that follow a curve's colour.\n"
    "Linear and logarithmic axes, tilted scans, a table for the clipboard, data files with a\n"
    "copy of the picture, and an English and a Russian interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kurvana.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads at run time that no library dependency names, so the scan of the
# program's and the modules' libraries cannot see it: pictures in TIFF and the other formats
# beyond Qt's own come from the image format plugins, and Find axes reads labels with
# Tesseract's English data (a data file, not a library). The X11 platform plugin and the SVG
# icon engine come with libqt6gui6 and libqt6svg6, which the scan finds. The package test
# (tests/install/check_deb.sh) holds this list against what the program opens when it runs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins, tesseract-ocr-eng")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
