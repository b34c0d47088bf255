#include "core/document.h"

#include <cmath>

namespace kurvana {

Document::Document() {
    setStartupDefaults();
}

long double axisAngleFor(const Document& doc) {
    if (doc.zeroPointY == doc.xMaxPointY)
        return 0.0L;
    // A vertical X axis divides by zero here: the quotient is an infinity and the arc tangent
    // gives exactly +-pi/2, a consistent frame.
    const long double rise = static_cast<long double>(doc.zeroPointY) - doc.xMaxPointY;
    const long double run = static_cast<long double>(doc.xMaxPointX) - doc.zeroPointX;
    return std::atan(rise / run);
}

void Document::setStartupDefaults() {
    cursorIndex = 3;
    autoCorrectOn = true;
    lastZoneX = lastZoneY = 0;
    currentLine = 1;
    viewScale = 1.0L;
    inputMode = ModeMarks;
    zeroPointX = 252;
    zeroPointY = 727;
    xMaxPointX = 874;
    xMaxPointY = 368;
    yMaxPointX = 59;
    yMaxPointY = 395;
    axisAngle = axisAngleFor(*this);
    nextRow.fill(1);
    handScrollActive = false;
    pictureCursor = 3; // the hand
    checkedCursorItem = 3;
    checkedScaleItem = 4;
}

void Document::resetForNewPicture() {
    dataFileName.clear();
    inkThresholdR = inkThresholdG = inkThresholdB = 200;
    viewScale = 1.0L;
    checkedScaleItem = 4;
    pictureWidth = workingPicture.width();
    pictureHeight = workingPicture.height();
    inputMode = ModeMarks;
    pictureCursor = cursorIndex - 1;
    zeroPointX = 50;
    zeroPointY = 200;
    xMaxPointX = 200;
    xMaxPointY = 200;
    yMaxPointX = 50;
    yMaxPointY = 50;
    axisAngle = std::atan(0.0L / 150.0L);
    frame = CalibrationFrame::ThreePoint;
    nextRow.fill(1); // the old rows stay in the tables, free
}

void Document::appendPoint(int line, int x, int y) {
    const int row = nextRow.at(line);
    flag(line, row) = 1;
    pointX(line, row) = x;
    pointY(line, row) = y;
    extras(line, row) = {};
    nextRow.at(line) = row + 1;
}

void Document::clearSeries(int line) {
    for (auto& row : pointExtras)
        row.at(line - 1) = {};
    lineInfo.at(line) = {};
}

void Document::removeRow(int line, int row) {
    const int last = nextRow.at(line) - 1;
    for (int r = row; r < last; ++r) {
        flag(line, r) = flag(line, r + 1);
        pointX(line, r) = pointX(line, r + 1);
        pointY(line, r) = pointY(line, r + 1);
        extras(line, r) = extras(line, r + 1);
    }
    if (row <= last)
        extras(line, last) = {};
    nextRow.at(line) = last;
}

} // namespace kurvana
