#!/usr/bin/env python3
"""Writes a two-page PDF for the end-to-end run: page 1 a vector drawing (a frame and a
diagonal), page 2 the given 24-bit bitmap, stored losslessly and sized so that rendering the
page at DPI dots per inch gives back the bitmap pixel for pixel.

Usage: make_pdf.py PICTURE.bmp OUT.pdf DPI
"""
import struct
import sys
import zlib


def read_bitmap(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a bitmap")
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits not in (24, 32):
        sys.exit(f"{path}: {bits}-bit bitmaps are not handled")
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for row in range(abs(height)):
        source = row if height < 0 else abs(height) - 1 - row  # bitmaps are stored bottom-up
        line = data[offset + source * stride: offset + source * stride + width * step]
        rows.append(b"".join(bytes((line[i + 2], line[i + 1], line[i]))
                             for i in range(0, width * step, step)))
    return width, abs(height), b"".join(rows)


def write_pdf(out, objects):
    pdf = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(pdf))
        pdf += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(pdf)
    pdf += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        pdf += b"%010d 00000 n \n" % offset
    pdf += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    open(out, "wb").write(pdf)


def stream(dictionary, content):
    return b"<< %s /Length %d >>\nstream\n" % (dictionary, len(content)) + content + \
        b"\nendstream"


def main():
    picture, out, dpi = sys.argv[1], sys.argv[2], int(sys.argv[3])
    width, height, rgb = read_bitmap(picture)
    w, h = width * 72 / dpi, height * 72 / dpi  # the page in points
    size = b"%.4f %.4f" % (w, h)
    drawing = b"0 0 1 RG 2 w 10 10 %.4f %.4f re S 10 10 m %.4f %.4f l S" % (
        w - 20, h - 20, w - 10, h - 10)
    showing = b"q %.4f 0 0 %.4f 0 0 cm /Chart Do Q" % (w, h)
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + size + b"] /Contents 5 0 R >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + size +
        b"] /Contents 6 0 R /Resources << /XObject << /Chart 7 0 R >> >> >>",
        stream(b"", drawing),
        stream(b"", showing),
        stream(b"/Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceRGB "
               b"/BitsPerComponent 8 /Interpolate false /Filter /FlateDecode" % (width, height),
               zlib.compress(rgb)),
    ]
    write_pdf(out, objects)


main()
