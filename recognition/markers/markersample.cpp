#include "recognition/markers/markersample.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>
#include <limits>

#include <QImage>

namespace kurvana::markers {

namespace {

/// The paper is the commonest colour of a square this much around the click either way: twice
/// the largest marker, so that even a filled one covers less than half of it.
constexpr int kPaperRadius = 40;
/// How far from the click the sample's ink may start.
constexpr int kClickReach = 15;
/// A component differing this much from the paper is the marker's colour being looked for.
constexpr double kInkContrast = 80;
/// Half the side of the window the sample is cut from: the largest marker with room for the
/// lines that run through it to show as long.
constexpr int kWindowRadius = 48;
/// A line is this much longer than the marker it runs through: a cross's arms (1.41 of the
/// marker's side) and an outline's straight edges stay.
constexpr double kLineOverMarker = 1.6;
constexpr int kShortestLine = 8;
/// Smallest and largest marker the search takes, pixels.
constexpr int kSmallestMarker = 3;
constexpr int kLargestMarker = 40;

Rgb rgbAt(const QImage& picture, int x, int y) {
    const QRgb p = reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
    return {double(qRed(p)), double(qGreen(p)), double(qBlue(p))};
}

double contrast(const Rgb& colour, const Rgb& paper) {
    const Rgb d = colour - paper;
    return std::max({std::fabs(d.r), std::fabs(d.g), std::fabs(d.b)});
}

/// The pixel nearest to `click` that `accept` takes, within `reach`.
template <typename Accept>
std::optional<QPoint> nearestPixel(QPoint click, int reach, Accept accept) {
    std::optional<QPoint> nearest;
    int nearestSquare = reach * reach + 1;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int square = dx * dx + dy * dy;
            if (square < nearestSquare && accept(click.x() + dx, click.y() + dy)) {
                nearest = QPoint(click.x() + dx, click.y() + dy);
                nearestSquare = square;
            }
        }
    return nearest;
}

/// The marker's full colour: of the pixels around the first one found, the one that goes
/// furthest from the paper (an edge pixel is only partly inked).
Rgb inkColourNear(const QImage& picture, const Rgb& paper, QPoint hit) {
    const Rgb direction = rgbAt(picture, hit.x(), hit.y()) - paper;
    Rgb best = rgbAt(picture, hit.x(), hit.y());
    double bestReach = direction.dot(direction);
    const QRect around = QRect(hit - QPoint(2, 2), QSize(5, 5)).intersected(picture.rect());
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            const Rgb colour = rgbAt(picture, x, y);
            const double reach = (colour - paper).dot(direction);
            if (reach > bestReach) {
                best = colour;
                bestReach = reach;
            }
        }
    return best;
}

/// The ink (weight at least a quarter) reached from `seed`.
std::vector<QPoint> componentFrom(const InkMask& mask, QPoint seed) {
    constexpr std::uint8_t kJoined = 64;
    std::vector<QPoint> pixels;
    if (mask.at(seed.x(), seed.y()) < kJoined)
        return pixels;
    const QRect area = mask.area();
    std::vector<bool> seen(std::size_t(area.width()) * area.height());
    auto mark = [&](QPoint p) {
        const std::size_t i =
            std::size_t(p.y() - area.top()) * area.width() + (p.x() - area.left());
        if (seen[i])
            return false;
        seen[i] = true;
        return true;
    };
    std::deque<QPoint> queue{seed};
    mark(seed);
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        pixels.push_back(p);
        // A gap of one pixel is bridged: where a line crossed the marker's outline, taking
        // the line out may take a pixel of the outline with it.
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint q(p.x() + dx, p.y() + dy);
                if (area.contains(q) && mask.at(q.x(), q.y()) >= kJoined && mark(q))
                    queue.push_back(q);
            }
    }
    return pixels;
}

/// The component nearest to `click` within reach that is more than a shred (the dots a line
/// leaves where its faint pixels stay).
std::vector<QPoint> componentNear(const InkMask& mask, QPoint click) {
    constexpr std::size_t kLeastPixels = 6;
    std::vector<QPoint> inked;
    for (int dy = -kClickReach; dy <= kClickReach; ++dy)
        for (int dx = -kClickReach; dx <= kClickReach; ++dx)
            if (dx * dx + dy * dy <= kClickReach * kClickReach &&
                mask.at(click.x() + dx, click.y() + dy) >= kInkHalf)
                inked.push_back(click + QPoint(dx, dy));
    std::sort(inked.begin(), inked.end(), [&](QPoint a, QPoint b) {
        return QPoint::dotProduct(a - click, a - click) < QPoint::dotProduct(b - click, b - click);
    });
    std::vector<QPoint> tried;
    for (const QPoint& start : inked) {
        if (std::find(tried.begin(), tried.end(), start) != tried.end())
            continue;
        std::vector<QPoint> component = componentFrom(mask, start);
        if (component.size() >= kLeastPixels)
            return component;
        tried.insert(tried.end(), component.begin(), component.end());
    }
    return {};
}

