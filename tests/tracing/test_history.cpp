#include <cstring>

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/nudge.h"
#include "tests/core/fixture.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/colourline.h"
#include "tracing/zonesearch.h"

using namespace kurvana;
using kurvana::test::Fixture;

namespace {

QByteArray pictureHash(const QImage& image) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < image.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                    image.width() * 4));
    return hash.result();
}

/// Everything undo must give back, compared bit for bit.
struct DocumentState {
    decltype(Document::pixelTable) pixels;
    decltype(Document::valueTable) values;
    decltype(Document::nextRow) nextRow;
    CalibrationState calibration;
    QByteArray clean, working;

    explicit DocumentState(const Document& doc)
        : pixels(doc.pixelTable), values(doc.valueTable), nextRow(doc.nextRow),
          calibration(CalibrationState::of(doc)), clean(pictureHash(doc.cleanPicture)),
          working(pictureHash(doc.workingPicture)) {}

    bool operator==(const DocumentState& o) const {
        return pixels == o.pixels && std::memcmp(&values, &o.values, sizeof values) == 0 &&
               nextRow == o.nextRow && calibration.sameAs(o.calibration) && clean == o.clean &&
               working == o.working;
    }
};

/// A chart of 500 x 400: X axis on row 350, Y axis on column 40, a curve on row 200, one speck
/// for the clean-up; points on lines 1 and 2, the marks and axes drawn, a history attached.
struct Chart : Fixture {
    History history;

    Chart() : Fixture(500, 400) {
        ws.history = &history;
        for (int x = 0; x < 500; ++x)
            ink(x, 350);
        for (int y = 0; y < 400; ++y)
            ink(40, y);
        for (int x = 60; x < 480; ++x)
            ink(x, 200);
        ink(300, 60);
        for (int x = 100; x <= 400; x += 50) {
            doc.appendPoint(1, x, 200);
            doc.appendPoint(2, x, 210);
        }
        RedrawMarks(doc);
        ToggleAxes(doc);
        RefreshValues(ws);
        history.reset(doc, false);
    }

