#include "io/plainbitmap.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include <QFile>
#include <QtEndian>

#include "core/picturememory.h"
#include "io/picturefile.h"

namespace kurvana {

namespace {

constexpr qint64 kHeaderBytes = 14 + 40; ///< file header and the plain info header
constexpr qint64 kChunkBytes = qint64(1) << 20;

struct PlainBitmapHeader {
    int width = 0;
    int rows = 0;
    bool topDown = false; ///< a negative height: the first row in the file is the top one
    qint32 xPixelsPerMeter = 0, yPixelsPerMeter = 0;
    qint64 rowBytes = 0; ///< a row in the file, padded to four bytes
};

std::optional<PlainBitmapHeader> ParseHeader(const QByteArray& header, qint64 fileSize) {
    if (header.size() < kHeaderBytes || !header.startsWith("BM"))
        return std::nullopt;
    const auto* b = reinterpret_cast<const uchar*>(header.constData());
    const quint32 dataOffset = qFromLittleEndian<quint32>(b + 10);
    const quint32 infoBytes = qFromLittleEndian<quint32>(b + 14);
    const qint32 width = qFromLittleEndian<qint32>(b + 18);
    const qint32 height = qFromLittleEndian<qint32>(b + 22);
    const quint16 planes = qFromLittleEndian<quint16>(b + 26);
    const quint16 bitsPerPixel = qFromLittleEndian<quint16>(b + 28);
    const quint32 compression = qFromLittleEndian<quint32>(b + 30);
    const quint32 coloursUsed = qFromLittleEndian<quint32>(b + 46);
    if (dataOffset != kHeaderBytes || infoBytes != 40 || planes != 1 || bitsPerPixel != 24 ||
        compression != 0 || coloursUsed != 0 || width <= 0 || height == 0 || height == INT_MIN)
        return std::nullopt;
    PlainBitmapHeader parsed;
    parsed.width = width;
    parsed.rows = height < 0 ? -height : height;
    parsed.topDown = height < 0;
    parsed.xPixelsPerMeter = qFromLittleEndian<qint32>(b + 38);
    parsed.yPixelsPerMeter = qFromLittleEndian<qint32>(b + 42);
    // Larger pictures are refused, with their size named, on the way through Qt's reader; the
    // limit also keeps the byte count below from overflowing.
    if (PictureTooLarge(QSize(parsed.width, parsed.rows)))
        return std::nullopt;
    parsed.rowBytes = (qint64(width) * 3 + 3) / 4 * 4;
    if (dataOffset + parsed.rowBytes * parsed.rows > fileSize)
        return std::nullopt;
    return parsed;
}

/// One row of blue-green-red triples into opaque 0xAARRGGBB pixels. Four pixels are three
/// little-endian words, so they are taken apart word by word.
void ConvertRow(const uchar* from, QRgb* to, int width) {
    constexpr quint32 opaque = 0xFF000000u;
    int x = 0;
    for (; x + 4 <= width; x += 4, from += 12) {
        const quint32 w0 = qFromLittleEndian<quint32>(from);
        const quint32 w1 = qFromLittleEndian<quint32>(from + 4);
        const quint32 w2 = qFromLittleEndian<quint32>(from + 8);
        to[x] = opaque | (w0 & 0xFFFFFFu);
        to[x + 1] = opaque | (w0 >> 24) | ((w1 & 0xFFFFu) << 8);
        to[x + 2] = opaque | (w1 >> 16) | ((w2 & 0xFFu) << 16);
        to[x + 3] = opaque | (w2 >> 8);
    }
    for (; x < width; ++x, from += 3)
        to[x] = opaque | quint32(from[2]) << 16 | quint32(from[1]) << 8 | from[0];
}

} // namespace

std::optional<QImage> ReadPlainBitmap(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<PlainBitmapHeader> header =
        ParseHeader(file.read(kHeaderBytes), file.size());
    if (!header)
        return std::nullopt;
    const QSize size(header->width, header->rows);
    SharablePictureWriter writer(size); // the working picture can share what it writes
    if (!writer.isValid())
        return std::nullopt;
    const int rowsPerChunk = int(std::max<qint64>(1, kChunkBytes / header->rowBytes));
    std::vector<uchar> chunk(std::size_t(rowsPerChunk * header->rowBytes));
    std::vector<QRgb> band(std::size_t(rowsPerChunk) * std::size_t(size.width()));
    for (int first = 0; first < header->rows; first += rowsPerChunk) {
        const int rows = std::min(rowsPerChunk, header->rows - first);
        const qint64 bytes = rows * header->rowBytes;
        if (file.read(reinterpret_cast<char*>(chunk.data()), bytes) != bytes)
            return std::nullopt;
        // The picture rows this chunk holds: [top, top + rows), upside down unless top-down.
        const int top = header->topDown ? first : header->rows - first - rows;
        for (int i = 0; i < rows; ++i) {
            const int fileRow = first + i;
            const int y = header->topDown ? fileRow : header->rows - 1 - fileRow;
            ConvertRow(chunk.data() + i * header->rowBytes,
                       band.data() + std::size_t(y - top) * size.width(), header->width);
        }
        if (!writer.writeRows(top, band.data(), rows))
            return std::nullopt;
    }
    QImage picture = writer.finish();
    if (picture.isNull())
        return std::nullopt;
    // As Qt's reader: the header's resolution, where it gives one.
    picture.setDotsPerMeterX(header->xPixelsPerMeter);
    picture.setDotsPerMeterY(header->yPixelsPerMeter);
    return picture;
}

} // namespace kurvana