QRect boundsOf(const std::vector<QPoint>& pixels) {
    QRect bounds;
    for (const QPoint& p : pixels)
        bounds |= QRect(p, QSize(1, 1));
    return bounds;
}

/// The marker's ink as it stands without lines: the component at the click once lines at
/// least kLineOverMarker times its own size are taken out.
struct CutOut {
    InkMask cleaned;
    std::vector<QPoint> pixels;
    QRect bounds;
    int lineLength = 0;
};

/// Whether what a shorter line length took away from `before` were lines running out of the
/// marker left (an error bar, a short joining line), not the marker's own sides: most of it
/// lies outside the box of what is left.
bool tookLinesOnly(const CutOut& before, const CutOut& after) {
    const QRect box = after.bounds.adjusted(-1, -1, 1, 1);
    int inside = 0, outside = 0;
    for (const QPoint& p : before.pixels)
        if (after.cleaned.at(p.x(), p.y()) < kInkHalf &&
            before.cleaned.at(p.x(), p.y()) >= kInkHalf)
            ++(box.contains(p) ? inside : outside);
    return outside >= 2 * inside;
}

/// The distance from `click` to the box, 0 inside it.
double distanceToBox(QPoint click, const QRect& box) {
    const int dx = std::max({box.left() - click.x(), 0, click.x() - box.right()});
    const int dy = std::max({box.top() - click.y(), 0, click.y() - box.bottom()});
    return std::hypot(dx, dy);
}

/// Whether what is left still lies at the click: lines taken off a marker leave the marker
/// where the user clicked; sides taken off an outline drawn thick leave a corner beside it.
bool staysAtClick(const CutOut& before, const CutOut& after, QPoint click) {
    constexpr double kNearClick = 1;
    return distanceToBox(click, after.bounds) <=
           std::max(kNearClick, distanceToBox(click, before.bounds));
}

/// Takes off a thin tail still hanging from the marker: half an error bar shorter than the
/// line length tried, or a short joining line. Rows (or columns) at the top or bottom (left or
/// right) whose ink is at most a line wide are a tail when there are more of them than the rest
/// of the ink is wide (a plus's arms are shorter than its crossbar is long). Where `tips` says
/// the marker narrows to a point at that end (a triangle's apex, a diamond's corners), the two
/// rows nearest the rest stay: they are the point, which a bar running into it continues.
struct Tips {
    bool before = false, after = false;
};

bool trimTails(CutOut& cut, bool rows, Tips tips) {
    constexpr int kTipRows = 2;
    auto along = [&](QPoint p) { return rows ? p.y() : p.x(); };
    auto across = [&](QPoint p) { return rows ? p.x() : p.y(); };
    const int first = rows ? cut.bounds.top() : cut.bounds.left();
    const int count = rows ? cut.bounds.height() : cut.bounds.width();
    std::vector<int> low(count, std::numeric_limits<int>::max()), high(count, -1);
    for (const QPoint& p : cut.pixels)
        if (cut.cleaned.at(p.x(), p.y()) >= kInkHalf) {
            const int i = along(p) - first;
            low[i] = std::min(low[i], across(p));
            high[i] = std::max(high[i], across(p));
        }
    auto thin = [&](int i) { return high[i] - low[i] < kWidestLine; };
    // A tail may end in a cap: a few wide rows before the thin ones.
    auto tailFrom = [&](int start, int step) {
        int i = start, capRows = 0;
        for (; capRows < kWidestLine && i >= 0 && i < count && !thin(i); i += step)
            ++capRows;
        int thinRows = 0;
        for (; i >= 0 && i < count && thin(i); i += step)
            ++thinRows;
        return thinRows > 0 ? capRows + thinRows : 0;
    };
    const int head = tailFrom(0, 1);
    const int tail = count - tailFrom(count - 1, -1);
    if (head >= tail)
        return false;
    int restLow = std::numeric_limits<int>::max(), restHigh = -1;
    for (int i = head; i < tail; ++i)
        if (high[i] >= 0) {
            restLow = std::min(restLow, low[i]);
            restHigh = std::max(restHigh, high[i]);
        }
    const int restWidth = restHigh - restLow + 1;
    const int cutBefore = head > restWidth ? head - (tips.before ? kTipRows : 0) : 0;
    const int cutAfter = count - tail > restWidth ? tail + (tips.after ? kTipRows : 0) : count;
    if (cutBefore == 0 && cutAfter == count)
        return false;
    std::erase_if(cut.pixels, [&](QPoint p) {
        const int i = along(p) - first;
        if (i >= cutBefore && i < cutAfter)
            return false;
        cut.cleaned.set(p.x(), p.y(), 0);
        return true;
    });
    cut.bounds = boundsOf(cut.pixels);
    return true;
}

