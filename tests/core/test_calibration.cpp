#include <bit>
#include <cmath>
#include <numbers>

#include <QtTest>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/polar.h"
#include "fixture.h"

using namespace kurvana;
using kurvana::test::Fixture;

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void resetFrameConvertsTheMiddlePixelOnLinearScales() {
        Fixture f(300, 300);
        RefreshValues(f.ws);
        QCOMPARE(f.doc.xAxisLength, 150);
        QCOMPARE(f.doc.yAxisLength, 150);
        const AxisValues v = ValuesAtPixel(f.doc, 125, 125);
        QCOMPARE(v.x, 5000.0);
        QCOMPARE(v.y, 1.05);
        QCOMPARE(f.doc.rotX, 75);
        QCOMPARE(f.doc.rotY, 75);
    }

    void logarithmicAxesTakeTheValuesAsExponents() {
        Fixture f(300, 300);
        f.doc.editMinX = "0";
        f.doc.editMaxX = "3";
        f.doc.scaleX = ScaleKind::Log10;
        RefreshValues(f.ws);
        QVERIFY(qFuzzyCompare(ValuesAtPixel(f.doc, 125, 125).x, std::pow(10.0, 1.5)));
        // Whole exponents go through square-and-multiply: exact powers of ten.
        QCOMPARE(ValuesAtPixel(f.doc, 200, 200).x, 1000.0);
        QCOMPARE(ValuesAtPixel(f.doc, 50, 200).x, 1.0);
        // The natural base is the 14-place constant, not e.
        f.doc.scaleX = ScaleKind::Ln;
        f.doc.editMaxX = "150";
        ReadAxisTexts(f.doc);
        QCOMPARE(ValuesAtPixel(f.doc, 51, 200).x, double(2.71828182845904L));
        QVERIFY(ValuesAtPixel(f.doc, 51, 200).x != std::exp(1.0));
        // Negative whole exponents take the reciprocal.
        QCOMPARE(double(ExtendedPower(10.0L, -2.0L)), 0.01);
        QCOMPARE(double(ExtendedPower(2.0L, 0.0L)), 1.0);
    }

    void rotatedFrameTruncatesTowardZero() {
        Fixture f(300, 300);
        // A tilted X axis: (60, 200) lies 9.95 pixels along it and 0.995 below it.
        f.doc.xMaxPointX = 150;
        f.doc.xMaxPointY = 190;
        f.doc.axisAngle = axisAngleFor(f.doc);
        const RotatedPoint p = ToRotatedFrame(f.doc, 60, 200);
        QCOMPARE(p.u, 9);
        QCOMPARE(p.v, 0);
        // Left of the zero point on a level axis: negative u, X below the minimum.
        f.doc.xMaxPointX = 200;
        f.doc.xMaxPointY = 200;
        f.doc.axisAngle = axisAngleFor(f.doc);
        RefreshValues(f.ws);
        QCOMPARE(ToRotatedFrame(f.doc, 20, 200).u, -30);
        QCOMPARE(ValuesAtPixel(f.doc, 20, 200).x, -2000.0);
    }

    // cos(d) x r carries rounding noise: without the mend the pixel 1 right of and 693 above
    // the zero point came out at u = 0, and half of all pixels of a level chart lost a pixel.
    void wholePixelsConvertToThemselvesOnLevelAndExactTilts() {
        Fixture f(300, 300);
        f.doc.zeroPointX = 0;
        f.doc.zeroPointY = 1400;
        f.doc.xMaxPointX = 999;
        f.doc.xMaxPointY = 1400;
        f.doc.axisAngle = axisAngleFor(f.doc);
        const RotatedPoint p = ToRotatedFrame(f.doc, 1, 1400 - 693);
        QCOMPARE(p.u, 1);
        QCOMPARE(p.v, 693);
        int lost = 0;
        for (int y = 1; y <= 1400; y += 3) // a sample of the region keeps the test quick
            for (int x = 0; x < 1000; x += 3) {
                const RotatedPoint q = ToRotatedFrame(f.doc, x, y);
                lost += q.u != x || q.v != 1400 - y;
            }
        QCOMPARE(lost, 0);
        // An axis along (4, 3): the pixel 1 right of and 7 above the zero point lies at (5, 5);
        // a fractional position still truncates toward zero.
        f.doc.xMaxPointX = 400;
        f.doc.xMaxPointY = 1400 - 300;
        f.doc.axisAngle = axisAngleFor(f.doc);
        QCOMPARE(ToRotatedFrame(f.doc, 1, 1400 - 7).u, 5);
        QCOMPARE(ToRotatedFrame(f.doc, 1, 1400 - 7).v, 5);
        QCOMPARE(ToRotatedFrame(f.doc, 3, 1400 - 4).u, 4); // 4.8
    }

    void sortingIsStableAndNeedsThreePoints() {
        Fixture f(300, 300);
        // Three points with equal X (one column) keep their click order.
        f.doc.appendPoint(1, 100, 120);
        f.doc.appendPoint(1, 100, 80);
        f.doc.appendPoint(1, 100, 150);
        f.doc.appendPoint(1, 60, 150);
        RefreshValues(f.ws);
        QCOMPARE(f.doc.pointX(1, 1), 60);
        QCOMPARE(f.doc.pointY(1, 2), 120);
        QCOMPARE(f.doc.pointY(1, 3), 80);
        QCOMPARE(f.doc.pointY(1, 4), 150);
        QVERIFY(f.doc.valueX(1, 1) < f.doc.valueX(1, 2));

        Fixture two(300, 300);
        two.doc.appendPoint(1, 120, 100);
        two.doc.appendPoint(1, 60, 100);
        RefreshValues(two.ws);
        QCOMPARE(two.doc.pointX(1, 1), 120); // two points stay unsorted

        Fixture unsorted(300, 300);
        unsorted.doc.sortOn = false;
        for (int x : {150, 90, 60})
            unsorted.doc.appendPoint(1, x, 100);
        RefreshValues(unsorted.ws);
        QCOMPARE(unsorted.doc.pointX(1, 1), 150);

        // Only the current line is sorted.
        Fixture other(300, 300);
        for (int x : {150, 90, 60})
            other.doc.appendPoint(2, x, 100);
        RefreshValues(other.ws);
        QCOMPARE(other.doc.pointX(2, 1), 150);
    }

    void sortingALongLineMatchesTheExchangePasses() {
        Fixture f(2000, 300);
        f.doc.xMaxPointX = 1900;
        QRandomGenerator random(7);
        for (int i = 0; i < 999; ++i)
            f.doc.appendPoint(1, random.bounded(1000), random.bounded(300));
        RefreshValues(f.ws);
        for (int r = 1; r < 999; ++r)
            QVERIFY(f.doc.valueX(1, r) <= f.doc.valueX(1, r + 1));
        // Values still belong to their pixels after the sort.
        for (int r = 1; r <= 999; ++r)
            QCOMPARE(ValuesAtPixel(f.doc, f.doc.pointX(1, r), f.doc.pointY(1, r)).x,
                     f.doc.valueX(1, r));
    }

    // RecomputeValues remembers what it worked out; whatever changes, the table must hold
    // exactly what a conversion from scratch gives.
    void rememberedValuesFollowEveryChange_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("nothing") << 0;
        QTest::newRow("points moved, removed, added and sorted") << 1;
        QTest::newRow("zero point") << 2;
        QTest::newRow("axis value") << 3;
        QTest::newRow("minimum 0 becomes -0") << 4;
        QTest::newRow("scale kind") << 5;
        QTest::newRow("axis angle") << 6;
    }
    void rememberedValuesFollowEveryChange() {
        QFETCH(int, change);
        Fixture f(400, 300);
        f.doc.editMaxX = "0"; // X values of 0 or -0 only: the sign of the minimum shows
        QRandomGenerator random(5);
        for (int line = 1; line <= kLineCount; ++line)
            for (int i = 0; i < 200; ++i)
                f.doc.appendPoint(line, random.bounded(400), random.bounded(300));
        RefreshValues(f.ws);
        switch (change) {
        case 1:
            for (int r = 1; r < 100; r += 3)
                ++f.doc.pointX(1, r);
            f.doc.removeRow(1, 5);
            f.doc.removeRow(2, 1);
            f.doc.appendPoint(1, 7, 8);
            break;
        case 2:
            f.doc.zeroPointX += 3;
            f.doc.axisAngle = axisAngleFor(f.doc);
            break;
        case 3:
            f.doc.editMaxY = "12345";
            break;
        case 4:
            f.doc.editMinX = "-0";
            break;
        case 5:
            f.doc.scaleY = ScaleKind::Log10;
            break;
        case 6:
            f.doc.axisAngle += 1e-9L;
            break;
        }
        RefreshValues(f.ws);
        Document fresh = f.doc;
        fresh.valueCache = ValueCache();
        RecomputeValues(fresh);
        for (int line = 1; line <= kLineCount; ++line)
            for (int r = 1; r < f.doc.nextRow.at(line); ++r) {
                QCOMPARE(std::bit_cast<quint64>(f.doc.valueX(line, r)),
                         std::bit_cast<quint64>(fresh.valueX(line, r)));
                QCOMPARE(std::bit_cast<quint64>(f.doc.valueY(line, r)),
                         std::bit_cast<quint64>(fresh.valueY(line, r)));
            }
        QCOMPARE(f.doc.rotX, fresh.rotX);
        QCOMPARE(f.doc.rotY, fresh.rotY);
    }

    void aTextThatIsNotANumberStopsTheRefreshKeepingEarlierValues() {
        Fixture f(300, 300);
        f.doc.appendPoint(1, 125, 125);
        RefreshValues(f.ws);
        const int fills = f.view.tableFills;
        f.doc.editMaxX = "20000";
        f.doc.editMaxY = "2";
        f.doc.editMinX = "-";
        QVERIFY(!runCommand(f.ws, [&] { RefreshValues(f.ws); }));
        QCOMPARE(f.dialogs.informations.value(0),
                 QString("'-' is not a valid floating point value"));
        QCOMPARE(f.doc.axisXMax, 20000.0); // read before the failing edit
        QCOMPARE(f.doc.axisYMax, 2.0);
        QCOMPARE(f.doc.valueX(1, 1), 5000.0); // nothing recomputed
        QCOMPARE(f.view.tableFills, fills);   // the table not refreshed
    }

    void anAxisShorterThanOnePixelIsReportedAndChangesNoValue() {
        Fixture f(300, 300);
        f.doc.appendPoint(1, 125, 125);
        RefreshValues(f.ws);
        f.doc.xMaxPointX = 50;
        f.doc.xMaxPointY = 199; // on the perpendicular: no length along the X axis
        QVERIFY(!runCommand(f.ws, [&] { RefreshValues(f.ws); }));
        QCOMPARE(f.dialogs.informations.value(0), f.doc.texts.extra(ExtraText::XAxisTooShort));
        QCOMPARE(f.doc.valueX(1, 1), 5000.0);
        QVERIFY(std::isfinite(f.doc.valueY(1, 1)));
    }

    void aVerticalXAxisGivesAConsistentFrame() {
        Fixture f(300, 300);
        f.doc.editMaxX = "100";
        f.doc.editMinX = "0";
        SetInputMode(f.ws, ModeXMaxPoint);
        PictureMouseDown(f.ws, 50, 100, LeftButton); // straight above the zero point
        QVERIFY(f.dialogs.informations.isEmpty());
        QCOMPARE(double(f.doc.axisAngle), M_PI / 2);
        QCOMPARE(f.doc.xAxisLength, 100);
        QVERIFY(f.doc.yAxisLength > 0);
        const AxisValues v = ValuesAtPixel(f.doc, 50, 150);
        QCOMPARE(v.x, 50.0);
        QVERIFY(std::isfinite(v.y));
    }

    void perspectiveFrameConvertsThroughTheFourPointsAndBack() {
        Fixture f(400, 400);
        f.doc.sortOn = false;
        f.doc.appendPoint(1, 125, 125);
        RefreshValues(f.ws);
        // Chosen from the three-point calibration, the frame converts as before.
        ChooseFrame(f.ws, CalibrationFrame::Perspective);
        QCOMPARE(f.doc.valueX(1, 1), 5000.0);
        QVERIFY(std::fabs(f.doc.valueY(1, 1) - 1.05) < 1e-12);
        // A plot seen at an angle: the far side shorter, the sides not parallel.
        const std::array<int, 4> px{40, 360, 300, 90}, py{300, 320, 60, 40};
        for (int i = 0; i < 4; ++i) {
            f.doc.perspective.pointX[i] = px[i];
            f.doc.perspective.pointY[i] = py[i];
        }
        f.doc.perspective.editX = {"0", "10", "10", "0"};
        f.doc.perspective.editY = {"-1", "-1", "2", "2"}; // exponents: 0.1 .. 100
        f.doc.scaleY = ScaleKind::Log10;
        for (int i = 0; i < 4; ++i)
            f.doc.appendPoint(1, px[i], py[i]);
        RefreshValues(f.ws);
        const double expectX[] = {0, 10, 10, 0}, expectY[] = {0.1, 0.1, 100, 100};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(std::fabs(f.doc.valueX(1, i + 2) - expectX[i]) < 1e-12);
            QVERIFY(std::fabs(f.doc.valueY(1, i + 2) / expectY[i] - 1) < 1e-12);
        }
        // Projective, not bilinear: the crossing of the diagonals is the middle of the values.
        const auto toValues = Projective::Through({{{40, 300}, {360, 320}, {300, 60}, {90, 40}}},
                                                  {{{0, -1}, {10, -1}, {10, 2}, {0, 2}}});
        const auto toPicture = PerspectiveToPicture(f.doc);
        QVERIFY(toValues && toPicture);
        const PlanePoint middle = *toPicture->apply({5, 0.5});
        const auto d1 = [](long double x) { return 300 + (60 - 300) * (x - 40) / (300 - 40); };
        const auto d2 = [](long double x) { return 320 + (40 - 320) * (x - 360) / (90 - 360); };
        QVERIFY(std::fabs(d1(middle.x) - middle.y) < 1e-9 &&
                std::fabs(d2(middle.x) - middle.y) < 1e-9);
        const PlanePoint back = *toValues->apply(*toPicture->apply({3.25, 1.5}));
        QVERIFY(std::fabs(back.x - 3.25L) < 1e-12L && std::fabs(back.y - 1.5L) < 1e-12L);
        // The data file keeps the nearest three-point calibration: exact at three corners.
        QCOMPARE(f.doc.zeroPointX, 40);
        QCOMPARE(f.doc.zeroPointY, 300);
        QCOMPARE(f.doc.editMaxX, QString("10"));
        QCOMPARE(f.doc.editMinY, QString("-1"));
    }

    void perspectiveFrameRefusesPointsOnOneLineOrInAnotherOrder() {
        Fixture f(400, 400);
        ChooseFrame(f.ws, CalibrationFrame::Perspective);
        f.doc.appendPoint(1, 125, 125);
        RefreshValues(f.ws);
        const double before = f.doc.valueX(1, 1);
        f.doc.perspective.pointX = {50, 200, 350, 50};
        f.doc.perspective.pointY = {200, 200, 200, 50}; // the first three on one row
        QVERIFY_THROWS_EXCEPTION(CommandError, RefreshValues(f.ws));
        QCOMPARE(f.doc.valueX(1, 1), before);
        // The points go round one way, their values the other (two corners swapped).
        f.doc.perspective.pointX = {50, 200, 200, 50};
        f.doc.perspective.pointY = {200, 200, 50, 50};
        f.doc.perspective.editX = {"0", "10", "0", "10"};
        f.doc.perspective.editY = {"0", "0", "1", "1"};
        QVERIFY_THROWS_EXCEPTION(CommandError, RefreshValues(f.ws));
    }

    void polarFrameGivesAngleAndRadius() {
        Fixture f(400, 400);
        ChooseFrame(f.ws, CalibrationFrame::Polar);
        PolarCalibration& p = f.doc.polar;
        // Placed by clicks: the reference point, then round again to the centre.
        f.doc.inputMode = ModeFramePoint;
        f.doc.framePoint = 1;
        PictureMouseDown(f.ws, 300, 200, LeftButton);
        PictureMouseDown(f.ws, 200, 200, LeftButton);
        QCOMPARE(p.referenceX, 300);
        QCOMPARE(p.centreX, 200);
        p.editAngle = "0";
        p.editRadius = "0";
        p.editCentreRadius = "-40"; // a dB plot
        f.doc.appendPoint(1, 200, 150);
        f.doc.appendPoint(1, 300, 201);
        RefreshValues(f.ws);
        QVERIFY(std::fabs(f.doc.valueX(1, 1) - 90) < 1e-12);
        QVERIFY(std::fabs(f.doc.valueY(1, 1) - -20) < 1e-12);
        QVERIFY(f.doc.valueX(1, 2) > 359 && f.doc.valueX(1, 2) < 360); // within one turn
        p.clockwise = true;
        p.radians = true;
        p.editAngle = "1";
        p.logRadius = true;
        p.editRadius = "1";
        p.editCentreRadius = "-1";
        RefreshValues(f.ws);
        QVERIFY(std::fabs(f.doc.valueX(1, 1) - (1 + 1.5 * std::numbers::pi)) < 1e-12);
        QVERIFY(std::fabs(f.doc.valueY(1, 1) - 1) < 1e-12);
        const PlanePoint back = *PolarPointOf(p, 1 + 1.5L * std::numbers::pi_v<long double>, 0);
        QVERIFY(std::fabs(back.x - 200) < 1e-9L && std::fabs(back.y - 150) < 1e-9L);
        p.editRadius = "-1"; // the same radius as at the centre
        QVERIFY_THROWS_EXCEPTION(CommandError, RefreshValues(f.ws));
        // Placing a three-point reference point goes back to the three points.
        PlaceZeroPoint(f.ws, 60, 200);
        QCOMPARE(f.doc.frame, CalibrationFrame::ThreePoint);
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"
