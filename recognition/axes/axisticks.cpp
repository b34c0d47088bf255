#include "recognition/axes/axisticks.h"

#include <algorithm>
#include <cmath>

#include "recognition/axes/axisgray.h"
#include "recognition/axes/axislines.h"

namespace kurvana {

namespace {

constexpr int kMinTick = 3;

/// First distance from the line's centre that lies clear of its own ink.
int firstOffLine(const AxisLine& line) {
    return int(line.thickness / 2) + 1;
}

struct Sampler {
    const GrayPicture& gray;
    const AxisLine& line;
    int at(double along, double distance) const {
        const QPointF p = line.offsetPoint(along, distance);
        return gray.at(int(std::lround(p.x())), int(std::lround(p.y())));
    }
    bool dark(double along, double distance) const { return at(along, distance) < gray.ink; }
    /// Ink pixels in a row from the line's edge outwards on `side`, up to `limit`.
    int run(int along, int side, int limit) const {
        const int first = firstOffLine(line);
        int n = 0;
        while (n < limit && dark(along, side * (first + n)))
            ++n;
        return n;
    }
    int weight(double along, int side, int length) const {
        const int first = firstOffLine(line);
        int sum = 0;
        for (int n = 0; n < length; ++n)
            sum += std::max(0, gray.paper - at(along, side * (first + n)));
        return sum;
    }
};

} // namespace

std::vector<AxisTick> FindTicks(const GrayPicture& gray, const AxisLine& line) {
    const Sampler s{gray, line};
    const int limit = std::max(12, int(line.length() / 20));
    const int maxWidth = std::max(3, int(std::ceil(3 * line.thickness)));
    const int outside = LabelSide(line.upright);
    const int first = int(std::floor(line.start)) - 2, last = int(std::ceil(line.end)) + 2;
    std::vector<AxisTick> ticks;
    int groupStart = -1;
    AxisTick group;
    auto close = [&](int end) {
        const int width = end - groupStart;
        if (width <= maxWidth) {
            // Sub-pixel centre: the ink next to the line weighed over the group and one more
            // position on each side, where anti-aliasing leaves part of the stroke.
            const int side = group.outside >= group.inside ? outside : -outside;
            double sum = 0, moment = 0;
            for (int a = groupStart - 1; a <= end; ++a) {
                const int w = s.weight(a, side, kMinTick);
                sum += w;
                moment += double(w) * a;
            }
            group.along = sum > 0 ? moment / sum : (groupStart + end - 1) / 2.0;
            ticks.push_back(group);
        }
        groupStart = -1;
    };
    for (int a = first; a <= last; ++a) {
        const int out = s.run(a, outside, limit), in = s.run(a, -outside, limit);
        if (std::max(out, in) >= kMinTick) {
            if (groupStart < 0) {
                groupStart = a;
                group = AxisTick{};
            }
            group.outside = std::max(group.outside, out);
            group.inside = std::max(group.inside, in);
        } else if (groupStart >= 0) {
            close(a);
        }
    }
    if (groupStart >= 0)
        close(last + 1);
    return ticks;
}

std::vector<double> FindBarFeet(const GrayPicture& gray, const AxisLine& line) {
    const Sampler s{gray, line};
    const int inside = -LabelSide(line.upright);
    const int maxTickWidth = std::max(3, int(std::ceil(3 * line.thickness)));
    // Filled: clearly darker than the paper just inside the line, even a pale fill that does
    // not count as ink; JPEG ripples stay well under this.
    const int filled = std::max(24, (gray.paper - gray.ink) / 3) * kMinTick;
    const int first = int(std::floor(line.start)) + 1, last = int(std::ceil(line.end)) - 1;
    std::vector<double> feet;
    int groupStart = -1;
    for (int a = first; a <= last + 1; ++a) {
        const bool bar = a <= last && s.weight(a, inside, kMinTick) >= filled;
        if (bar && groupStart < 0)
            groupStart = a;
        if (bar || groupStart < 0)
            continue;
        if (a - groupStart > maxTickWidth + 1) {
            // The centre of the foot weighed with its anti-aliased edges: exact for a bar
            // that is symmetric about its category.
            double sum = 0, moment = 0;
            for (int b = groupStart - 1; b <= a; ++b) {
                const int w = s.weight(b, inside, kMinTick);
                sum += w;
                moment += double(w) * b;
            }
            feet.push_back(moment / sum);
        }
        groupStart = -1;
    }
    return feet;
}

} // namespace kurvana