Silhouette silhouetteOf(const InkMask& cleaned, const std::vector<QPoint>& pixels,
                        bool closeGaps = true);

/// Trims the tails off, keeping the points of the shape that is left once they are all off:
/// a circle's top row is narrow too, but the rows of a bar above it are not the circle's.
bool trimWithTips(CutOut& cut) {
    CutOut bare = cut;
    if (!(trimTails(bare, true, {}) | trimTails(bare, false, {})))
        return false;
    const MarkerShape shape = ClassifyShape(silhouetteOf(bare.cleaned, bare.pixels),
                                            silhouetteOf(bare.cleaned, bare.pixels, false));
    const bool diamond = shape == MarkerShape::Diamond;
    if (!diamond && shape != MarkerShape::TriangleUp && shape != MarkerShape::TriangleDown) {
        cut = std::move(bare);
        return true;
    }
    const Tips rows{diamond || shape == MarkerShape::TriangleUp,
                    diamond || shape == MarkerShape::TriangleDown};
    return trimTails(cut, true, rows) | trimTails(cut, false, {diamond, diamond});
}

/// The ink of the cut as a patch: the component and the faint fringe around it.
struct InkPatch {
    QRect area;
    std::vector<std::uint8_t> ink;

    std::uint8_t at(const std::vector<std::uint8_t>& values, int x, int y) const {
        return area.contains(x, y)
                   ? values[std::size_t(y - area.top()) * area.width() + (x - area.left())]
                   : 0;
    }
};

InkPatch patchOf(const CutOut& cut) {
    InkPatch patch{cut.bounds.adjusted(-1, -1, 1, 1), {}};
    const QRect& a = patch.area;
    patch.ink.assign(std::size_t(a.width()) * a.height(), 0);
    for (const QPoint& p : cut.pixels)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = p.x() + dx, y = p.y() + dy;
                patch.ink[std::size_t(y - a.top()) * a.width() + (x - a.left())] =
                    cut.cleaned.at(x, y);
            }
    return patch;
}

/// The copy the ink would hold were it two copies of one marker, the second moved by `shift`:
/// the ink whose counterpart, moved, is inked too (each pixel the weaker of the two). Where the
/// copies lie at least half a marker apart, no pixel of one copy has a counterpart in the other but
/// its own.
std::vector<std::uint8_t> copyOf(const InkPatch& patch, QPoint shift) {
    const QRect& a = patch.area;
    std::vector<std::uint8_t> copy(patch.ink.size());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x) {
            const std::size_t i = std::size_t(y - a.top()) * a.width() + (x - a.left());
            copy[i] = std::min(patch.ink[i], patch.at(patch.ink, x + shift.x(), y + shift.y()));
        }
    return copy;
}

/// How far two copies of the ink one moved by `shift` over the other are from the ink: pixels
/// of half the colour one side where the other has not even a quarter (a copy a fraction of a
/// pixel off changes an edge's weights by less), as a share of the ink.
double reassemblyMisfit(const InkPatch& patch, const std::vector<std::uint8_t>& copy,
                        QPoint shift) {
    constexpr std::uint8_t kFaint = kInkHalf / 2;
    const QRect& a = patch.area;
    int wrong = 0, inked = 0;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x) {
            const std::size_t i = std::size_t(y - a.top()) * a.width() + (x - a.left());
            const std::uint8_t both =
                std::max(copy[i], patch.at(copy, x - shift.x(), y - shift.y()));
            inked += patch.ink[i] >= kInkHalf;
            wrong += (patch.ink[i] >= kInkHalf && both < kFaint) ||
                     (both >= kInkHalf && patch.ink[i] < kFaint);
        }
    return inked ? double(wrong) / inked : 1;
}

