#include "recognition/chart/untangle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "recognition/chart/parabola.h"

namespace kurvana::chart {

namespace {

/// Rows this close are a meeting of two strokes; a closest approach within kApproach, the
/// closest over kAround columns either side, may be one the follower turned back at.
constexpr double kMeeting = 3, kApproach = 12;
constexpr int kAround = 10;
/// A swap is taken only where it continues both bends this much better.
constexpr double kClearlyBetter = 0.5;

using Rows = std::map<int, double>; // column -> row

Rows rowsOf(const std::vector<QPointF>& points) {
    Rows rows;
    for (const QPointF& p : points)
        rows[int(std::lround(p.x()))] = p.y();
    return rows;
}

std::vector<QPointF> pointsIn(const Rows& rows, int from, int to) {
    std::vector<QPointF> points;
    for (auto it = rows.lower_bound(from); it != rows.end() && it->first <= to; ++it)
        points.emplace_back(it->first, it->second);
    return points;
}

/// How far the points of `rows` in [from, to] lie from the parabola `bend`, root mean square.
template <typename Bend> double missOf(const Bend& bend, const Rows& rows, int from, int to) {
    double sum = 0;
    int n = 0;
    for (auto it = rows.lower_bound(from); it != rows.end() && it->first <= to; ++it, ++n)
        sum += std::pow(it->second - bend(it->first), 2);
    return n ? std::sqrt(sum / n) : 0;
}

/// The meetings of a and b in their common columns, as first and last column: runs of columns
/// where the rows lie within kMeeting, and the closest approaches within kApproach (where
/// the follower may have turned back off the other curve instead of crossing it, both
/// curves bouncing apart), as the columns round the closest one within a couple of pixels of
/// its distance.
std::vector<std::pair<int, int>> meetings(const Rows& a, const Rows& b) {
    std::vector<int> columns;
    std::vector<double> apart;
    for (const auto& [x, y] : a)
        if (const auto other = b.find(x); other != b.end()) {
            columns.push_back(x);
            apart.push_back(std::abs(other->second - y));
        }
    std::vector<std::pair<int, int>> found;
    const int n = int(columns.size());
    for (int i = 0; i < n;) {
        if (apart[std::size_t(i)] > kMeeting) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < n && apart[std::size_t(j + 1)] <= kMeeting &&
               columns[std::size_t(j + 1)] == columns[std::size_t(j)] + 1)
            ++j;
        if (j + 1 < n) // one still open at the end has nothing beyond it to weigh
            found.emplace_back(columns[std::size_t(i)], columns[std::size_t(j)]);
        i = j + 1;
    }
    for (int i = kAround; i + kAround < n; ++i) {
        const double d = apart[std::size_t(i)];
        if (d <= kMeeting || d > kApproach)
            continue;
        bool closest = true;
        for (int k = i - kAround; k <= i + kAround && closest; ++k)
            closest = apart[std::size_t(k)] > d || (apart[std::size_t(k)] == d && k >= i);
        if (!closest)
            continue;
        int first = i, last = i;
        while (first > 0 && apart[std::size_t(first - 1)] <= d + kMeeting)
            --first;
        while (last + 1 < n && apart[std::size_t(last + 1)] <= d + kMeeting)
            ++last;
        found.emplace_back(columns[std::size_t(first)], columns[std::size_t(last)]);
    }
    std::sort(found.begin(), found.end());
    return found;
}

/// Exchanges the parts of a and b right of column `after`.
void swapBeyond(std::vector<QPointF>& a, std::vector<QPointF>& b, int after) {
    const auto beyond = [after](std::vector<QPointF>& c) {
        return std::find_if(c.begin(), c.end(), [after](QPointF p) { return p.x() > after; });
    };
    std::vector<QPointF> tailA(beyond(a), a.end()), tailB(beyond(b), b.end());
    a.erase(beyond(a), a.end());
    b.erase(beyond(b), b.end());
    a.insert(a.end(), tailB.begin(), tailB.end());
    b.insert(b.end(), tailA.begin(), tailA.end());
}

/// The meetings weighed left to right, each on the curves as the swaps before it left them;
/// whether any was swapped.
bool untanglePair(std::vector<QPointF>& a, std::vector<QPointF>& b) {
    bool swappedAny = false;
    int done = std::numeric_limits<int>::min(); // the last column of the meetings weighed
    for (bool more = true; more;) {
        more = false;
        const Rows ra = rowsOf(a), rb = rowsOf(b);
        for (const auto& [first, last] : meetings(ra, rb)) {
            if (first <= done)
                continue;
            done = last;
            const int reach = std::max(30, 2 * (last - first + 1));
            const int from = last + 1, to = last + reach;
            const auto bendA = ParabolaThrough(pointsIn(ra, first - reach, first - 1));
            const auto bendB = ParabolaThrough(pointsIn(rb, first - reach, first - 1));
            if (!bendA || !bendB || int(pointsIn(ra, from, to).size()) < reach / 2 ||
                int(pointsIn(rb, from, to).size()) < reach / 2)
                continue;
            const double kept = missOf(*bendA, ra, from, to) + missOf(*bendB, rb, from, to);
            const double swapped = missOf(*bendA, rb, from, to) + missOf(*bendB, ra, from, to);
            if (swapped < kClearlyBetter * kept) {
                swapBeyond(a, b, last);
                more = swappedAny = true; // the meetings further right are found again
                break;
            }
        }
    }
    return swappedAny;
}

} // namespace

void UntangleMeetings(std::vector<std::vector<QPointF>*>& curves) {
    // A swap between two curves makes meetings of theirs with a third that were not there
    // before: the pairs are gone over again while that changes anything.
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        bool swapped = false;
        for (std::size_t i = 0; i < curves.size(); ++i)
            for (std::size_t j = i + 1; j < curves.size(); ++j)
                swapped = untanglePair(*curves[i], *curves[j]) || swapped;
        if (!swapped)
            break;
    }
}

} // namespace kurvana::chart
