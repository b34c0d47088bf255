#include "bench/benchprogram.h"

#include <QCoreApplication>
#include <QImageWriter>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/drawing.h"
#include "core/workspace.h"
#include "ui/application.h"

namespace kurvana::bench {

BenchProgram::BenchProgram(long long pixels) : scan_(MakeSyntheticScan(pixels)) {
    for (int slot = 1; slot <= 21; ++slot)
        doc_.texts.setMessage(slot, QString("M%1").arg(slot, 2, 10, QChar('0')));
    bitmapPath_ = folder_.filePath("scan.bmp");
    QImageWriter writer(bitmapPath_, "bmp");
    if (!writer.write(scan_.picture))
        qFatal("cannot write %s: %s", qPrintable(bitmapPath_), qPrintable(writer.errorString()));
    scan_.picture = QImage(); // the program holds its own copy once it has opened the file
    for (int line = 1; line <= kLineCount; ++line)
        points_.at(line) = scan_.pointsOnCurve(line, kPointsPerLine);

    app_ = std::make_unique<KurvanaApplication>(doc_, dialogs_);
    app_->start(folder_.path(), {bitmapPath_}, '.');
    settle();
    doc_.editMinX = "0";
    doc_.editMaxX = "1000";
    doc_.editMinY = "0";
    doc_.editMaxY = "10";
    app_->documentSettingsChanged();
    restoreFullState();
}

BenchProgram::~BenchProgram() = default;

Workspace& BenchProgram::ws() {
    return app_->workspace();
}

long long BenchProgram::pictureBytes() const {
    return doc_.cleanPicture.sizeInBytes();
}

QPoint BenchProgram::plotCentre() const {
    return {(scan_.axisColumn + scan_.plotRight) / 2, (scan_.plotTop + scan_.axisRow) / 2};
}

void BenchProgram::restoreFullState() {
    Document& doc = doc_;
    doc.zeroPointX = scan_.axisColumn;
    doc.zeroPointY = scan_.axisRow;
    doc.xMaxPointX = scan_.plotRight;
    doc.xMaxPointY = scan_.axisRow;
    doc.yMaxPointX = scan_.axisColumn;
    doc.yMaxPointY = scan_.plotTop;
    doc.axisAngle = axisAngleFor(doc);
    doc.nextRow.fill(1);
    for (int line = 1; line <= kLineCount; ++line)
        for (const QPoint& p : points_.at(line))
            doc.appendPoint(line, p.x(), p.y());
    doc.zoneCount = 0;
    doc.handScrollActive = false;
    SelectLine(ws(), 1);
    SetInputMode(ws(), ModeMarks);
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws().view.pictureChanged();
    RefreshValues(ws());
    dialogs_.answers.clear();
    settle();
}

void BenchProgram::settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace kurvana::bench
