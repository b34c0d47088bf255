#pragma once

#include <QString>

namespace kurvana::bench {

/// Writes a one-page A4 PDF holding a vector chart as a paper would: a frame, a grid, tick
/// labels, five curves of a few thousand segments each and a caption. At 600 dpi the page is
/// 4961 x 7016 pixels, 35 megapixels.
void WritePdfChart(const QString& path);

} // namespace kurvana::bench