QRect inkedBox(const InkPatch& patch, const std::vector<std::uint8_t>& values) {
    QRect box;
    for (int y = patch.area.top(); y <= patch.area.bottom(); ++y)
        for (int x = patch.area.left(); x <= patch.area.right(); ++x)
            if (patch.at(values, x, y) >= kInkHalf)
                box |= QRect(x, y, 1, 1);
    return box;
}

/// How round the ink's spread is: the square root of the ratio of its smaller to its larger
/// second moment. 1 for every marker shape, less for the strip a shape and itself moved along
/// its sides have in common (a square's, a diamond's).
double roundness(const InkPatch& patch, const std::vector<std::uint8_t>& values) {
    double sum = 0, mx = 0, my = 0;
    for (int y = patch.area.top(); y <= patch.area.bottom(); ++y)
        for (int x = patch.area.left(); x <= patch.area.right(); ++x) {
            const double w = patch.at(values, x, y);
            sum += w;
            mx += w * x;
            my += w * y;
        }
    if (sum <= 0)
        return 0;
    mx /= sum;
    my /= sum;
    double xx = 0, yy = 0, xy = 0;
    for (int y = patch.area.top(); y <= patch.area.bottom(); ++y)
        for (int x = patch.area.left(); x <= patch.area.right(); ++x) {
            const double w = patch.at(values, x, y) / sum;
            xx += w * (x - mx) * (x - mx);
            yy += w * (y - my) * (y - my);
            xy += w * (x - mx) * (y - my);
        }
    const double middle = (xx + yy) / 2, spread = std::sqrt((xx - yy) * (xx - yy) / 4 + xy * xy);
    return middle + spread > 0 ? std::sqrt(std::max(0.0, middle - spread) / (middle + spread)) : 0;
}

/// The clicked marker out of a pair that overlap (or touch) each other: the ink is two copies
/// of one shape when a copy of it, moved, reassembles the ink with the other copy. A marker
/// spreads about evenly every way and the copies lie at least about half a marker apart; so a
/// single square is not two rectangles, nor a single diamond two slanted ones, nor a circle
/// two lenses. Of the shifts that reassemble the ink, the one fitting best (and whose marker
/// is roundest) wins; the copy nearer the click is kept. False when the ink is one marker.
bool splitPair(CutOut& cut, QPoint click) {
    constexpr int kSmallestPair = 8;
    constexpr double kMostMisfit = 0.04, kLeastRoundness = 0.8, kLeastApart = 0.45;
    const QRect& b = cut.bounds;
    if (std::max(b.width(), b.height()) < kSmallestPair)
        return false;
    const InkPatch patch = patchOf(cut);
    std::optional<QPoint> best;
    double bestScore = std::numeric_limits<double>::max();
    for (int tx = 0; tx < b.width(); ++tx)
        for (int ty = 1 - b.height(); ty < b.height(); ++ty) {
            if (tx == 0 && ty <= 0)
                continue;
            const QPoint shift(tx, ty);
            const std::vector<std::uint8_t> copy = copyOf(patch, shift);
            const QRect box = inkedBox(patch, copy);
            const int side = std::max(box.width(), box.height());
            const double apart = std::hypot(tx, ty);
            if (box.isEmpty() || apart < kLeastApart * side || apart > side + 1)
                continue;
            const double misfit = reassemblyMisfit(patch, copy, shift);
            if (misfit > kMostMisfit)
                continue;
            const double round = roundness(patch, copy);
            const double score = misfit + 0.1 * (1 - round);
            if (round >= kLeastRoundness && score < bestScore) {
                best = shift;
                bestScore = score;
            }
        }
    if (!best)
        return false;
    // The copy found lies at the pair's first end; the other one is it moved by the shift.
    std::vector<std::uint8_t> copy = copyOf(patch, *best);
    const QRect box = inkedBox(patch, copy);
    const QPointF middle = QRectF(box).center();
    const QPointF moved = middle + QPointF(*best);
    if (QPointF::dotProduct(moved - click, moved - click) <
        QPointF::dotProduct(middle - click, middle - click))
        copy = copyOf(patch, -*best);
    const QRect& a = patch.area;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (cut.cleaned.area().contains(x, y))
                cut.cleaned.set(x, y, patch.at(copy, x, y));
    std::erase_if(cut.pixels,
                  [&](QPoint p) { return cut.cleaned.at(p.x(), p.y()) < kInkHalf / 2; });
    cut.bounds = boundsOf(cut.pixels);
    return !cut.pixels.empty();
}

