#include "recognition/axes/axisgray.h"

#include <array>

#include <QImage>

namespace kurvana {

GrayPicture ToGrayPicture(const QImage& picture) {
    const QImage rgb =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    GrayPicture gray;
    gray.width = rgb.width();
    gray.height = rgb.height();
    gray.pixels.resize(std::size_t(gray.width) * std::size_t(gray.height));
    std::array<std::int64_t, 256> histogram{};
    for (int y = 0; y < gray.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* out = gray.pixels.data() + std::size_t(y) * std::size_t(gray.width);
        for (int x = 0; x < gray.width; ++x) {
            const QRgb c = row[x];
            const int luma = (qRed(c) * 77 + qGreen(c) * 150 + qBlue(c) * 29) >> 8;
            out[x] = std::uint8_t(luma);
            ++histogram[std::size_t(luma)];
        }
    }
    int paper = 255;
    for (int v = 0; v < 256; ++v)
        if (histogram[std::size_t(v)] > histogram[std::size_t(paper)])
            paper = v;
    gray.paper = paper;
    gray.ink = paper * 5 / 8;
    return gray;
}

} // namespace kurvana
