#pragma once

#include <optional>

#include <QRgb>
#include <QString>

#include "core/document.h"

namespace kurvana {

/// The names the exports and the file kept beside a data file give a line's series kind:
/// "curve", "markers", "bars"; empty for a line the user clicked.
QString SeriesKindName(SeriesKind kind);
/// The kind a name gives; Unspecified for any other text.
SeriesKind SeriesKindNamed(const QString& name);

/// A colour as "#rrggbb" (the alpha left out).
QString ColourName(QRgb colour);
/// The colour "#rrggbb" names, opaque; nothing for another text.
std::optional<QRgb> ColourNamed(const QString& name);

} // namespace kurvana
