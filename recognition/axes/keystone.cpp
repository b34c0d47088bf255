#include "recognition/axes/keystone.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "core/calibrationframe.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/workspace.h"
#include "recognition/axes/findaxes.h"

namespace kurvana {

namespace {

/// The values along a straight line of a plane seen in perspective: an Input window number u
/// (an exponent on a logarithmic axis) at position t is (a t' + b) / (c t' + 1) in coordinates
/// centred and scaled on the labels, so that the fit is well conditioned. c = 0 is the evenly
/// spaced axis of a chart seen square on.
struct PerspectiveRule {
    bool logarithmic = false;
    double t0 = 0, ts = 1, u0 = 0, us = 1;
    double a = 1, b = 0, c = 0;
    std::vector<std::size_t> fitting; ///< indices into the axis's labels

    double alongOf(double u) const {
        const double v = (u - u0) / us;
        return t0 + ts * (v - b) / (a - c * v);
    }
    /// How much the scale changes over [first, last]: the log of the ratio of the pixels per
    /// unit at the two ends (0 seen square on). Infinite when the horizon lies between.
    double scaleChange(double first, double last) const {
        const double w0 = 1 + c * (first - t0) / ts, w1 = 1 + c * (last - t0) / ts;
        if (w0 <= 0 || w1 <= 0)
            return INFINITY;
        return 2 * std::abs(std::log(w0 / w1));
    }
};

struct Sample {
    double t, u;
    std::size_t label;
};

/// Solves the 3 x 3 system m x = r; nothing when it is singular.
std::optional<std::array<double, 3>> solve(std::array<std::array<double, 3>, 3> m,
                                           std::array<double, 3> r) {
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 3; ++row)
            if (std::abs(m[row][col]) > std::abs(m[pivot][col]))
                pivot = row;
        if (std::abs(m[pivot][col]) < 1e-12)
            return std::nullopt;
        std::swap(m[col], m[pivot]);
        std::swap(r[col], r[pivot]);
        for (int row = 0; row < 3; ++row) {
            if (row == col)
                continue;
            const double f = m[row][col] / m[col][col];
            for (int k = 0; k < 3; ++k)
                m[row][k] -= f * m[col][k];
            r[row] -= f * r[col];
        }
    }
    return std::array<double, 3>{r[0] / m[0][0], r[1] / m[1][1], r[2] / m[2][2]};
}

/// The least-squares rule through the samples chosen (a t + b - c t u = u, linear in a, b, c).
bool fitThrough(PerspectiveRule& rule, const std::vector<Sample>& samples,
                const std::vector<std::size_t>& chosen) {
    std::array<std::array<double, 3>, 3> m{};
    std::array<double, 3> r{};
    for (std::size_t i : chosen) {
        const double t = (samples[i].t - rule.t0) / rule.ts;
        const double u = (samples[i].u - rule.u0) / rule.us;
        const std::array<double, 3> row{t, 1, -t * u};
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k)
                m[j][k] += row[j] * row[k];
            r[j] += row[j] * u;
        }
    }
    const auto x = solve(m, r);
    if (!x)
        return false;
    std::tie(rule.a, rule.b, rule.c) = std::tie((*x)[0], (*x)[1], (*x)[2]);
    return true;
}

std::vector<std::size_t> followers(const PerspectiveRule& rule, const std::vector<Sample>& s,
                                   double tolerance) {
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::abs(rule.alongOf(s[i].u) - s[i].t) <= tolerance)
            inside.push_back(i);
    return inside;
}

