#include <QtTest>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/linedata.h"
#include "core/nudge.h"
#include "core/view.h"
#include "fixture.h"

using namespace kurvana;
using kurvana::test::Fixture;

class TestClicks : public QObject {
    Q_OBJECT

    static void click(Fixture& f, int x, int y, unsigned state = LeftButton) {
        QVERIFY(runCommand(f.ws, [&] { PictureMouseDown(f.ws, x, y, state); }));
    }

private slots:
    void startupDefaultsAndTheNewPictureReset() {
        Fixture f;
        QCOMPARE(f.doc.inputMode, int(ModeMarks));
        QCOMPARE(f.doc.cursorIndex, 3);
        QCOMPARE(f.doc.zeroPointX, 252);
        QCOMPARE(f.doc.xMaxPointY, 368);
        QVERIFY(qAbs(double(f.doc.axisAngle) - 0.5235) < 1e-3);
        QCOMPARE(f.doc.inkThresholdR, 0); // no snap before the first picture

        f.doc.editMaxX = "42";
        f.doc.currentLine = 3;
        f.doc.appendPoint(3, 10, 10);
        f.doc.dataFileName = "old.gra";
        f.doc.inputMode = ModeEraser;
        QImage picture(120, 80, QImage::Format_RGB32);
        picture.fill(Qt::white);
        InstallNewPicture(f.ws, picture);
        QCOMPARE(f.doc.editMaxX, QString("42"));
        QCOMPARE(f.doc.currentLine, 3);
        QCOMPARE(f.doc.nextRow[3], 1);
        QCOMPARE(f.doc.dataFileName, QString());
        QCOMPARE(f.doc.inputMode, int(ModeMarks));
        QCOMPARE(f.doc.pictureWidth, 120);
        QCOMPARE(f.doc.inkThresholdG, 200);
        QCOMPARE(QPoint(f.doc.yMaxPointX, f.doc.yMaxPointY), QPoint(50, 50));
    }

    void rightPressesCycleTheCursorAndShiftRightAddsAPoint() {
        Fixture f(300, 300);
        f.doc.autoCorrectOn = false;
        ChooseCursor(f.ws, 4); // sight; the next right click shows cursor 5
        QCOMPARE(f.doc.cursorIndex, 5);
        click(f, 100, 100, RightButton);
        QCOMPARE(f.doc.pictureCursor, 5);
        click(f, 100, 100, RightButton);
        click(f, 100, 100, RightButton);
        QCOMPARE(f.doc.pictureCursor, 1);
        QCOMPARE(f.doc.cursorIndex, 2);
        QCOMPARE(f.doc.nextRow[1], 1); // the cycle adds nothing

        click(f, 100, 100, ShiftKey | RightButton);
        QCOMPARE(f.doc.nextRow[1], 2);
        click(f, 120, 100, MiddleButton | AltKey); // any other state is a plain click
        QCOMPARE(f.doc.nextRow[1], 3);
    }

    void referencePointsFollowTheirFormulas() {
        Fixture f(400, 400);
        SetInputMode(f.ws, ModeZeroPoint);
        click(f, 60, 210, RightButton); // a right press places the zero point too
        QCOMPARE(QPoint(f.doc.zeroPointX, f.doc.zeroPointY), QPoint(60, 210));
        // Y max keeps its distance 150 and stays on the perpendicular of the tilted axis.
        QVERIFY(f.doc.axisAngle != 0);
        const double length = std::hypot(f.doc.yMaxPointX - 60, f.doc.yMaxPointY - 210);
        QVERIFY(qAbs(length - 150) < 1.5);

        SetInputMode(f.ws, ModeXMaxPoint);
        click(f, 260, 210);
        QCOMPARE(double(f.doc.axisAngle), 0.0);
        // The 1.570795 constant puts the Y max point a hair off pi/2: x stays truncated to 60.
        QCOMPARE(QPoint(f.doc.yMaxPointX, f.doc.yMaxPointY), QPoint(60, 61));

        SetInputMode(f.ws, ModeYMaxPoint);
        click(f, 60, 310); // below the level X axis
        QCOMPARE(QPoint(f.doc.yMaxPointX, f.doc.yMaxPointY), QPoint(60, 110));
        QCOMPARE(f.doc.inputMode, int(ModeYMaxPoint)); // clicks never change the mode

        // An X max point on the zero point is refused and changes nothing.
        SetInputMode(f.ws, ModeXMaxPoint);
        const QImage before = f.doc.workingPicture;
        QVERIFY(!runCommand(f.ws, [&] { PictureMouseDown(f.ws, 60, 210, LeftButton); }));
        QCOMPARE(QPoint(f.doc.xMaxPointX, f.doc.xMaxPointY), QPoint(260, 210));
        QCOMPARE(f.doc.workingPicture, before);
    }