/// Lines are tried from the window's size down. The marker is the component at the first
/// length that is long enough for its size, or at a shorter one that still is, when what the
/// shorter length took away ran out of it (error bars and joining lines shorter than the
/// window).
std::optional<CutOut> cutOut(const InkMask& mask, QPoint click) {
    std::optional<CutOut> chosen;
    for (double length = 2 * kWindowRadius; length >= kShortestLine; length *= 0.85) {
        CutOut cut{WithoutLines(mask, int(length), kWidestLine), {}, {}, int(length)};
        cut.pixels = componentNear(cut.cleaned, click);
        if (cut.pixels.empty())
            continue;
        cut.bounds = boundsOf(cut.pixels);
        trimWithTips(cut);
        const int size = std::max(cut.bounds.width(), cut.bounds.height());
        // A marker's ink fills at least its outline; a shred left of one is not a marker.
        if (kLineOverMarker * size > length || size < kSmallestMarker ||
            2 * int(cut.pixels.size()) < 3 * size)
            continue;
        if (!chosen || (tookLinesOnly(*chosen, cut) && staysAtClick(*chosen, cut, click))) {
            const bool sameInk = chosen && chosen->bounds == cut.bounds &&
                                 chosen->pixels.size() == cut.pixels.size();
            chosen = std::move(cut);
            // Where the clicked marker overlaps another, that one is split off here: shorter
            // lengths would take the straighter parts of their outlines for lines, leaving
            // shreds of them that look like a marker with its lines taken off.
            if (!sameInk && splitPair(*chosen, click))
                break;
        }
    }
    if (chosen) {
        const int size = std::max(chosen->bounds.width(), chosen->bounds.height());
        chosen->lineLength = std::max(kShortestLine, int(std::ceil(kLineOverMarker * size)));
    }
    return chosen;
}

/// The ink's weights over the silhouette's box and two pixels around it (the component and
/// the faint fringe around it), and the share of the box they fill, the
/// box's sides being the sums of each column's (row's) fullest pixel.
void coverOf(const InkMask& cleaned, const std::vector<QPoint>& pixels, Silhouette& s) {
    s.coverArea = s.box.adjusted(-2, -2, 2, 2);
    const QRect& around = s.coverArea;
    s.cover.assign(std::size_t(around.width()) * around.height(), 0);
    auto at = [&](int x, int y) -> float& {
        return s.cover[std::size_t(y - around.top()) * around.width() + (x - around.left())];
    };
    for (const QPoint& p : pixels)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (around.contains(p.x() + dx, p.y() + dy))
                    at(p.x() + dx, p.y() + dy) = cleaned.at(p.x() + dx, p.y() + dy) / 255.f;
    // Within the outline the shape covers every pixel: its holes, and an outline's inner
    // edge whatever its weight. Only the outer edge covers its pixels partly.
    auto outerEdge = [&](int x, int y) {
        return !s.at(x + 1, y) || !s.at(x - 1, y) || !s.at(x, y + 1) || !s.at(x, y - 1);
    };
    for (int y = s.box.top(); y <= s.box.bottom(); ++y)
        for (int x = s.box.left(); x <= s.box.right(); ++x)
            if (s.at(x, y) && !outerEdge(x, y))
                at(x, y) = 1;
    double mass = 0, width = 0, height = 0;
    std::vector<float> columnMost(around.width());
    for (int y = around.top(); y <= around.bottom(); ++y) {
        float rowMost = 0;
        for (int x = around.left(); x <= around.right(); ++x) {
            const float c = at(x, y);
            mass += c;
            rowMost = std::max(rowMost, c);
            columnMost[x - around.left()] = std::max(columnMost[x - around.left()], c);
        }
        height += rowMost;
    }
    for (float c : columnMost)
        width += c;
    s.coveredFill = width > 0 && height > 0 ? mass / (width * height) : 0;
}