/// The rule most samples follow, each within 1.5 pixels (or 0.2 % of the labelled length) of
/// its tick, tried through every three samples and refitted on its followers: a misread label
/// falls out. At least four followers, and more than half: three always fit.
std::optional<PerspectiveRule> fitSamples(const std::vector<Sample>& s, bool logarithmic) {
    if (s.size() < 4)
        return std::nullopt;
    PerspectiveRule rule;
    rule.logarithmic = logarithmic;
    const auto [tLow, tHigh] = std::minmax_element(
        s.begin(), s.end(), [](const Sample& a, const Sample& b) { return a.t < b.t; });
    const auto [uLow, uHigh] = std::minmax_element(
        s.begin(), s.end(), [](const Sample& a, const Sample& b) { return a.u < b.u; });
    rule.t0 = (tLow->t + tHigh->t) / 2, rule.ts = std::max(1.0, (tHigh->t - tLow->t) / 2);
    rule.u0 = (uLow->u + uHigh->u) / 2, rule.us = (uHigh->u - uLow->u) / 2;
    if (rule.us <= 0)
        return std::nullopt;
    const double tolerance = std::max(1.5, 0.002 * 2 * rule.ts);
    std::vector<std::size_t> best;
    for (std::size_t i = 0; i < s.size(); ++i)
        for (std::size_t j = i + 1; j < s.size(); ++j)
            for (std::size_t k = j + 1; k < s.size(); ++k) {
                PerspectiveRule trial = rule;
                if (!fitThrough(trial, s, {i, j, k}))
                    continue;
                std::vector<std::size_t> inside = followers(trial, s, tolerance);
                if (inside.size() > best.size())
                    best = std::move(inside);
            }
    if (best.size() < 4 || best.size() * 2 <= s.size() || !fitThrough(rule, s, best))
        return std::nullopt;
    best = followers(rule, s, tolerance);
    if (best.size() < 4)
        return std::nullopt;
    for (std::size_t i : best)
        rule.fitting.push_back(s[i].label);
    return rule;
}

constexpr double kHorizonMove = 0.006;
constexpr std::size_t kLabelsForHorizon = 5;

/// The rule with its horizon put where `other`, a long line of the same direction on the chart
/// (the opposite side of the frame, a grid line), meets the axis: those lines meet at the
/// axis's vanishing point, and a long straight stroke places it far better than the spacing of
/// a few ticks does. Nothing when the labels do not follow the rule so placed (the stroke is a
/// curve, or not parallel on the page).
std::optional<PerspectiveRule> throughLine(const PerspectiveRule& rule, const AxisReading& axis,
                                           const AxisLine& other) {
    const AxisLine& line = *axis.line;
    PerspectiveRule placed = rule;
    const double converging = line.slope - other.slope;
    const double horizon =
        std::abs(converging) < 1e-9 ? INFINITY : (other.offset - line.offset) / converging;
    placed.c = std::isfinite(horizon) ? -rule.ts / (horizon - rule.t0) : 0;
    // a t' + b = u (c t' + 1): linear in a and b once c is known.
    double stt = 0, st = 0, n = 0, stu = 0, su = 0;
    for (std::size_t i : rule.fitting) {
        const double t = (axis.labels[i].along - rule.t0) / rule.ts;
        const double u =
            ((placed.logarithmic ? std::log10(*axis.labels[i].value) : *axis.labels[i].value) -
             rule.u0) /
            rule.us * (placed.c * t + 1);
        stt += t * t, st += t, n += 1, stu += t * u, su += u;
    }
    const double det = stt * n - st * st;
    if (std::abs(det) < 1e-12)
        return std::nullopt;
    placed.a = (stu * n - st * su) / det;
    placed.b = (stt * su - st * stu) / det;
    const double tolerance = std::max(1.5, 0.002 * 2 * rule.ts);
    for (std::size_t i : rule.fitting) {
        const double u =
            placed.logarithmic ? std::log10(*axis.labels[i].value) : *axis.labels[i].value;
        if (!(std::abs(placed.alongOf(u) - axis.labels[i].along) <= tolerance))
            return std::nullopt;
    }
    return placed;
}

