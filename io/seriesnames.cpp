#include "io/seriesnames.h"

#include <array>

namespace kurvana {

namespace {

constexpr std::array<const char*, 4> kKindNames{"", "curve", "markers", "bars"};

} // namespace

QString SeriesKindName(SeriesKind kind) {
    return kKindNames.at(std::size_t(kind));
}

SeriesKind SeriesKindNamed(const QString& name) {
    for (std::size_t i = 1; i < kKindNames.size(); ++i)
        if (name == kKindNames[i])
            return SeriesKind(i);
    return SeriesKind::Unspecified;
}

QString ColourName(QRgb colour) {
    return QString("#%1").arg(colour & 0xFFFFFFu, 6, 16, QChar('0'));
}

std::optional<QRgb> ColourNamed(const QString& name) {
    bool ok = false;
    const uint rgb = name.mid(1).toUInt(&ok, 16);
    if (name.size() != 7 || !name.startsWith('#') || !ok)
        return std::nullopt;
    return qRgb(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
}

} // namespace kurvana
