#!/usr/bin/env python3
"""Writes the starting corpora of the fuzz targets into OUT/<target>/, from the project's own
files (the sample data file, the language file) and from data files, settings files and
number texts made here the way the program writes them."""
import os
import sys

root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
out = sys.argv[1]


def put(target, name, data):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("cp1251"))


def gra(copy="chart.bmp", axes=("0", "100", "0", "10"), ref=(50, 200, 200, 200, 50, 50),
        scales=("1", "1"), lines=None):
    """A data file as the program writes it: CR LF, code page 1251, "Line \\xB9 k" headers."""
    lines = lines or {}
    rows = [copy, *axes, *map(str, ref), *scales]
    for k in range(1, 6):
        points = lines.get(k, [])
        rows += ["Line \u2116 %d" % k, str(len(points) + 1)]
        for x, y in points:
            rows += [str(x), str(y)]
    return ("\r\n".join(rows) + "\r\n").encode("cp1251")


# Data files: the sample of the tests, and files made like the program makes them.
for name in os.listdir(os.path.join(root, "tests", "data", "io")):
    if name.lower().endswith(".gra"):
        put("datafile", name, open(os.path.join(root, "tests", "data", "io", name), "rb").read())
put("datafile", "empty_lines.gra", gra())
put("datafile", "tilted_log.gra", gra(axes=("0,5", "1.5e3", "-2", "3"), ref=(40, 300, 420, 250, 10, 20),
                                      scales=("2", "3"), lines={1: [(60, 190), (61, 190), (400, 30)],
                                                                  3: [(-5, 7), (2147483647, -2147483648)]}))
put("datafile", "full_line.gra", gra(lines={2: [(i % 640, i // 3) for i in range(1001)]}))
put("datafile", "count_1003.gra", gra().replace(b"Line \xb9 5\r\n1", b"Line \xb9 5\r\n1003"))
put("datafile", "lf_only.gra", gra(lines={4: [(1, 2)]}).replace(b"\r\n", b"\n"))
put("datafile", "unknown_scale.gra", gra(scales=("7", "")))
put("datafile", "cyrillic_name.gra", gra(copy="\u0433\u0440\u0430\u0444\u0438\u043a.bmp"))

# Settings files: the defaults as the program writes them, and damaged ones.
defaults = "\r\n".join([
    "[Path]", "Path to Graf files=C:\\", "[Color]", "line1=255", "line2=255", "line3=255",
    "line4=255", "line5=255", "Axes=255", "[Setup]", "DiamterOfPoint=3",
    "StandartNumerFormat=1", "NumerRanger=1", "SaveConfig=1", "LanguageRussian=0",
    "LanguageEnglish=1", "[Axes]", "Xmin=0", "Xmax=100", "Ymin=0", "Ymax=10",
    "XScaleNormalX=1", "XScaleLogarifm10X=0", "XScaleLogarifmNatX=0", "YScaleNormalX=1",
    "YScaleLogarifm10X=0", "YScaleLogarifmNatX=0", "[Forms]", "MainLeft=20", "MainTop=20",
    "MainWidth=600", "MainHeight=420", "ZoomLeft=400", "ZoomTop=400", "InputLeft=500",
    "InputTop=400", "InputStayOnTop=1", "TableLeft=10", "TableTop=10", "TableWidth=600",
    "TableHeight=400", "TableStayOnTop=1", "SetupLeft=5", "SetupTop=5"]) + "\r\n"
put("settings", "defaults.Ini", defaults)
put("settings", "odd_values.Ini", defaults.replace("DiamterOfPoint=3", "DiamterOfPoint=9")
    .replace("line3=255", "line3=$FF00FF").replace("Xmax=100", "Xmax=2,5")
    .replace("MainLeft=20", "MainLeft=2147483647").replace("TableWidth=600", "TableWidth=-2147483648"))
put("settings", "utf8_signature.Ini", b"\xef\xbb\xbf" + defaults.encode())
put("settings", "junk.Ini", bytes(range(256)) + b"\r\n[Setup\r\n=\r\nkey\r\n")

# The language file of the program.
put("language", "language.txt", open(os.path.join(root, "data", "language.txt"), "rb").read())
put("language", "short.txt", b"\r\n".join(open(os.path.join(root, "data", "language.txt"), "rb")
                                          .read().split(b"\r\n")[:263]))
put("language", "empty.txt", b"")

# Number texts as typed or stored.
for i, text in enumerate(["0", "100", "-2.5", "1,5e3", " +7", "1e308", "4.9e-324", "0.0001",
                          "123456789012345678", "-2147483648", "2147483648", "1.234.5", "e5", ".",
                          "0x1F", "$FF", "1E-5", "  -0,000001"]):
    put("numbers", "n%02d.txt" % i, text)

# Pictures as a reader hands them over: a few bytes choose size, layout and palette.
put("picture", "one_by_one", bytes([255, 255, 255, 0, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0, 1, 0, 0, 0]))
put("picture", "tall_palette", bytes([0] * 8 + [1, 2, 4, 0, 0, 0, 0, 1, 2, 3]))
put("picture", "wide_mono", bytes([0] * 8 + [2, 0, 1, 1, 0x55, 0xAA]))
put("picture", "rgb", bytes([0] * 8 + [100, 4, 0, 0, 0, 7, 0, 0, 0, 4]) + bytes(range(64)))

# The searches: a calibration on a small chart and the typed texts.
put("searches", "default", bytes([60, 0, 0, 0, 60, 0, 0, 0, 3, 0, 0, 0, 1, 20, 0, 0, 0]) +
    bytes([10, 50, 0, 0, 0, 1, 50, 0, 0, 0, 1, 90, 0, 0, 0, 1, 10, 0, 0, 0, 1, 10, 0, 0, 0, 1, 10, 0, 0, 0,
           0]) + b"0\x00100\x000\x0010\x00" + bytes([0, 0, 0, 0, 1, 0, 0, 0]) + b"20\x000\x00100\x005\x00")