/// The rule refined by the line of the same direction farthest from the axis that agrees with
/// the labels, when there is one; nothing when there is none and too few labels place the
/// horizon by themselves.
std::optional<PerspectiveRule> refinedByLines(const PerspectiveRule& rule, const AxisReading& axis,
                                              const std::vector<AxisLine>& lines) {
    const AxisLine& line = *axis.line;
    const double middle = (line.start + line.end) / 2;
    std::optional<PerspectiveRule> best;
    if (rule.fitting.size() >= kLabelsForHorizon)
        best = rule;
    double farthest = 0;
    for (const AxisLine& other : lines) {
        const double apart = std::abs(other.acrossAt(middle) - line.acrossAt(middle));
        // A side of the frame or a grid line spans about the axis's length (less where the
        // page recedes); a short straight piece of a curve does not.
        const double eighth = line.length() / 8;
        const bool spans = other.start < line.start + eighth && other.end > line.end - eighth;
        if (apart <= farthest || apart < 20 || !spans)
            continue;
        const auto placed = throughLine(rule, axis, other);
        // The line refines the horizon the ticks place; it does not move it far (a change of
        // 0.006 is about a 2.5 % change of scale over the labelled length).
        if (placed && std::abs(placed->c - rule.c) <= kHorizonMove) {
            best = *placed;
            farthest = apart;
        }
    }
    return best;
}

/// The perspective rule of an axis's labels, linear or logarithmic: the one more labels follow,
/// the scale the square-on rule chose on a tie.
std::optional<PerspectiveRule> fitAxis(const AxisReading& axis) {
    std::vector<Sample> linear, logarithmic;
    bool positive = true;
    for (std::size_t i = 0; i < axis.labels.size(); ++i)
        if (const auto& v = axis.labels[i].value) {
            linear.push_back({axis.labels[i].along, *v, i});
            positive = positive && *v > 0;
            if (*v > 0)
                logarithmic.push_back({axis.labels[i].along, std::log10(*v), i});
        }
    auto lin = fitSamples(linear, false);
    auto log = positive ? fitSamples(logarithmic, true) : std::nullopt;
    if (lin && log) {
        if (lin->fitting.size() != log->fitting.size())
            return lin->fitting.size() > log->fitting.size() ? lin : log;
        return axis.logarithmic ? log : lin;
    }
    return lin ? lin : log;
}

/// The degrees by which the two axis lines miss being perpendicular.
double skewDegrees(const AxisLine& level, const AxisLine& upright) {
    const double dot = level.slope + upright.slope;
    const double norms = std::hypot(1.0, level.slope) * std::hypot(1.0, upright.slope);
    return std::asin(std::min(1.0, std::abs(dot) / norms)) * 180 / std::numbers::pi;
}

using Homogeneous = std::array<double, 3>;

Homogeneous cross(const Homogeneous& p, const Homogeneous& q) {
    return {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
}

Homogeneous homogeneous(QPointF p) {
    return {p.x(), p.y(), 1};
}

/// Where the lines of the other axis's direction meet on this axis's line, seen from the
/// plane: the picture of this axis's point at infinity (a direction when the axis is evenly
/// spaced).
Homogeneous vanishingPoint(const AxisLine& line, const PerspectiveRule& rule) {
    const QPointF q0 = line.pointAt(rule.t0);
    const QPointF d = line.pointAt(1) - line.pointAt(0);
    return {rule.c * q0.x() - rule.ts * d.x(), rule.c * q0.y() - rule.ts * d.y(), rule.c};
}

/// The picture of the values (x, y): where the line of constant x (from its tick on the X axis
/// towards the Y axis's vanishing point) meets the line of constant y.
std::optional<QPoint> cornerAt(const AxisReading& xa, const PerspectiveRule& xr, double x,
                               const AxisReading& ya, const PerspectiveRule& yr, double y) {
    const Homogeneous alongY =
        cross(homogeneous(xa.line->pointAt(xr.alongOf(x))), vanishingPoint(*ya.line, yr));
    const Homogeneous alongX =
        cross(homogeneous(ya.line->pointAt(yr.alongOf(y))), vanishingPoint(*xa.line, xr));
    const Homogeneous corner = cross(alongY, alongX);
    if (std::abs(corner[2]) < 1e-12)
        return std::nullopt;
    const double px = corner[0] / corner[2], py = corner[1] / corner[2];
    if (!(std::abs(px) < 1e7 && std::abs(py) < 1e7))
        return std::nullopt;
    return QPoint(int(std::lround(px)), int(std::lround(py)));
}

/// The axis read under the perspective rule: its labels marked, the reference ticks on the
/// first and last labels following it (the lowest first on the Y axis).
void takeRule(AxisReading& axis, const PerspectiveRule& rule) {
    axis.status = AxisStatus::Found;
    axis.logarithmic = rule.logarithmic;
    for (AxisLabel& label : axis.labels)
        label.used = false;
    const AxisLabel* first = nullptr;
    const AxisLabel* last = nullptr;
    for (std::size_t i : rule.fitting) {
        AxisLabel& label = axis.labels[i];
        label.used = true;
        if (!first || label.along < first->along)
            first = &label;
        if (!last || label.along > last->along)
            last = &label;
    }
    if (axis.line->upright)
        std::swap(first, last);
    axis.firstAlong = first->along;
    axis.lastAlong = last->along;
    axis.firstValue = InputValue(*first->value, rule.logarithmic);
    axis.lastValue = InputValue(*last->value, rule.logarithmic);
}

/// Scale changes and skews smaller than these are what the line and tick fits of a chart seen
/// square on give; a photographed page shows several times more.
constexpr double kScaleChange = 0.08;
constexpr double kSkewDegrees = 0.4;

} // namespace

