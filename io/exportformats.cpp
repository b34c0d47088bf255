#include "io/exportformats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include <QJsonDocument>
#include <QStringList>

#include "core/axistext.h"
#include "core/calibration.h"
#include "core/document.h"
#include "core/linedata.h"
#include "core/numbers.h"
#include "io/calibrationframe.h"
#include "io/seriesnames.h"

namespace kurvana {

namespace {

/// 17 significant digits identify every double; QString::number always writes '.', whatever
/// the locale.
QString exactNumber(double value) {
    return QString::number(value, 'g', 17);
}

/// A field quoted as RFC 4180 asks when it holds the separator, a quote or a line break.
QString quotedField(const QString& field, QChar separator) {
    if (!field.contains(separator) && !field.contains('"') && !field.contains('\r') &&
        !field.contains('\n'))
        return field;
    QString doubled = field;
    doubled.replace("\"", "\"\"");
    return '"' + doubled + '"';
}

std::vector<int> nonEmptyLines(const Document& doc) {
    std::vector<int> lines;
    for (int line = 1; line <= kLineCount; ++line)
        if (doc.pointCount(line) > 0)
            lines.push_back(line);
    return lines;
}

/// What a line's export columns hold beyond X and Y: its error-bar ends where any point has
/// them.
struct LineColumns {
    int line = 1;
    bool upright = false, level = false;
};

LineColumns columnsOf(const Document& doc, int line) {
    LineColumns columns{line};
    for (int row = 1; row <= doc.pointCount(line); ++row) {
        columns.upright = columns.upright || doc.extras(line, row).hasUpright();
        columns.level = columns.level || doc.extras(line, row).hasLevel();
    }
    return columns;
}

/// The axis values of a point's error-bar ends: Y of the upright bar's, X of the level bar's
/// (NaN where it has none or the calibration cannot convert them).
struct EndValues {
    double yLow = NAN, yHigh = NAN, xLow = NAN, xHigh = NAN;
};

EndValues endValuesOf(const Document& doc, int line, int row) {
    const PointExtras& e = doc.extras(line, row);
    EndValues values;
    const double px = doc.pointX(line, row), py = doc.pointY(line, row);
    const auto y = [&](double at) {
        const auto v = ValuesAtPosition(doc, {px, at});
        return v ? v->y : NAN;
    };
    const auto x = [&](double at) {
        const auto v = ValuesAtPosition(doc, {at, py});
        return v ? v->x : NAN;
    };
    if (e.hasUpright()) {
        values.yLow = y(e.yLow);
        values.yHigh = y(e.yHigh);
    }
    if (e.hasLevel()) {
        values.xLow = x(e.xLow);
        values.xHigh = x(e.xHigh);
    }
    return values;
}

/// CSV or TSV: a header per non-empty line (X<n>, then the series' name or Y<n>, then
/// Y<n>_low, Y<n>_high and X<n>_low, X<n>_high where its points have error bars), then one row
/// per point depth. A bar's category label stands in its X cell.
QString separatedText(const Document& doc, QChar separator,
                      const std::function<QString(double, AxisName)>& number) {
    const std::vector<int> lines = nonEmptyLines(doc);
    if (lines.empty())
        return {};
    QStringList header;
    std::vector<LineColumns> columns;
    int depth = 0;
    for (const int line : lines) {
        const LineColumns c = columnsOf(doc, line);
        const QString& name = doc.lineInfo.at(line).name;
        header << QString("X%1").arg(line) << (name.isEmpty() ? QString("Y%1").arg(line) : name);
        if (c.upright)
            header << QString("Y%1_low").arg(line) << QString("Y%1_high").arg(line);
        if (c.level)
            header << QString("X%1_low").arg(line) << QString("X%1_high").arg(line);
        columns.push_back(c);
        depth = std::max(depth, doc.pointCount(line));
    }
    for (QString& field : header)
        field = quotedField(field, separator);
    QString text = header.join(separator) + "\r\n";
    for (int row = 1; row <= depth; ++row) {
        QStringList cells;
        for (const LineColumns& c : columns) {
            const int line = c.line;
            const bool present = row <= doc.pointCount(line);
            const auto cell = [&](double value, AxisName axis) {
                return present ? quotedField(number(value, axis), separator) : QString();
            };
            const QString& label = present ? doc.extras(line, row).label : QString();
            cells << (label.isEmpty() ? cell(doc.valueX(line, row), AxisName::X)
                                      : quotedField(label, separator))
                  << cell(doc.valueY(line, row), AxisName::Y);
            const EndValues ends = present ? endValuesOf(doc, line, row) : EndValues{};
            if (c.upright)
                cells << cell(ends.yLow, AxisName::Y) << cell(ends.yHigh, AxisName::Y);
            if (c.level)
                cells << cell(ends.xLow, AxisName::X) << cell(ends.xHigh, AxisName::X);
        }
        text += cells.join(separator) + "\r\n";
    }
    return text;
}

QString jsonString(const QString& text) {
    QString quoted = "\"";
    for (const QChar c : text) {
        if (c == '"' || c == '\\')
            quoted += QString('\\') + c;
        else if (c == '\n')
            quoted += "\\n";
        else if (c == '\r')
            quoted += "\\r";
        else if (c == '\t')
            quoted += "\\t";
        else if (c.unicode() < 0x20)
            quoted += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        else
            quoted += c;
    }
    return quoted + '"';
}

/// JSON has no NaN or infinity: such a value (an overflowing logarithmic axis) becomes null.
QString jsonNumber(double value) {
    return std::isfinite(value) ? exactNumber(value) : QString("null");
}

/// A point's value: a number, or on a date axis its ISO 8601 text.
QString jsonValue(const Document& doc, AxisName axis, double value) {
    return IsDateAxis(doc, axis) && std::isfinite(value)
               ? jsonString(AxisValueText(doc, axis, value))
               : jsonNumber(value);
}

QString jsonPixel(std::int32_t x, std::int32_t y) {
    return QString("[%1, %2]").arg(x).arg(y);
}

QString jsonCalibration(const Document& doc) {
    if (const QJsonObject frame = FrameToJson(doc); !frame.isEmpty())
        return "  \"calibration\": " +
               QString::fromUtf8(QJsonDocument(frame).toJson(QJsonDocument::Compact)) + ",\n";
    return QString("  \"calibration\": {\n"
                   "    \"zero\": %1,\n"
                   "    \"xmax\": %2,\n"
                   "    \"ymax\": %3,\n"
                   "    \"xmin_value\": %4,\n"
                   "    \"xmax_value\": %5,\n"
                   "    \"ymin_value\": %6,\n"
                   "    \"ymax_value\": %7,\n"
                   "    \"xscale\": %8,\n"
                   "    \"yscale\": %9\n"
                   "  },\n")
        .arg(jsonPixel(doc.zeroPointX, doc.zeroPointY), jsonPixel(doc.xMaxPointX, doc.xMaxPointY),
             jsonPixel(doc.yMaxPointX, doc.yMaxPointY), jsonValue(doc, AxisName::X, doc.axisXMin),
             jsonValue(doc, AxisName::X, doc.axisXMax), jsonValue(doc, AxisName::Y, doc.axisYMin),
             jsonValue(doc, AxisName::Y, doc.axisYMax), jsonString(ScaleKindName(doc.scaleX)),
             jsonString(ScaleKindName(doc.scaleY)));
}

QString jsonPoint(const Document& doc, int line, int row) {
    QString point = QString("        {\"x\": %1, \"y\": %2, \"px\": %3, \"py\": %4")
                        .arg(jsonValue(doc, AxisName::X, doc.valueX(line, row)),
                             jsonValue(doc, AxisName::Y, doc.valueY(line, row)))
                        .arg(doc.pointX(line, row))
                        .arg(doc.pointY(line, row));
    const PointExtras& extras = doc.extras(line, row);
    const EndValues ends = endValuesOf(doc, line, row);
    if (extras.hasUpright())
        point += QString(", \"y_low\": %1, \"y_high\": %2")
                     .arg(jsonValue(doc, AxisName::Y, ends.yLow),
                          jsonValue(doc, AxisName::Y, ends.yHigh));
    if (extras.hasLevel())
        point += QString(", \"x_low\": %1, \"x_high\": %2")
                     .arg(jsonValue(doc, AxisName::X, ends.xLow),
                          jsonValue(doc, AxisName::X, ends.xHigh));
    if (!extras.label.isEmpty())
        point += ", \"label\": " + jsonString(extras.label);
    return point + "}";
}

/// The series' name, kind and colour, where the line has them.
QString jsonSeries(const LineInfo& info) {
    QString fields;
    if (!info.name.isEmpty())
        fields += "      \"name\": " + jsonString(info.name) + ",\n";
    if (info.kind != SeriesKind::Unspecified)
        fields += "      \"kind\": " + jsonString(SeriesKindName(info.kind)) + ",\n";
    if (info.colour)
        fields += "      \"colour\": " + jsonString(ColourName(*info.colour)) + ",\n";
    return fields;
}

QString jsonLine(const Document& doc, int line) {
    QStringList points;
    for (int row = 1; row <= doc.pointCount(line); ++row)
        points << jsonPoint(doc, line, row);
    return QString("    {\n      \"line\": %1,\n%2      \"points\": [\n%3\n      ]\n    }")
        .arg(line)
        .arg(jsonSeries(doc.lineInfo.at(line)), points.join(",\n"));
}

QString jsonText(const Document& doc) {
    QStringList lines;
    for (const int line : nonEmptyLines(doc))
        lines << jsonLine(doc, line);
    const QString lineList = lines.isEmpty() ? "[]" : "[\n" + lines.join(",\n") + "\n  ]";
    return "{\n  \"picture\": " + jsonString(doc.pictureFileName) + ",\n" + jsonCalibration(doc) +
           "  \"lines\": " + lineList + "\n}\n";
}

} // namespace

std::optional<ExportFormat> ExportFormatNamed(const QString& name) {
    const QString lower = name.toLower();
    if (lower == "csv")
        return ExportFormat::Csv;
    if (lower == "tsv")
        return ExportFormat::Tsv;
    if (lower == "json")
        return ExportFormat::Json;
    return std::nullopt;
}

ExportFormat ExportFormatOfPath(const QString& path) {
    const QString lower = path.toLower();
    if (lower.endsWith(".json"))
        return ExportFormat::Json;
    if (lower.endsWith(".tsv") || lower.endsWith(".tab") || lower.endsWith(".txt"))
        return ExportFormat::Tsv;
    return ExportFormat::Csv;
}

QString ExportSuffix(ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return "csv";
    case ExportFormat::Tsv:
        return "tsv";
    case ExportFormat::Json:
        return "json";
    case ExportFormat::Clipboard:
        break;
    }
    return "txt";
}

QByteArray ExportText(const Document& doc, ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return separatedText(doc, ',',
                             [&doc](double v, AxisName axis) {
                                 if (!std::isfinite(v))
                                     return QString();
                                 return IsDateAxis(doc, axis) ? AxisValueText(doc, axis, v)
                                                              : exactNumber(v);
                             })
            .toUtf8();
    case ExportFormat::Tsv:
        return separatedText(
                   doc, '\t',
                   [&doc](double v, AxisName axis) { return AxisValueText(doc, axis, v); })
            .toUtf8();
    case ExportFormat::Json:
        return jsonText(doc).toUtf8();
    case ExportFormat::Clipboard:
        break;
    }
    return ClipboardText(doc).toUtf8();
}

int ExportedPointCount(const Document& doc) {
    int count = 0;
    for (int line = 1; line <= kLineCount; ++line)
        count += doc.pointCount(line);
    return count;
}

} // namespace kurvana
