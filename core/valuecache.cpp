#include "core/valuecache.h"

#include <cmath>

namespace kurvana {

namespace {

/// Beyond this many different pixels the cache starts afresh rather than grow without end.
constexpr std::size_t kMaxCachedPixels = 1 << 16;

template <typename T> bool sameNumber(T a, T b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

bool sameFrameNumbers(const std::array<long double, 16>& a, const std::array<long double, 16>& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameNumber(a[i], b[i]))
            return false;
    return true;
}

} // namespace

bool ConversionInputs::sameAs(const ConversionInputs& other) const {
    return zeroPointX == other.zeroPointX && zeroPointY == other.zeroPointY &&
           sameNumber(axisAngle, other.axisAngle) && xAxisLength == other.xAxisLength &&
           yAxisLength == other.yAxisLength && sameNumber(axisXMax, other.axisXMax) &&
           sameNumber(axisXMin, other.axisXMin) && sameNumber(axisYMax, other.axisYMax) &&
           sameNumber(axisYMin, other.axisYMin) && scaleX == other.scaleX &&
           scaleY == other.scaleY && frame == other.frame &&
           sameFrameNumbers(frameNumbers, other.frameNumbers);
}

void ValueCache::useInputs(const ConversionInputs& inputs) {
    if (hasInputs_ && inputs.sameAs(inputs_) && byPixel_.size() <= kMaxCachedPixels)
        return;
    inputs_ = inputs;
    hasInputs_ = true;
    slotKnown_.assign(slotKnown_.size(), false);
    byPixel_.clear();
}

const ConvertedPoint* ValueCache::find(std::size_t slot, std::int32_t x, std::int32_t y) {
    if (slot < bySlot_.size() && slotKnown_[slot] && bySlot_[slot].x == x && bySlot_[slot].y == y)
        return &bySlot_[slot];
    const auto known = byPixel_.find(pixelKey(x, y));
    if (known == byPixel_.end())
        return nullptr;
    const ConvertedPoint point = known->second;
    store(slot, point);
    return &bySlot_[slot];
}

void ValueCache::store(std::size_t slot, const ConvertedPoint& point) {
    if (slot >= bySlot_.size()) {
        bySlot_.resize(slot + 1);
        slotKnown_.resize(slot + 1, false);
    }
    bySlot_[slot] = point;
    slotKnown_[slot] = true;
    byPixel_.emplace(pixelKey(point.x, point.y), point);
}

} // namespace kurvana
