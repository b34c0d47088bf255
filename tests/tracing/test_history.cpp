#include <QHashFunctions>
#include <QRandomGenerator>
#include <QtTest>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/nudge.h"
#include "recognition/axes/axiscommand.h"
#include "recognition/axes/findaxes.h"
#include "tests/core/fixture.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/colourline.h"
#include "tracing/zonesearch.h"

using namespace kurvana;
using kurvana::test::Fixture;

namespace {

/// A digest of memory: a test keeps one per step of a few hundred, so it must be quick.
std::size_t digest(const void* data, std::size_t bytes, std::size_t seed = 0) {
    return qHashBits(data, bytes, seed);
}

std::size_t pictureHash(const QImage& image) {
    std::size_t hash = 0;
    for (int y = 0; y < image.height(); ++y)
        hash = digest(image.constScanLine(y), std::size_t(image.width()) * 4, hash);
    return hash;
}

/// The working picture as the document's state draws it from scratch: the clean picture, the
/// marks in the order of the lines and rows, the axes. A click draws its mark over the others,
/// so where marks overlap the picture shown before a step can differ from this; the picture an
/// undo shows is this one.
QImage drawnAfresh(const Document& doc) {
    Document copy = doc;
    copy.workingPicture = QImage();
    RedrawMarks(copy);
    ToggleAxes(copy);
    return copy.workingPicture;
}

enum class Picture { AsShown, DrawnAfresh };

/// Everything undo must give back, compared bit for bit: the point tables, the calibration
/// with its scale kinds and texts, and both pictures (as digests, so that a test can keep one
/// per step).
struct DocumentState {
    std::size_t points, clean, working;
    CalibrationState calibration;
    ScaleKind scaleX, scaleY;

    explicit DocumentState(const Document& doc, Picture picture = Picture::AsShown)
        : points(digest(&doc.pixelTable, sizeof doc.pixelTable,
                        digest(&doc.valueTable, sizeof doc.valueTable,
                               digest(&doc.nextRow, sizeof doc.nextRow)))),
          clean(pictureHash(doc.cleanPicture)),
          working(pictureHash(picture == Picture::AsShown ? doc.workingPicture : drawnAfresh(doc))),
          calibration(CalibrationState::of(doc)), scaleX(doc.scaleX), scaleY(doc.scaleY) {}

    bool operator==(const DocumentState& o) const {
        return points == o.points && calibration.sameAs(o.calibration) && scaleX == o.scaleX &&
               scaleY == o.scaleY && clean == o.clean && working == o.working;
    }
};

/// A proposal of Find axes as the recogniser hands it over (the OCR is not needed to accept
/// one): both axes found with these values, the Y axis logarithmic when asked.
AxisProposal madeUpProposal(QPoint zero, QPoint xMax, QPoint yMax, double xLast, bool yLog) {
    AxisProposal p;
    p.x.status = p.y.status = AxisStatus::Found;
    p.x.firstValue = 0;
    p.x.lastValue = xLast;
    p.y.logarithmic = yLog;
    p.y.firstValue = yLog ? -1 : 0;
    p.y.lastValue = yLog ? 2 : 100;
    p.zero = zero;
    p.xMax = xMax;
    p.yMax = yMax;
    p.yMaxExact = yMax;
    return p;
}

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
            {"ctrl+click removes the last point",
             [](Chart& c) { c.press(400, 201, CtrlKey | LeftButton); }},
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
            {"scale kind", [](Chart& c) { SetScaleKind(c.ws, false, ScaleKind::Ln); }},
            // A date axis retypes its axis texts as dates: undo must bring the numbers back.
            {"date scale kind", [](Chart& c) { SetScaleKind(c.ws, true, ScaleKind::Date); }},
            {"accepted Find axes proposal",
             [](Chart& c) {
                 // It makes the Y axis log10: the undo must take the kind back with the texts,
                 // or the values come back computed in another kind.
                 ApplyCalibrationProposal(
                     c.ws, madeUpProposal({40, 350}, {460, 350}, {40, 30}, 100, true));
             }},
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

