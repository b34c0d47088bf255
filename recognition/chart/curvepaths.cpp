#include "recognition/chart/curvepaths.h"

#include <algorithm>
#include <cmath>

#include "recognition/chart/wholechart.h"

namespace kurvana::chart {

CurvePaths::CurvePaths(const QRect& area, const std::vector<SeriesReading>& read)
    : area_(area), rows_(std::size_t(std::max(0, area.width()))) {
    for (const SeriesReading& s : read)
        if (s.kind == SeriesKind::Curve)
            for (std::size_t i = 0; i < s.points.size(); ++i) {
                const QPointF& p = s.points[i];
                const int x = int(std::lround(p.x()));
                if (x < area_.left() || x > area_.right())
                    continue;
                const QPointF& before = s.points[i ? i - 1 : i];
                const QPointF& after = s.points[std::min(i + 1, s.points.size() - 1)];
                const double dx = after.x() - before.x(), dy = after.y() - before.y();
                const double across = dx == 0 && dy == 0 ? 1 : std::abs(dx) / std::hypot(dx, dy);
                rows_[std::size_t(x - area_.left())].push_back({p.y(), across});
            }
}

bool CurvePaths::near(QPointF p, double within) const {
    const int x = int(std::lround(p.x()));
    if (x < area_.left() || x > area_.right())
        return false;
    const auto& here = rows_[std::size_t(x - area_.left())];
    return std::any_of(here.begin(), here.end(),
                       [&](const Row& r) { return std::abs(r.y - p.y()) * r.across <= within; });
}

bool CurvePaths::crosses(const QRect& box) const {
    for (int x = std::max(area_.left(), box.left() - 1);
         x <= std::min(area_.right(), box.right() + 1); ++x)
        for (const Row& r : rows_[std::size_t(x - area_.left())])
            if (r.y >= box.top() - 1 && r.y <= box.bottom() + 1)
                return true;
    return false;
}

} // namespace kurvana::chart
