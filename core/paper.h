#pragma once

#include <algorithm>
#include <cmath>

#include <QRgb>

class QImage;

namespace kurvana {

/// A colour, or a difference of colours, as a vector of three components: for the differences
/// and projections that telling ink from paper needs.
struct RgbVector {
    double r = 0, g = 0, b = 0;

    RgbVector operator-(const RgbVector& o) const { return {r - o.r, g - o.g, b - o.b}; }
    RgbVector operator*(double k) const { return {r * k, g * k, b * k}; }
    double dot(const RgbVector& o) const { return r * o.r + g * o.g + b * o.b; }
    double length() const { return std::sqrt(dot(*this)); }
    double largestComponent() const { return std::max({std::fabs(r), std::fabs(g), std::fabs(b)}); }
    /// As a colour, each component rounded and kept within 0..255.
    QRgb rgb() const {
        const auto component = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
        return qRgb(component(r), component(g), component(b));
    }
};

/// The paper's colour around (x, y): the commonest colour (in steps of 16 per component) of the
/// square of half side `radius` around it, as the mean of that step's pixels. Outside the
/// picture is not paper; a square wholly outside gives white.
RgbVector PaperAround(const QImage& picture, int x, int y, int radius);

} // namespace kurvana
