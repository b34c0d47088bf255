#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kurvana {

/// Everything the axis values of a point depend on besides its pixel.
struct ConversionInputs {
    std::int32_t zeroPointX = 0, zeroPointY = 0;
    long double axisAngle = 0;
    std::int32_t xAxisLength = 0, yAxisLength = 0;
    double axisXMax = 0, axisXMin = 0, axisYMax = 0, axisYMin = 0;
    int scaleX = 0, scaleY = 0;
    int frame = 0;                              ///< CalibrationFrame
    std::array<long double, 16> frameNumbers{}; ///< the perspective or polar frame's numbers

    /// The same numbers with the same signs, so the conversion gives the same bits (a NaN is
    /// never the same as anything).
    bool sameAs(const ConversionInputs& other) const;
};

/// A pixel with its rotated-frame position and axis values, as the conversion gave them.
struct ConvertedPoint {
    std::int32_t x = 0, y = 0;
    std::int32_t u = 0, v = 0;
    double valueX = 0, valueY = 0;
};

/// The values RecomputeValues worked out for the current conversion inputs. They depend on
/// nothing but the pixel and the inputs, so a pixel met again, in the same row or moved there
/// by sorting or erasing, takes them without the trigonometry: RefreshValues runs on every
/// click and every erasing move, over up to five lines of 999 points.
class ValueCache {
public:
    /// Starts a recomputation under `inputs`; values found under other inputs are forgotten.
    void useInputs(const ConversionInputs& inputs);
    /// The values of pixel (x, y) when known. `slot` names the row and line it is stored in.
    const ConvertedPoint* find(std::size_t slot, std::int32_t x, std::int32_t y);
    void store(std::size_t slot, const ConvertedPoint& point);

private:
    static std::uint64_t pixelKey(std::int32_t x, std::int32_t y) {
        return std::uint64_t(std::uint32_t(x)) << 32 | std::uint32_t(y);
    }

    ConversionInputs inputs_;
    bool hasInputs_ = false;
    std::vector<ConvertedPoint> bySlot_;
    std::vector<bool> slotKnown_;
    std::unordered_map<std::uint64_t, ConvertedPoint> byPixel_;
};

} // namespace kurvana