/// The silhouette of the component's ink: pixels of at least half the colour, holes filled.
Silhouette silhouetteOf(const InkMask& cleaned, const std::vector<QPoint>& pixels, bool closeGaps) {
    std::vector<QPoint> inked;
    std::copy_if(pixels.begin(), pixels.end(), std::back_inserter(inked),
                 [&](QPoint p) { return cleaned.at(p.x(), p.y()) >= kInkHalf; });
    Silhouette s{boundsOf(inked), {}, int(inked.size()), 0, 0, 0, {}, {}};
    const QRect& b = s.box;
    // The outline's faint pixels close it too: a thin outline's anti-aliased steps leave
    // gaps between its pixels of half the colour.
    std::vector<bool> ink(std::size_t(b.width()) * b.height());
    for (const QPoint& p : pixels)
        if (b.contains(p))
            ink[std::size_t(p.y() - b.top()) * b.width() + (p.x() - b.left())] = true;
    auto inkAt = [&](int x, int y) {
        return b.contains(x, y) && ink[std::size_t(y - b.top()) * b.width() + (x - b.left())];
    };
    // Paper reached from the box's edge is outside; what it cannot reach is a hole. The paper
    // walks at a pixel's distance from the ink, so that a gap of a pixel or two in an outline
    // (where a line crossing it was taken out) does not open the hole.
    const int reach = closeGaps ? 1 : 0;
    auto barrier = [&](int x, int y) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (inkAt(x + dx, y + dy))
                    return true;
        return false;
    };
    std::vector<bool> outside(ink.size());
    std::deque<QPoint> queue;
    auto visit = [&](int x, int y) {
        if (!b.contains(x, y))
            return;
        const std::size_t i = std::size_t(y - b.top()) * b.width() + (x - b.left());
        if (outside[i] || barrier(x, y))
            return;
        outside[i] = true;
        queue.emplace_back(x, y);
    };
    for (int x = b.left(); x <= b.right(); ++x) {
        visit(x, b.top());
        visit(x, b.bottom());
    }
    for (int y = b.top(); y <= b.bottom(); ++y) {
        visit(b.left(), y);
        visit(b.right(), y);
    }
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        visit(p.x() + 1, p.y());
        visit(p.x() - 1, p.y());
        visit(p.x(), p.y() + 1);
        visit(p.x(), p.y() - 1);
    }
    // The paper next to the ink, held back above, is outside too where it touches outside
    // paper or the box's edge.
    std::vector<bool> ring = outside;
    for (int y = b.top(); y <= b.bottom(); ++y)
        for (int x = b.left(); x <= b.right(); ++x) {
            const std::size_t i = std::size_t(y - b.top()) * b.width() + (x - b.left());
            if (ink[i] || outside[i])
                continue;
            for (const QPoint& n :
                 {QPoint(x + 1, y), QPoint(x - 1, y), QPoint(x, y + 1), QPoint(x, y - 1)})
                if (!b.contains(n) ||
                    outside[std::size_t(n.y() - b.top()) * b.width() + (n.x() - b.left())])
                    ring[i] = true;
        }
    outside = std::move(ring);
    s.inside.resize(ink.size());
    for (std::size_t i = 0; i < ink.size(); ++i) {
        s.inside[i] = !outside[i];
        s.insideCount += s.inside[i];
        s.holeCount += s.inside[i] && !ink[i];
    }
    coverOf(cleaned, pixels, s);
    return s;
}

/// Takes out the rest of lines inside an open marker: the ends of a joining line that stops at
/// the marker's centre are too short to be taken for lines. Thin ink lying deeper inside the
/// silhouette than its outline goes; a filled marker's inside is thick and stays.
void removeInnerLines(CutOut& cut) {
    constexpr int kOutlineDepth = 3;
    Silhouette s = silhouetteOf(cut.cleaned, cut.pixels);
    for (int round = 0; round < kOutlineDepth; ++round) {
        // One step of erosion: a pixel stays inside when its four neighbours are inside.
        std::vector<bool> eroded(s.inside.size());
        for (int y = s.box.top(); y <= s.box.bottom(); ++y)
            for (int x = s.box.left(); x <= s.box.right(); ++x)
                eroded[std::size_t(y - s.box.top()) * s.box.width() + (x - s.box.left())] =
                    s.at(x, y) && s.at(x - 1, y) && s.at(x + 1, y) && s.at(x, y - 1) &&
                    s.at(x, y + 1);
        s.inside = std::move(eroded);
    }
    const InkMask before = cut.cleaned;
    auto thin = [&](int x, int y, int dx, int dy) {
        int run = 1;
        for (int side : {1, -1})
            for (int t = 1;
                 run <= kWidestLine && before.at(x + side * t * dx, y + side * t * dy) >= kInkHalf;
                 ++t)
                ++run;
        return run <= kWidestLine;
    };
    std::erase_if(cut.pixels, [&](QPoint p) {
        if (!s.at(p.x(), p.y()) || !(thin(p.x(), p.y(), 1, 0) || thin(p.x(), p.y(), 0, 1)))
            return false;
        cut.cleaned.set(p.x(), p.y(), 0);
        return true;
    });
}