    void addingPointsKeepsTheLimitAndTheRawDuplicateTest() {
        Fixture f(1200, 300);
        f.doc.autoCorrectOn = false;
        for (int i = 0; i < 999; ++i)
            f.doc.appendPoint(1, i, 5);
        f.doc.nextRow[1] = 999; // 998 points: the 999th click is accepted
        click(f, 1100, 100);
        QCOMPARE(f.doc.nextRow[1], 1000);
        click(f, 1110, 100);
        QCOMPARE(f.dialogs.informations, QStringList{"M07"});
        QCOMPARE(f.doc.nextRow[1], 1000);

        Fixture g(300, 300);
        g.ink(100, 100);
        click(g, 100, 102); // snapped onto the dot
        QCOMPARE(QPoint(g.doc.pointX(1, 1), g.doc.pointY(1, 1)), QPoint(100, 100));
        click(g, 100, 103); // snaps to the same pixel: a second point
        QCOMPARE(g.doc.nextRow[1], 3);
        click(g, 100, 100); // the raw click equals a stored point: ignored silently
        QCOMPARE(g.doc.nextRow[1], 3);
        QVERIFY(g.dialogs.informations.isEmpty());

        // After clearing, a click on an old pixel is accepted again.
        g.doc.autoCorrectOn = false;
        ClearLineData(g.ws);
        click(g, 100, 100);
        QCOMPARE(g.doc.nextRow[1], 2);
        QCOMPARE(g.doc.flag(1, 1), 1);
    }

    void erasingRemovesNeighboursPassByPass() {
        Fixture f(300, 300);
        for (int x : {100, 101, 102, 103})
            f.doc.appendPoint(1, x, 100);
        f.doc.appendPoint(2, 101, 100);
        SetInputMode(f.ws, ModeEraser);
        click(f, 101, 100);
        QCOMPARE(f.doc.nextRow[1], 2); // three of four consecutive points go
        QCOMPARE(f.doc.pointX(1, 1), 103);
        QCOMPARE(f.doc.nextRow[2], 2); // other lines stay

        Fixture g(300, 300);
        g.doc.appendPoint(1, 100, 100);
        g.doc.appendPoint(1, 103, 100);
        click(g, 101, 100, CtrlKey | LeftButton); // within +-2 goes, nothing is added
        QCOMPARE(g.doc.nextRow[1], 2);
        QCOMPARE(g.doc.pointX(1, 1), 103);

        // Stored coordinates from a data file may lie anywhere in 32 bits: a point at the far
        // negative end is not "near" a press at the far positive end (their int difference
        // would wrap round to 1).
        Fixture h(300, 300);
        h.doc.appendPoint(1, std::numeric_limits<int>::min(), 100);
        h.doc.appendPoint(1, 100, std::numeric_limits<int>::min());
        RemoveNearPoints(h.ws, std::numeric_limits<int>::max(), 100, 2);
        RemoveNearPoints(h.ws, 100, std::numeric_limits<int>::max(), 2);
        QCOMPARE(h.doc.nextRow[1], 3);
        SelectPointForNudge(h.ws, std::numeric_limits<int>::max(), 100);
        QCOMPARE(h.view.nudgeWindows, 0);
    }

