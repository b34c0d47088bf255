#include "core/paper.h"

#include <array>

#include <QImage>

namespace kurvana {

RgbVector PaperAround(const QImage& picture, int x, int y, int radius) {
    std::array<int, 4096> counts{};
    std::array<RgbVector, 4096> sums{};
    const int left = std::max(0, x - radius), right = std::min(picture.width() - 1, x + radius);
    const int top = std::max(0, y - radius), bottom = std::min(picture.height() - 1, y + radius);
    int best = -1;
    for (int py = top; py <= bottom; ++py) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(py));
        for (int px = left; px <= right; ++px) {
            const QRgb p = line[px];
            const int bin = (qRed(p) >> 4) << 8 | (qGreen(p) >> 4) << 4 | qBlue(p) >> 4;
            ++counts[bin];
            RgbVector& sum = sums[bin];
            sum = {sum.r + qRed(p), sum.g + qGreen(p), sum.b + qBlue(p)};
            if (best < 0 || counts[bin] > counts[best])
                best = bin;
        }
    }
    if (best < 0)
        return {255, 255, 255};
    return sums[best] * (1.0 / counts[best]);
}

} // namespace kurvana