/// Marks the template's holes (inside the silhouette, not ink) and its reach (the silhouette
/// and two pixels around it: what lies further is a neighbour's, not this marker's concern).
void markHoles(MarkerTemplate& t, const Silhouette& s, const InkMask& cleaned, QPoint anchor) {
    constexpr int kReach = 2;
    t.hole.assign(t.weights.size(), false);
    t.reach = t.box.adjusted(-kReach, -kReach, kReach, kReach);
    t.near.assign(std::size_t(t.reach.width()) * t.reach.height(), false);
    for (int dy = t.reach.top(); dy <= t.reach.bottom(); ++dy)
        for (int dx = t.reach.left(); dx <= t.reach.right(); ++dx) {
            const int x = anchor.x() + dx, y = anchor.y() + dy;
            if (t.box.contains(dx, dy))
                t.hole[t.index(dx, dy)] = s.at(x, y) && cleaned.at(x, y) < kInkHalf;
            bool near = false;
            for (int ny = -kReach; ny <= kReach && !near; ++ny)
                for (int nx = -kReach; nx <= kReach && !near; ++nx)
                    near = s.at(x + nx, y + ny);
            t.near[std::size_t(dy - t.reach.top()) * t.reach.width() + (dx - t.reach.left())] =
                near;
        }
}

/// Whether a pixel of at least half ink touches (x, y).
bool besideInk(const InkMask& cleaned, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (cleaned.at(x + dx, y + dy) >= kInkHalf)
                return true;
    return false;
}

/// The centre of the filled shape: holes (where `withHoles`) weigh fully, ink by its weight, so
/// that anti-aliased edges place it between pixels. Faint ink off the shape's edge is left out:
/// it is the fringe of another colour's marker or line beside it, half matching this colour.
QPointF centreOf(const InkMask& cleaned, const Silhouette& s, bool withHoles) {
    double sum = 0, sumX = 0, sumY = 0;
    const QRect around = s.box.adjusted(-1, -1, 1, 1);
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            const std::uint8_t ink = cleaned.at(x, y);
            const bool hole = withHoles && s.at(x, y) && ink < kInkHalf;
            if (!hole && ink < kInkHalf && !besideInk(cleaned, x, y))
                continue;
            const double w = hole ? 1.0 : ink / 255.0;
            sum += w;
            sumX += w * x;
            sumY += w * y;
        }
    return {sumX / sum, sumY / sum};
}

/// The middle of a triangle's height, where chart programs put its point (its centroid lies a
/// sixth of the height towards the base). Read from the filled shape's rows, each edge at a
/// fraction of a pixel: the base ends where the widest row's ink does, the share of a row
/// beyond it read as the part of a pixel it covers; the apex's first row covers as much of
/// its pixel as it is wide against the row after it.
double middleOfHeight(const InkMask& cleaned, const Silhouette& s, bool apexUp) {
    const QRect around = s.box.adjusted(-1, -1, 1, 1);
    std::vector<double> widths;
    for (int y = around.top(); y <= around.bottom(); ++y) {
        double width = 0;
        for (int x = around.left(); x <= around.right(); ++x)
            width += s.at(x, y) && cleaned.at(x, y) < kInkHalf ? 1.0 : cleaned.at(x, y) / 255.0;
        widths.push_back(width);
    }
    if (!apexUp)
        std::reverse(widths.begin(), widths.end());
    const auto widest = std::max_element(widths.begin(), widths.end());
    double baseEdge = double(widest - widths.begin()) + 0.5;
    for (auto row = widest + 1; row != widths.end(); ++row)
        baseEdge += std::min(1.0, *row / *widest);
    const auto first =
        std::find_if(widths.begin(), widest, [&](double w) { return w > *widest / 50; });
    if (first == widest)
        return std::numeric_limits<double>::quiet_NaN();
    const double apexEdge = double(first - widths.begin()) + 0.5 - std::min(1.0, *first / first[1]);
    const double middle = (apexEdge + baseEdge) / 2;
    return apexUp ? around.top() + middle : around.bottom() - middle;
}