    void anEraserPressWhoseRefreshFailsClosesItsStep() {
        Chart c;
        c.doc.editMaxX = "1O000"; // being retyped: the value refresh fails
        SetInputMode(c.ws, ModeEraser);
        QVERIFY(!runCommand(c.ws, [&] { PictureMouseDown(c.ws, 200, 200, LeftButton); }));
        // The message box took the release. What was erased is a step of its own ...
        QCOMPARE(c.history.stepCount(), std::size_t(1));
        const DocumentState erased(c.doc);
        c.doc.editMaxX = "10000";
        SetInputMode(c.ws, ModeMarks);
        c.press(250, 203);
        // ... and the next command is another one.
        QCOMPARE(c.history.stepCount(), std::size_t(2));
        c.history.undo(c.ws);
        QVERIFY(DocumentState(c.doc) == erased);
    }

    void randomCommandsUndoneAndRedoneGiveBackTheStateOfEachStep() {
        Chart c;
        QRandomGenerator random(16);
        int changes = 0;
        QObject::connect(&c.history, &History::changed, [&changes] { ++changes; });
        /// After 0, 1, ... steps
        std::vector<DocumentState> states{DocumentState(c.doc, Picture::DrawnAfresh)};
        std::size_t applied = 0;
        const auto same = [&](Picture picture) {
            return DocumentState(c.doc, picture) == states.at(applied);
        };
        const auto where = [](const char* what, int i) {
            return QString("%1 at command %2").arg(what).arg(i).toUtf8();
        };
        for (int i = 0; i < 400; ++i) {
            const int x = random.bounded(45, 490), y = random.bounded(20, 390);
            const int line = c.doc.currentLine, last = c.doc.nextRow.at(line) - 1;
            // A point of the current line to erase or remove: any, or the last, whose removal
            // only shortens the line.
            const int row = last > 0 && random.bounded(2) ? random.bounded(1, last + 1) : last;
            const int px = row > 0 ? c.doc.pointX(line, row) : x;
            const int py = row > 0 ? c.doc.pointY(line, row) : y;
            changes = 0;
            switch (random.bounded(13)) {
            case 0:
                SetInputMode(c.ws, ModeEraser);
                c.press(px, py);
                EraseOnMove(c.ws, x, y);
                PictureMouseUp(c.ws);
                SetInputMode(c.ws, ModeMarks);
                break;
            case 1:
                c.press(px, py + 1, CtrlKey | LeftButton);
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
            case 5:
                runCommand(c.ws, [&] {
                    SetScaleKind(c.ws, random.bounded(2) == 0,
                                 ScaleKind(random.bounded(int(ScaleKind::Linear),
                                                          int(ScaleKind::Date) + 1)));
                });
                break;
            case 6: {
                const QPoint zero(random.bounded(40, 60), random.bounded(340, 360));
                const AxisProposal proposal =
                    madeUpProposal(zero, zero + QPoint(random.bounded(300, 420), 0),
                                   zero - QPoint(0, random.bounded(250, 320)),
                                   random.bounded(2) ? 100 : 5, random.bounded(2) == 0);
                runCommand(c.ws, [&] { ApplyCalibrationProposal(c.ws, proposal); });
                break;
            }
            case 7:
                c.doc.editMinY = QString::number(random.bounded(-5, 1));
                runCommand(c.ws, [&] { TakeAxisValues(c.ws); });
                break;
            case 8:
            case 9:
                if (c.history.canUndo()) {
                    c.history.undo(c.ws);
                    --applied;
                    QVERIFY2(same(Picture::AsShown), where("undo", i));
                }
                continue;
            case 10:
                if (c.history.canRedo()) {
                    c.history.redo(c.ws);
                    ++applied;
                    QVERIFY2(same(Picture::AsShown), where("redo", i));
                }
                continue;
            default:
                c.press(x, y);
            }
            if (changes > 0) { // a new step: the redo steps are gone
                states.erase(states.begin() + std::ptrdiff_t(++applied), states.end());
                states.push_back(DocumentState(c.doc, Picture::DrawnAfresh));
                QCOMPARE(c.history.stepCount(), applied);
            }
            QVERIFY2(same(Picture::DrawnAfresh), where("a change outside the steps", i));
        }
        while (c.history.canUndo()) {
            c.history.undo(c.ws);
            --applied;
            QVERIFY2(same(Picture::AsShown), where("undo", -1));
        }
        while (c.history.canRedo()) {
            c.history.redo(c.ws);
            ++applied;
            QVERIFY2(same(Picture::AsShown), where("redo", -1));
        }
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
