// The texts typed into the search windows, on any calibration: the count of the colour line
// search and the From, To and Step of the fixed-step search. A text that is not accepted stops
// the command with a message and changes nothing; an accepted one never leaves the tables.
#include <cstddef>
#include <cstdint>

#include <QImage>

#include "core/calibration.h"
#include "core/numbers.h"
#include "fuzzinput.h"
#include "fuzzworkspace.h"
#include "tracing/colourline.h"
#include "tracing/fixedstep.h"

using namespace kurvana;

namespace {

/// Reference coordinates: mostly on or near a small picture, sometimes anywhere.
int Coordinate(fuzz::FuzzInput& in) {
    const std::uint8_t kind = in.byte();
    if (kind < 200)
        return in.inRange(-20, 120);
    return in.number<std::int32_t>();
}

/// A small picture with a few dark and red strokes, so that the searches find something.
QImage Chart(fuzz::FuzzInput& in) {
    QImage picture = fuzz::WhitePicture(in.inRange(1, 100), in.inRange(1, 100));
    const int strokes = in.inRange(0, 6);
    for (int i = 0; i < strokes; ++i) {
        const QRgb colour = in.byte() % 2 ? qRgb(0, 0, 0) : qRgb(255, 0, 0);
        const int y = in.inRange(0, picture.height() - 1);
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] = colour;
    }
    return picture;
}

void Calibrate(Document& doc, fuzz::FuzzInput& in) {
    doc.zeroPointX = Coordinate(in);
    doc.zeroPointY = Coordinate(in);
    doc.xMaxPointX = Coordinate(in);
    doc.xMaxPointY = Coordinate(in);
    doc.yMaxPointX = Coordinate(in);
    doc.yMaxPointY = Coordinate(in);
    doc.axisAngle = axisAngleFor(doc);
    doc.decimalSeparator = in.byte() % 2 ? ',' : '.';
    doc.editMinX = in.latin1Text(12);
    doc.editMaxX = in.latin1Text(12);
    doc.editMinY = in.latin1Text(12);
    doc.editMaxY = in.latin1Text(12);
}

void CheckTables(const Document& doc) {
    for (int line = 1; line <= kLineCount; ++line)
        fuzz::Require(doc.nextRow.at(line) >= 1 && doc.nextRow.at(line) <= kLastRow + 1,
                      "nextRow within the table");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    fuzz::FuzzWorkspace f(Chart(in));
    Document& doc = *f.doc;
    Calibrate(doc, in);
    doc.currentLine = in.inRange(1, kLineCount);
    doc.searchR = doc.searchG = doc.searchB = 0;

    // Colour line search with the typed count.
    const int kind = in.inRange(1, 3);
    const QString countText = in.latin1Text(12);
    const int before = doc.nextRow.at(doc.currentLine);
    const bool found = runCommand(f.ws, [&] { FindColourLine(f.ws, kind, countText); });
    if (!found && !parseInteger(countText).value_or(0))
        fuzz::Require(doc.nextRow.at(doc.currentLine) == before, "refused count changes nothing");
    CheckTables(doc);

    // Fixed-step search over the points just found (or a few more for a short line).
    for (int i = 0; doc.nextRow.at(doc.currentLine) < 4 && i < 3; ++i)
        doc.appendPoint(doc.currentLine, Coordinate(in), Coordinate(in));
    const QString from = in.latin1Text(10), to = in.latin1Text(10), step = in.latin1Text(10);
    // Each step costs a column scan; long lists are left to the step limit's own test.
    const auto a = parseFloat(from, doc.decimalSeparator);
    const auto b = parseFloat(to, doc.decimalSeparator);
    const auto s = parseFloat(step, doc.decimalSeparator);
    if (a && b && s && *s > 0 && (*b - *a) / *s > 20000)
        return 0;
    runCommand(f.ws, [&] {
        RecomputeValues(doc);
        if (PrepareFixedStepSearch(f.ws))
            FixedStepSearch(f.ws, from, to, step);
    });
    CheckTables(doc);
    return 0;
}