/// The marker's centre: a triangle's at the middle of its height, any other shape's at its
/// centroid (the same for shapes symmetric about their middle).
QPointF markerCentre(const InkMask& cleaned, const Silhouette& s, MarkerShape shape) {
    // A cross or a plus is strokes with no inside: the paper its silhouette closes between
    // the arms near the middle follows its fringe, which is not the same on either side.
    const bool strokes = shape == MarkerShape::Cross || shape == MarkerShape::Plus;
    QPointF centre = centreOf(cleaned, s, !strokes);
    if (shape == MarkerShape::TriangleUp || shape == MarkerShape::TriangleDown)
        if (const double middle = middleOfHeight(cleaned, s, shape == MarkerShape::TriangleUp);
            std::isfinite(middle))
            centre.setY(middle);
    return centre;
}

MarkerTemplate templateOf(const InkMask& cleaned, const std::vector<QPoint>& pixels, QPoint anchor,
                          QPointF centre) {
    const QRect bounds = boundsOf(pixels).adjusted(-1, -1, 1, 1);
    MarkerTemplate t;
    t.box = bounds.translated(-anchor);
    t.weights.assign(std::size_t(t.box.width()) * t.box.height(), 0);
    // The component's pixels and their fringe (anti-aliased edges too faint to join it).
    for (const QPoint& p : pixels)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q = p + QPoint(dx, dy) - anchor;
                if (t.box.contains(q))
                    t.weights[t.index(q.x(), q.y())] = cleaned.at(p.x() + dx, p.y() + dy) / 255.f;
            }
    for (float w : t.weights)
        t.inkSum += w;
    t.centreOffset = centre - QPointF(anchor);
    return t;
}

/// The mean colour of the marker's fully inked pixels, as 0xRRGGBB.
std::uint32_t meanColour(const QImage& picture, const InkMask& cleaned,
                         const std::vector<QPoint>& pixels, const Rgb& fallback) {
    Rgb sum;
    int count = 0;
    for (const QPoint& p : pixels)
        if (cleaned.at(p.x(), p.y()) >= 230) {
            const Rgb c = rgbAt(picture, p.x(), p.y());
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
            ++count;
        }
    const Rgb mean = count ? sum * (1.0 / count) : fallback;
    auto byte = [](double v) { return std::uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    return byte(mean.r) << 16 | byte(mean.g) << 8 | byte(mean.b);
}

} // namespace

std::optional<MarkerSample> CutSample(const QImage& picture, QPoint click, double tolerance) {
    if (!picture.rect().contains(click))
        return std::nullopt;
    const Rgb paper = PaperAround(picture, click.x(), click.y(), kPaperRadius);
    const auto hit = nearestPixel(click, kClickReach, [&](int x, int y) {
        return picture.rect().contains(x, y) &&
               contrast(rgbAt(picture, x, y), paper) >= kInkContrast;
    });
    if (!hit)
        return std::nullopt;
    const Rgb ink = inkColourNear(picture, paper, *hit);
    InkWeight weight(paper, ink, tolerance);
    const QRect window(click - QPoint(kWindowRadius, kWindowRadius),
                       QSize(2 * kWindowRadius + 1, 2 * kWindowRadius + 1));
    const InkMask mask = MatchColour(picture, window, weight);
    auto cut = cutOut(mask, click);
    if (!cut || cut->pixels.empty())
        return std::nullopt;
    removeInnerLines(*cut);
    const Silhouette silhouette = silhouetteOf(cut->cleaned, cut->pixels);
    const int size = std::max(silhouette.box.width(), silhouette.box.height());
    if (size < kSmallestMarker || size > kLargestMarker)
        return std::nullopt;
    const MarkerShape shape =
        ClassifyShape(silhouette, silhouetteOf(cut->cleaned, cut->pixels, false));
    const QPointF centre = markerCentre(cut->cleaned, silhouette, shape);
    const QPoint anchor(int(std::lround(centre.x())), int(std::lround(centre.y())));
    const bool strokes = shape == MarkerShape::Cross || shape == MarkerShape::Plus;
    MarkerKind kind{shape, IsFilled(silhouette) && !strokes, size,
                    meanColour(picture, cut->cleaned, cut->pixels, ink)};
    MarkerTemplate shapeTemplate = templateOf(cut->cleaned, cut->pixels, anchor, centre);
    markHoles(shapeTemplate, silhouette, cut->cleaned, anchor);
    return MarkerSample{kind, std::move(shapeTemplate), weight, paper, ink, cut->lineLength};
}

} // namespace kurvana::markers
