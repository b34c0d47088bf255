#pragma once

#include <optional>

#include <QImage>
#include <QString>

namespace kurvana {

/// Reads the common kind of bitmap file directly: uncompressed, 24 bits a pixel, the plain
/// 40-byte header and no colour table, as scanners and the program's own picture copies write
/// it. The picture equals what Qt's bitmap reader makes of the file (32-bit RGB, opaque, the
/// header's resolution) at a fraction of its cost, which on a scan of tens of megapixels is
/// most of the time taken to open it. Nothing when the file is of another kind, shorter than
/// its header says or larger than the program holds: Qt's reader takes those.
std::optional<QImage> ReadPlainBitmap(const QString& path);

} // namespace kurvana