    void removingARowMovesLaterRowsUp() {
        Document doc;
        for (int x = 1; x <= 5; ++x)
            doc.appendPoint(1, x, x);
        doc.removeRow(1, 3);
        QCOMPARE(doc.nextRow[1], 5);
        QCOMPARE(doc.pointX(1, 3), 4);
        QCOMPARE(doc.pointX(1, 4), 5);
    }

    void modeNoneAndModeCommands() {
        Fixture f(300, 300);
        SetInputMode(f.ws, ModeNone);
        click(f, 10, 10);
        QCOMPARE(f.dialogs.informations, QStringList{"M01"});
        SetInputMode(f.ws, ModeEraser);
        QCOMPARE(f.doc.pictureCursor, int(CursorEraser));
        SetInputMode(f.ws, ModeMarks);
        QCOMPARE(f.doc.pictureCursor, f.doc.cursorIndex - 1);
        SelectLine(f.ws, 3);
        QCOMPARE(f.doc.currentLine, 3);
        QCOMPARE(f.doc.inputMode, int(ModeMarks));
        ToggleAutoCorrect(f.ws);
        QVERIFY(!f.doc.autoCorrectOn);

        SetInputMode(f.ws, ModeHandScroll);
        click(f, 40, 50);
        QVERIFY(f.doc.handScrollActive);
        const ScrollStep step = HandScrollStep(f.ws, 43, 50);
        QCOMPARE(step.dx, 30);
        PictureMouseUp(f.ws);
        QVERIFY(!f.doc.handScrollActive);
    }

    void nudgingMovesTheHighestRowNearThePress() {
        Fixture f(300, 300);
        f.doc.autoCorrectOn = false;
        click(f, 100, 100, ShiftKey | LeftButton); // an empty spot: nothing
        QCOMPARE(f.view.nudgeWindows, 0);
        f.doc.appendPoint(1, 100, 100);
        f.doc.appendPoint(1, 101, 101);
        f.doc.appendPoint(2, 100, 100);
        f.doc.appendPoint(1, 140, 120);
        RefreshValues(f.ws);
        const QImage before = f.doc.workingPicture;
        SetInputMode(f.ws, ModeZeroPoint); // any mode
        click(f, 100, 100, ShiftKey | LeftButton);
        QCOMPARE(f.view.nudgeWindows, 1);
        QCOMPARE(f.doc.nudgeRow, 2);             // the later of the two within +-2, not the nearest
        QVERIFY(f.doc.workingPicture != before); // highlighted
        const double y = f.doc.valueY(1, 2);
        for (int i = 0; i < 3; ++i)
            NudgeSelectedPoint(f.ws, 0, -1);
        for (int i = 0; i < 3; ++i)
            NudgeSelectedPoint(f.ws, 0, +1);
        FinishNudge(f.ws);
        QCOMPARE(f.doc.valueY(1, 2), y);
        QCOMPARE(f.doc.zeroPointX, 50); // the press placed nothing
        // Nudged past another point in X, the point changes row on the sorted line.
        click(f, 101, 101, ShiftKey | LeftButton);
        for (int i = 0; i < 45; ++i)
            NudgeSelectedPoint(f.ws, +1, 0);
        FinishNudge(f.ws);
        QCOMPARE(QPoint(f.doc.pointX(1, 3), f.doc.pointY(1, 3)), QPoint(146, 101));
        QCOMPARE(f.doc.pointX(1, 2), 140);
    }

    void viewScaleMapsScreenToPicturePixels() {
        QCOMPARE(ScreenToPicture(7, 8), 0);
        QCOMPARE(ScreenToPicture(15, 8), 1);
        QCOMPARE(ScreenToPicture(3, 0.5L), 6);
        Fixture f(301, 244);
        ChooseViewScale(f.ws, 3);
        QCOMPARE(f.doc.scaleButtonImage, 31);
        QCOMPARE(double(f.doc.viewScale), 2.0);
        QImage picture(10, 10, QImage::Format_RGB32);
        InstallNewPicture(f.ws, picture);
        QCOMPARE(double(f.doc.viewScale), 1.0);
        QCOMPARE(f.doc.checkedScaleItem, 4);
    }
};

QTEST_GUILESS_MAIN(TestClicks)
#include "test_clicks.moc"
