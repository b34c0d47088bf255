#include "core/axistext.h"

#include <cmath>
#include <optional>
#include <utility>

#include <QLocale>

#include "core/datetime.h"
#include "core/document.h"
#include "core/numbers.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

std::optional<double> DayCountOfText(const Document& doc, const QString& text) {
    if (const std::optional<double> date = ParseDayCount(text, QLocale()))
        return date;
    return parseFloat(text, doc.decimalSeparator);
}

/// The precision of the axis as the values typed for it span it.
DatePrecision AxisPrecision(const Document& doc, AxisName axis) {
    const double span =
        axis == AxisName::X ? doc.axisXMax - doc.axisXMin : doc.axisYMax - doc.axisYMin;
    return std::isfinite(span) && span != 0 ? PrecisionForSpan(span) : DatePrecision::Seconds;
}

/// The coarsest precision that shows a stored day count exactly.
DatePrecision ExactPrecision(double dayCount) {
    const double seconds = std::nearbyint(dayCount * 86400);
    if (std::fmod(seconds, 86400) == 0)
        return DatePrecision::Days;
    return std::fmod(seconds, 60) == 0 ? DatePrecision::Minutes : DatePrecision::Seconds;
}

} // namespace

bool IsDateAxis(const Document& doc, AxisName axis) {
    return (axis == AxisName::X ? doc.scaleX : doc.scaleY) == ScaleKind::Date;
}

double ParseAxisText(const Document& doc, AxisName axis, const QString& text) {
    if (!IsDateAxis(doc, axis))
        return parseFloatOrThrow(text, doc.decimalSeparator);
    if (const std::optional<double> day = DayCountOfText(doc, text))
        return *day;
    throw CommandError(doc.texts.extra(ExtraText::NotADate).arg(text));
}

QString AxisValueText(const Document& doc, AxisName axis, double value) {
    if (IsDateAxis(doc, axis))
        return FormatDayCount(value, AxisPrecision(doc, axis));
    return formatTableNumber(value, doc.decimalSeparator, doc.scientificFormat);
}

QString ReadoutText(const Document& doc, AxisName axis, double value) {
    return IsDateAxis(doc, axis) ? AxisValueText(doc, axis, value)
                                 : formatFixed2(value, doc.decimalSeparator);
}

QString StoredAxisText(const Document& doc, AxisName axis, const QString& typed) {
    if (!IsDateAxis(doc, axis))
        return typed;
    const std::optional<double> day = DayCountOfText(doc, typed);
    return day ? formatGeneral(*day, doc.decimalSeparator) : typed;
}

bool RetypeAxisTexts(Document& doc, AxisName axis, ScaleKind kind) {
    const bool wasDate = IsDateAxis(doc, axis);
    if (wasDate == (kind == ScaleKind::Date))
        return false;
    QString& max = axis == AxisName::X ? doc.editMaxX : doc.editMaxY;
    QString& min = axis == AxisName::X ? doc.editMinX : doc.editMinY;
    const QString oldMax = max, oldMin = min;
    if (wasDate) {
        max = StoredAxisText(doc, axis, max);
        min = StoredAxisText(doc, axis, min);
    } else {
        ScaleKind& held = axis == AxisName::X ? doc.scaleX : doc.scaleY;
        const ScaleKind before = std::exchange(held, ScaleKind::Date);
        max = ShownAxisText(doc, axis, max);
        min = ShownAxisText(doc, axis, min);
        held = before;
    }
    return max != oldMax || min != oldMin;
}

QString ShownAxisText(const Document& doc, AxisName axis, const QString& stored) {
    if (!IsDateAxis(doc, axis))
        return stored;
    const std::optional<double> day = parseFloat(stored, doc.decimalSeparator);
    return day && std::isfinite(*day) ? FormatDayCount(*day, ExactPrecision(*day)) : stored;
}

} // namespace kurvana
