// A .gra data file from outside: read, checked, and taken into a document the way Open Data does
// (marks and axes drawn, values recomputed). A file that reads back must also write back to
// bytes that read as the same content.
#include <cstddef>
#include <cstdint>

#include "core/calibration.h"
#include "core/drawing.h"
#include "fuzzinput.h"
#include "fuzzworkspace.h"
#include "io/datafile.h"

using namespace kurvana;

namespace {

bool SameContent(const DataFileContent& a, const DataFileContent& b) {
    return a.pictureCopyName == b.pictureCopyName && a.editMinX == b.editMinX &&
           a.editMaxX == b.editMaxX && a.editMinY == b.editMinY && a.editMaxY == b.editMaxY &&
           a.zeroPointX == b.zeroPointX && a.zeroPointY == b.zeroPointY &&
           a.xMaxPointX == b.xMaxPointX && a.xMaxPointY == b.xMaxPointY &&
           a.yMaxPointX == b.yMaxPointX && a.yMaxPointY == b.yMaxPointY && a.lines == b.lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static const Texts texts;
    DataFileContent content;
    try {
        content = ParseDataFile(bytes, "fuzz.gra", texts);
    } catch (const CommandError&) {
        return 0; // refused with a message: the document is not touched
    }
    for (int line = 1; line <= kLineCount; ++line)
        fuzz::Require(content.lines.at(line).size() <= std::size_t(kLastRow), "rows per line");

    // What was read writes back to the same content (when its texts can be stored at all).
    if (const auto written = DataFileBytes(content)) {
        const DataFileContent again = ParseDataFile(*written, "again.gra", texts);
        fuzz::Require(SameContent(content, again), "data file round trip");
    }

    // Open Data on a small picture: both decimal separators, as the system may have either.
    fuzz::FuzzWorkspace f(fuzz::WhitePicture(64, 48));
    Document& doc = *f.doc;
    doc.decimalSeparator = size % 2 ? ',' : '.';
    ApplyDataFile(doc, content);
    for (int line = 1; line <= kLineCount; ++line)
        fuzz::Require(doc.nextRow.at(line) >= 1 && doc.nextRow.at(line) <= kLastRow + 1,
                      "nextRow within the table");
    RedrawMarks(doc);
    ToggleAxes(doc);
    runCommand(f.ws, [&] { RefreshValues(f.ws); });
    // Taking the axes off again gives the picture with the marks alone.
    ToggleAxes(doc);
    const QImage withAxesOff = doc.workingPicture;
    RedrawMarks(doc);
    fuzz::Require(withAxesOff == doc.workingPicture, "axes drawing toggles off exactly");
    return 0;
}
