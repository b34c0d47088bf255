// A decoded picture of any size and colour layout, as a reader may hand it over: palette
// mapping, conversion to 32 bits and the new-picture reset, including the odd sizes 1 x 1,
// 1 x 40000 and 40000 x 1. After the reset the picture is the clean one with the axes drawn
// once; taking them off gives the clean picture back.
#include <cstddef>
#include <cstdint>

#include <QImage>

#include "core/drawing.h"
#include "core/picture.h"
#include "fuzzinput.h"
#include "fuzzworkspace.h"
#include "io/picturefile.h"

using namespace kurvana;

namespace {

constexpr QSize kOddSizes[] = {{1, 1}, {1, 40000}, {40000, 1}, {2, 2}, {199, 201}, {3, 500}};

constexpr QImage::Format kFormats[] = {
    QImage::Format_Mono,       QImage::Format_MonoLSB, QImage::Format_Indexed8,
    QImage::Format_Grayscale8, QImage::Format_RGB32,   QImage::Format_ARGB32,
    QImage::Format_RGB16,      QImage::Format_RGB888,  QImage::Format_ARGB32_Premultiplied,
    QImage::Format_Alpha8,     QImage::Format_RGBX64,  QImage::Format_Grayscale16,
};

QSize PickSize(fuzz::FuzzInput& in) {
    const int choice = in.byte();
    if (choice < 64)
        return kOddSizes[choice % std::size(kOddSizes)];
    return {in.inRange(1, 300), in.inRange(1, 300)};
}

QImage PictureFrom(fuzz::FuzzInput& in) {
    const QSize size = PickSize(in);
    const QImage::Format format = kFormats[in.byte() % std::size(kFormats)];
    QImage image(size, format);
    if (image.isNull())
        return image;
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
        format == QImage::Format_Indexed8) {
        const int colours = format == QImage::Format_Indexed8 ? in.inRange(1, 256) : 2;
        QList<QRgb> table;
        for (int i = 0; i < colours; ++i) {
            // Mostly the four greys the mapping looks for, some other colours.
            const std::uint8_t pick = in.byte();
            static constexpr QRgb kGreys[] = {0xFFFFFFFF, 0xFFC0C0C0, 0xFF808080, 0xFF000000};
            table << (pick < 128 ? kGreys[pick % 4] : in.number<QRgb>());
        }
        image.setColorTable(table);
    }
    // The pixel bytes: the fuzzer's bytes repeated over the picture (palette indexes past the
    // table are what a damaged file would give).
    const QByteArray fill = in.rest();
    const qsizetype total = image.sizeInBytes();
    uchar* bits = image.bits();
    for (qsizetype i = 0; i < total; ++i)
        bits[i] = fill.isEmpty() ? 0xFF : uchar(fill[i % fill.size()]);
    if (image.colorCount() > 0 && format == QImage::Format_Indexed8)
        for (qsizetype i = 0; i < total; ++i)
            bits[i] = uchar(bits[i] % image.colorCount());
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    ButtonColours colours;
    colours.highlight = in.number<Colour>() & 0xFFFFFF;
    colours.face = in.number<Colour>() & 0xFFFFFF;
    const QImage decoded = PictureFrom(in);
    if (decoded.isNull())
        return 0;
    const QImage mapped = MapPaletteColours(decoded, colours);
    fuzz::Require(mapped.size() == decoded.size() && mapped.format() == decoded.format(),
                  "palette mapping keeps size and layout");
    const QImage picture = NormalizedPicture(mapped);
    fuzz::Require(picture.format() == QImage::Format_RGB32, "pictures are 32-bit RGB");

    fuzz::FuzzWorkspace f(picture);
    Document& doc = *f.doc;
    fuzz::Require(doc.pictureWidth == picture.width() && doc.pictureHeight == picture.height(),
                  "reset takes the picture size");
    fuzz::Require(doc.cleanPicture == picture && doc.searchCopy == picture,
                  "clean picture and search copy as loaded");
    ToggleAxes(doc);
    fuzz::Require(doc.workingPicture == doc.cleanPicture, "axes drawing toggles off exactly");
    // A mark in every corner of the picture and beyond, then the full restore.
    const int w = picture.width(), h = picture.height();
    for (const QPoint& p : {QPoint(0, 0), QPoint(w - 1, h - 1), QPoint(-3, h + 2), QPoint(w, 0)})
        doc.appendPoint(1, p.x(), p.y());
    RedrawMarks(doc);
    ToggleAxes(doc);
    return 0;
}
