#pragma once

#include <QString>

namespace kurvana::bench {

/// Writes a one-page A4 PDF holding a vector chart as a paper would: a frame, a grid, tick
/// labels, five curves of a few thousand segments each and a caption. At 600 dpi the page
/// (Qt's A4 of 595 x 842 points) is 4958 x 7017 pixels, 35 megapixels.
void WritePdfChart(const QString& path);

} // namespace kurvana::bench