void ProposePerspectiveFrame(AxisProposal& p, const std::vector<AxisLine>& level,
                             const std::vector<AxisLine>& upright) {
    if (!p.x.line || !p.y.line)
        return;
    auto xRule = fitAxis(p.x);
    auto yRule = fitAxis(p.y);
    if (!xRule || !yRule)
        return;
    const auto span = [](const AxisReading& axis, const PerspectiveRule& rule) {
        double low = INFINITY, high = -INFINITY;
        for (std::size_t i : rule.fitting) {
            low = std::min(low, axis.labels[i].along);
            high = std::max(high, axis.labels[i].along);
        }
        return rule.scaleChange(low, high);
    };
    const bool atAnAngle = span(p.x, *xRule) > kScaleChange || span(p.y, *yRule) > kScaleChange ||
                           skewDegrees(*p.x.line, *p.y.line) > kSkewDegrees;
    if (!atAnAngle || !std::isfinite(span(p.x, *xRule)) || !std::isfinite(span(p.y, *yRule)))
        return;
    xRule = refinedByLines(*xRule, p.x, level);
    yRule = refinedByLines(*yRule, p.y, upright);
    // Four labels alone fit the three numbers of the rule with one to spare: too weak a check
    // to place the horizon of a bare axis.
    if (!xRule || !yRule)
        return;
    AxisReading x = p.x, y = p.y;
    takeRule(x, *xRule);
    takeRule(y, *yRule);
    const double x0 = *x.firstValue, x1 = *x.lastValue, y0 = *y.firstValue, y1 = *y.lastValue;
    PerspectiveProposal frame;
    const std::array<std::pair<double, double>, 4> values{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [vx, vy] = values[i];
        const auto corner = cornerAt(x, *xRule, vx, y, *yRule, vy);
        if (!corner)
            return;
        frame.points[i] = *corner;
        frame.values[i] = QPointF(vx, vy);
    }
    p.x = std::move(x);
    p.y = std::move(y);
    p.perspective = frame;
}

void ApplyPerspectiveProposal(Workspace& ws, const AxisProposal& p) {
    Document& doc = ws.doc;
    const auto text = [&](double value) {
        return QString::number(value, 'g', 15).replace('.', doc.decimalSeparator);
    };
    PerspectiveCalibration frame;
    for (std::size_t i = 0; i < 4; ++i) {
        frame.pointX[i] = p.perspective->points[i].x();
        frame.pointY[i] = p.perspective->points[i].y();
        frame.editX[i] = text(p.perspective->values[i].x());
        frame.editY[i] = text(p.perspective->values[i].y());
    }
    ToggleAxes(doc);
    doc.perspective = frame;
    doc.scaleX = p.x.logarithmic ? ScaleKind::Log10 : ScaleKind::Linear;
    doc.scaleY = p.y.logarithmic ? ScaleKind::Log10 : ScaleKind::Linear;
    doc.frame = CalibrationFrame::Perspective;
    doc.framePoint = 0;
    ReadFrameTexts(doc);
    ToggleAxes(doc);
    ws.view.documentSettingsChanged();
    ws.view.pictureChanged();
    ws.view.controlsChanged();
}

} // namespace kurvana
