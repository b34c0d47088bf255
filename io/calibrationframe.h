#pragma once

#include <optional>

#include <QJsonObject>
#include <QString>

#include "core/document.h"

namespace kurvana {

struct Document;

/// The document's perspective or polar frame as the JSON `calibration` object:
/// {"frame": "perspective", "points": [four [x, y]], "values": [four [X, Y]], "xscale",
/// "yscale"} or {"frame": "polar", "centre", "reference", "reference_angle",
/// "reference_radius", "centre_radius", "direction": "ccw"|"cw", "angle_unit":
/// "degrees"|"radians", "rscale": "linear"|"log10"}. Pixels as everywhere (whole numbers at
/// pixel centres, y downwards); values as typed (exponents on logarithmic axes). An empty
/// object in the three-point frame, which the export writes in its own form.
QJsonObject FrameToJson(const Document& doc);

/// Takes a frame written by FrameToJson into the document: points, values (and their texts),
/// scale kinds, the frame itself. False, and the document untouched, for an object that is not
/// a complete perspective or polar frame. The caller recomputes the values.
bool FrameFromJson(Document& doc, const QJsonObject& json);

/// Takes any `calibration` object the export writes into the document: a perspective or polar
/// frame (FrameFromJson), or the three-point form {"zero", "xmax", "ymax": [x, y], "xmin_value",
/// "xmax_value", "ymin_value", "ymax_value": numbers (ISO dates on a date axis), "xscale",
/// "yscale"}, which --find-axes writes too. False, and the document untouched, for anything
/// else. The caller reads the axis texts and recomputes the values.
bool CalibrationFromJson(Document& doc, const QJsonObject& json);

/// The name of a scale kind in the JSON forms: "linear", "log10", "ln" or "date".
QString ScaleKindName(ScaleKind kind);
/// The scale kind of such a name, or nothing.
std::optional<ScaleKind> ScaleKindNamed(const QString& name);

} // namespace kurvana
