#pragma once

#include <cstdint>

#include <QImage>
#include <QRgb>

namespace kurvana {

/// A 24-bit colour with red in the low byte, then green, then blue (0x00BBGGRR). Stored files
/// (settings, language) and the searches use this layout.
using Colour = std::uint32_t;

/// What a pixel read outside a picture gives: white in every test.
constexpr Colour kOutsideColour = 0xFFFFFFFFu;

constexpr Colour colourFromRgb(int r, int g, int b) {
    return Colour(r & 0xFF) | Colour(g & 0xFF) << 8 | Colour(b & 0xFF) << 16;
}

/// Converts a Qt pixel (0xAARRGGBB) to the 0x00BBGGRR layout.
constexpr Colour colourFromQRgb(QRgb p) {
    return colourFromRgb(int(p >> 16) & 0xFF, int(p >> 8) & 0xFF, int(p) & 0xFF);
}

/// Converts a 0x00BBGGRR colour to an opaque Qt pixel.
constexpr QRgb qrgbFromColour(Colour c) {
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

/// Colour of the picture pixel (x, y) in 0x00BBGGRR, or kOutsideColour outside the picture.
/// The picture must be Format_RGB32 (every picture the program holds is).
inline Colour pixelColour(const QImage& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return kOutsideColour;
    return colourFromQRgb(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
}

} // namespace kurvana