    void press(int x, int y, unsigned state = LeftButton) {
        QVERIFY(runCommand(ws, [&] { PictureMouseDown(ws, x, y, state); }));
    }
    /// A left press in `mode`, then back to marks.
    void pressIn(int mode, int x, int y) {
        SetInputMode(ws, mode);
        press(x, y);
        SetInputMode(ws, ModeMarks);
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void everyKindOfStepUndoesAndRedoesExactly() {
        const std::vector<std::pair<const char*, std::function<void(Chart&)>>> commands{
            {"add a point", [](Chart& c) { c.press(250, 203); }},
            {"ctrl+click removes", [](Chart& c) { c.press(150, 201, CtrlKey | LeftButton); }},
            {"eraser drag",
             [](Chart& c) {
                 SetInputMode(c.ws, ModeEraser);
                 c.press(100, 200);
                 for (const int x : {150, 200, 250}) {
                     RemoveNearPoints(c.ws, x, 200, 9);
                     RefreshValues(c.ws);
                 }
                 PictureMouseUp(c.ws);
             }},
            {"nudge",
             [](Chart& c) {
                 c.view.onNudgeWindow = [&c] {
                     NudgeSelectedPoint(c.ws, 1, 0);
                     NudgeSelectedPoint(c.ws, 0, -2);
                     FinishNudge(c.ws);
                 };
                 c.press(300, 200, ShiftKey | LeftButton);
             }},
            {"clear line", [](Chart& c) { ClearLineCommand(c.ws); }},
            {"colour line search", [](Chart& c) { FindColourLine(c.ws, SearchBlack, "20"); }},
            {"zone search",
             [](Chart& c) {
                 ButtonPasteLineClick(c.ws);
                 for (const int x : {120, 140, 160})
                     PaintZoneOnMove(c.ws, x, 198);
                 ButtonFindOnLineClick(c.ws);
             }},
            {"automatic digitising", [](Chart& c) { AutomaticDigitising(c.ws, 5); }},
            {"zero point", [](Chart& c) { c.pressIn(ModeZeroPoint, 45, 340); }},
            {"X max point", [](Chart& c) { c.pressIn(ModeXMaxPoint, 450, 330); }},
            {"Y max point", [](Chart& c) { c.pressIn(ModeYMaxPoint, 60, 30); }},
            {"axis values",
             [](Chart& c) {
                 c.doc.editMaxX = "500";
                 c.doc.editMinY = "-3";
                 TakeAxisValues(c.ws);
             }},
            {"clean-up", [](Chart& c) { CleanUpPicture(c.ws); }},
        };
        for (const auto& [name, command] : commands) {
            Chart c;
            const DocumentState before(c.doc);
            command(c);
            QVERIFY2(c.history.stepCount() == 1, name);
            QVERIFY2(c.history.modified(), name);
            const DocumentState after(c.doc);
            QVERIFY2(!(after == before), name);
            c.history.undo(c.ws);
            QVERIFY2(DocumentState(c.doc) == before, name);
            QVERIFY2(!c.history.modified(), name);
            c.history.redo(c.ws);
            QVERIFY2(DocumentState(c.doc) == after, name);
        }
    }

    void undoTextNamesTheStepAndANewChangeDropsTheRedoSteps() {
        Chart c;
        c.doc.currentLine = 2;
        ClearLineCommand(c.ws);
        QCOMPARE(c.history.undoText(c.doc.texts), QString("Undo: clear line 2"));
        QCOMPARE(c.history.redoText(c.doc.texts), QString("Redo"));
        c.press(250, 203);
        c.press(270, 203);
        c.history.undo(c.ws);
        QCOMPARE(c.history.redoText(c.doc.texts), QString("Redo: point on line 2"));
        c.history.markSaved(); // saved with one click undone
        c.press(290, 203);
        QVERIFY(!c.history.canRedo());
        QCOMPARE(c.history.stepCount(), std::size_t(3));
        c.history.undo(c.ws);
        QVERIFY(!c.history.modified()); // back at the saved state
        c.history.undo(c.ws);
        c.history.undo(c.ws);
        QVERIFY(!c.history.canUndo());
        QVERIFY(c.history.modified());
        const DocumentState start(c.doc);
        c.history.undo(c.ws); // nothing left: no change
        QVERIFY(DocumentState(c.doc) == start);
    }

    void randomCommandsUndoneAllReturnToTheStart() {
        Chart c;
        QRandomGenerator random(16);
        const DocumentState start(c.doc);
        for (int i = 0; i < 300; ++i) {
            const int x = random.bounded(45, 490), y = random.bounded(20, 390);
            switch (random.bounded(8)) {
            case 0:
                SetInputMode(c.ws, ModeEraser);
                c.press(x, y);
                RemoveNearPoints(c.ws, x + 15, y, 9);
                PictureMouseUp(c.ws);
                SetInputMode(c.ws, ModeMarks);
                break;
            case 1:
                c.press(x, y, CtrlKey | LeftButton);
                break;
            case 2:
                if (random.bounded(4) == 0)
                    ClearLineCommand(c.ws);
                break;
            case 3:
                SelectLine(c.ws, random.bounded(1, 6));
                break;
            case 4:
                c.pressIn(random.bounded(int(ModeZeroPoint), int(ModeYMaxPoint) + 1), x, y);
                break;
            default:
                c.press(x, y);
            }
        }
        const DocumentState end(c.doc);
        while (c.history.canUndo())
            c.history.undo(c.ws);
        QVERIFY(DocumentState(c.doc) == start);
        while (c.history.canRedo())
            c.history.redo(c.ws);
        QVERIFY(DocumentState(c.doc) == end);
    }

    void thousandClicksOnA35MegapixelScanCostAFewKilobytesEach() {
        Fixture f(7000, 5000);
        History history;
        f.ws.history = &history;
        history.reset(f.doc, false);
        const qint64 cleanKey = f.doc.cleanPicture.cacheKey();
        for (int i = 0; i < 1000; ++i) {
            SelectLine(f.ws, 1 + i / 500);
            QVERIFY(runCommand(f.ws, [&] {
                PictureMouseDown(f.ws, 100 + 6 * (i % 500), 1000 + 20 * (i / 500), LeftButton);
            }));
        }
        QCOMPARE(history.stepCount(), std::size_t(1000));
        QVERIFY2(history.bytes() < 2'000'000, qPrintable(QString::number(history.bytes())));
        QCOMPARE(f.doc.cleanPicture.cacheKey(), cleanKey);
        history.undo(f.ws);
        QCOMPARE(f.doc.pointCount(2), 499);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
