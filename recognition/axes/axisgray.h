#pragma once

#include <cstdint>
#include <vector>

class QImage;

namespace kurvana {

/// A chart picture as 8-bit luminance, with the ink threshold of its paper. The axis finder
/// reads pixels many times over; one byte per pixel keeps a 35-megapixel scan at 35 MB and
/// every read a plain index.
struct GrayPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    int paper = 255; ///< the commonest luminance: the background
    int ink = 160;   ///< strictly below this a pixel is ink

    /// Luminance at (x, y); the paper outside the picture.
    int at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return paper;
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    bool dark(int x, int y) const { return at(x, y) < ink; }
    /// How much darker than the paper (x, y) is; 0 for paper and anything lighter.
    int inkWeight(int x, int y) const {
        const int d = paper - at(x, y);
        return d > 0 ? d : 0;
    }
};

/// The luminance of a picture and its ink threshold: halfway between the paper (the commonest
/// luminance) and black, so that the grey edge pixels of anti-aliased strokes of one pixel
/// still count as ink while JPEG ripples on the paper do not.
GrayPicture ToGrayPicture(const QImage& picture);

} // namespace kurvana
