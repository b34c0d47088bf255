#include "io/picturefile.h"

#include <algorithm>
#include <climits>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPalette>
#include <QStringList>
#include <QtEndian>

#include "core/picture.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/picturereadahead.h"
#include "io/plainbitmap.h"

namespace kurvana {

namespace {

/// The size a bitmap file's header announces, or an invalid size. Qt's bitmap reader refuses
/// large bitmaps without saying why; the header lets the program say it.
QSize BitmapHeaderSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = file.read(26);
    if (header.size() < 26 || !header.startsWith("BM"))
        return {};
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    if (infoSize == 12) // the old OS/2 header: 16-bit sizes
        return {qFromLittleEndian<quint16>(bytes + 18), qFromLittleEndian<quint16>(bytes + 20)};
    // A negative height marks a top-down bitmap.
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    return {qFromLittleEndian<qint32>(bytes + 18), int(std::min<qint64>(height, INT_MAX))};
}

Colour PaletteColour(const QPalette& palette, QPalette::ColorRole role) {
    return colourFromQRgb(palette.color(QPalette::Active, role).rgb());
}

QStringList ReadableExtensions() {
    QStringList extensions;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        extensions << QString::fromLatin1(format).toLower();
    extensions.removeDuplicates();
    return extensions;
}

QString Patterns(const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << "*." + extension << "*." + extension.toUpper();
    return patterns.join(' ');
}

} // namespace

/// True when no pixel of an ARGB32 picture is visible at all.
namespace {
bool FullyTransparent(const QImage& argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 0)
                return false;
    }
    return true;
}

} // namespace

QImage LaidOnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (FullyTransparent(argb))
        return image;
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(from[x]);
            const auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            to[x] = qRgb(blend(qRed(from[x])), blend(qGreen(from[x])), blend(qBlue(from[x])));
        }
    }
    return out;
}

ButtonColours ApplicationButtonColours() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return {};
    const QPalette palette = QGuiApplication::palette();
    return {PaletteColour(palette, QPalette::Light), PaletteColour(palette, QPalette::Button),
            PaletteColour(palette, QPalette::Dark), PaletteColour(palette, QPalette::ButtonText)};
}

QImage MapPaletteColours(const QImage& image, const ButtonColours& colours) {
    if (image.depth() > 8 || image.colorCount() == 0)
        return image;
    QList<QRgb> table = image.colorTable();
    for (QRgb& entry : table) {
        Colour replacement = 0;
        switch (colourFromQRgb(entry)) {
        case colourFromRgb(255, 255, 255):
            replacement = colours.highlight;
            break;
        case colourFromRgb(192, 192, 192):
            replacement = colours.face;
            break;
        case colourFromRgb(128, 128, 128):
            replacement = colours.shadow;
            break;
        case colourFromRgb(0, 0, 0):
            replacement = colours.text;
            break;
        default:
            continue;
        }
        // Each entry is matched once against the original four, so a replacement that happens
        // to be one of them is not replaced again.
        entry = (entry & 0xFF000000u) | (qrgbFromColour(replacement) & 0x00FFFFFFu);
    }
    QImage mapped = image;
    mapped.setColorTable(table);
    return mapped;
}

PictureReadResult ReadStoredPicture(const QString& path) {
    PictureReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.reason = "the file does not exist.";
        return result;
    }
    if (info.isDir()) {
        result.reason = "this is a folder, not a picture file.";
        return result;
    }
    const auto refuseSize = [&result](const QSize& size) {
        result.tooLargeSize = size;
        result.reason = QString("it has %1 x %2 pixels, more than the program can hold.")
                            .arg(size.width())
                            .arg(size.height());
    };

    // Qt's readers refuse pictures above 128 MB unless told otherwise; told once, for every
    // reading from here on (the clipboard's too). The reading may run on a worker thread.
    static const bool allocationLimitSet = [] {
        QImageReader::setAllocationLimit(kImageAllocationLimitMb);
        return true;
    }();
    Q_UNUSED(allocationLimitSet);
    // A plain 24-bit bitmap, the common kind of a large scan, is read directly, without
    // asking Qt's readers anything: they load the list of every picture kind first.
    if (std::optional<QImage> plain = ReadPlainBitmap(path)) {
        result.picture = *plain;
        return result;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize announced = reader.size();
    if (announced.isValid() && PictureTooLarge(announced)) {
        refuseSize(announced);
        return result;
    }
    // Other kinds of 32-bit RGB are read into a buffer of the program's own making, which the
    // working picture can share; the reader makes its own when the kind or size differ.
    QImage image;
    if (announced.isValid() && reader.imageFormat() == QImage::Format_RGB32)
        image = NewPictureForReading(announced);
    if (!reader.read(&image))
        image = QImage();
    if (image.isNull()) {
        if (const QSize header = BitmapHeaderSize(path);
            header.isValid() && PictureTooLarge(header)) {
            refuseSize(header);
            return result;
        }
        result.reason = reader.error() == QImageReader::UnsupportedFormatError
                            ? QString("this is not a picture kind the program can read.")
                            : reader.errorString();
        return result;
    }
    if (PictureTooLarge(image.size())) {
        refuseSize(image.size());
        return result;
    }
    result.picture = image;
    return result;
}

PictureReadResult TryReadPicture(const QString& path, const ButtonColours& colours) {
    std::optional<PictureReadResult> read = TakeReadAheadPicture(path);
    if (!read)
        read = ReadStoredPicture(path);
    if (!read->picture.isNull())
        read->picture = NormalizedPicture(LaidOnWhite(MapPaletteColours(read->picture, colours)));
    return *read;
}

QImage ReadPictureFile(const QString& path, const Texts& texts, const ButtonColours& colours) {
    PictureReadResult result = TryReadPicture(path, colours);
    if (result.tooLargeSize.isValid())
        throw CommandError(texts.extra(ExtraText::PictureTooLarge)
                               .arg(path, QString::number(result.tooLargeSize.width()),
                                    QString::number(result.tooLargeSize.height())));
    if (result.picture.isNull())
        throw CommandError(
            texts.extra(ExtraText::PictureUnreadable).arg(path, AsSentence(result.reason)));
    return result.picture;
}

bool HasReadablePictureExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return !suffix.isEmpty() && ReadableExtensions().contains(suffix);
}

QString PictureDialogFilter() {
    return "Bitmaps (*.bmp *.BMP);;All pictures (" + Patterns(ReadableExtensions() << "pdf") +
           ");;PDF documents (*.pdf *.PDF)";
}

} // namespace kurvana
