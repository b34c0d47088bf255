#include "recognition/chart/plotarea.h"

#include <algorithm>
#include <cmath>

#include "recognition/axes/findaxes.h"

namespace kurvana {

QRect PlotAreaOf(const AxisProposal& axes, QSize picture) {
    int left = 0, right = picture.width() - 1, top = 0, bottom = picture.height() - 1;
    // An axis stroke's anti-aliased edge reaches a pixel beyond its half width.
    if (const auto& y = axes.y.line) {
        const double across = std::max(y->acrossAt(y->start), y->acrossAt(y->end));
        left = int(std::ceil(across + y->thickness / 2 + 1));
        top = std::max(top, int(std::ceil(y->start)) + 1);
        bottom = std::min(bottom, int(std::floor(y->end)) - 1);
    }
    if (const auto& x = axes.x.line) {
        const double across = std::min(x->acrossAt(x->start), x->acrossAt(x->end));
        bottom = std::min(bottom, int(std::floor(across - x->thickness / 2 - 1)));
        left = std::max(left, int(std::ceil(x->start)) + 1);
        right = std::min(right, int(std::floor(x->end)) - 1);
    }
    const QRect area(QPoint(left, top), QPoint(right, bottom));
    if (area.width() < 8 || area.height() < 8)
        return QRect(QPoint(0, 0), picture);
    return area;
}

} // namespace kurvana
