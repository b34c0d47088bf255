#pragma once

#include <array>

namespace kurvana {

/// One ray of the probe star: probe s (1..11) lies at (x + startX + s * stepX,
/// y + startY + s * stepY) from the centre (x, y).
struct ProbeRay {
    int startX, startY, stepX, stepY;
};

constexpr int kProbesPerRay = 11;

/// The eight rays, in the order they are visited. They come in opposite pairs (0/4, 1/5, 2/6,
/// 3/7) along the vertical, the two diagonals and the horizontal, and each passes through the
/// centre at s = 5.
constexpr std::array<ProbeRay, 8> kProbeStar{{
    {0, -5, 0, +1},
    {+5, -5, -1, +1},
    {+5, 0, -1, 0},
    {+5, +5, -1, -1},
    {0, +5, 0, -1},
    {-5, +5, +1, -1},
    {-5, 0, +1, 0},
    {-5, -5, +1, +1},
}};

} // namespace kurvana
