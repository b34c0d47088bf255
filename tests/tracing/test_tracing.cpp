#include <QBuffer>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/drawing.h"
#include "core/picture.h"
#include "tests/core/fixture.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/colourline.h"
#include "tracing/fixedstep.h"
#include "tracing/zonesearch.h"

using namespace kurvana;
using kurvana::platform::Answer;
using kurvana::test::Fixture;

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

QList<QPoint> linePoints(const Document& doc, int line) {
    QList<QPoint> points;
    for (int row = 1; row < doc.nextRow.at(line); ++row)
        points << QPoint(doc.pointX(line, row), doc.pointY(line, row));
    return points;
}

/// The column rule read pixel by pixel, as the search is defined.
std::vector<QPoint> plainColourColumns(const QImage& picture, const ColourLineTest& test,
                                       const ColourColumns& c) {
    std::vector<QPoint> found;
    for (long long i = 0; i < c.count; ++i) {
        const int x = int(c.startX + i * c.step);
        for (long long y = c.topY; y <= c.bottomY; ++y)
            if (test.matches(pixelColour(picture, x, int(y)))) {
                found.emplace_back(x, int(y));
                break;
            }
    }
    return found;
}

/// The clean-up rule read pixel by pixel: x outer, y inner, in place.
void plainCleanUp(QImage& picture, int width, int height, const DarkLimits& limits) {
    const auto dark = [&](int x, int y) {
        const Colour c = pixelColour(picture, x, y);
        return int(c & 0xFF) <= limits.r && int(c >> 8 & 0xFF) <= limits.g &&
               int(c >> 16 & 0xFF) <= limits.b;
    };
    for (int x = 2; x <= width - 2; ++x)
        for (int y = 2; y <= height - 2; ++y) {
            if (!dark(x, y))
                continue;
            const int n = dark(x - 1, y) + dark(x + 1, y) + dark(x, y - 1) + dark(x, y + 1) +
                          dark(x - 1, y - 1) + dark(x - 1, y + 1) + dark(x + 1, y - 1) +
                          dark(x + 1, y + 1);
            if (n <= 1 && x < picture.width() && y < picture.height())
                reinterpret_cast<QRgb*>(picture.scanLine(y))[x] = kWhite;
        }
}

QImage randomPicture(QRandomGenerator& random, int width, int height, int darkPercent,
                     const std::vector<QRgb>& palette) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = int(random.bounded(100)) < darkPercent
                         ? palette[random.bounded(int(palette.size()))]
                         : kWhite;
    }
    return picture;
}

void paint(Fixture& f, const QList<QPoint>& pixels, QRgb colour = kBlack) {
    for (const QPoint& p : pixels)
        f.ink(p.x(), p.y(), colour);
}

QList<QPoint> hLine(int x0, int x1, int y) {
    QList<QPoint> pixels;
    for (int x = x0; x <= x1; ++x)
        pixels << QPoint(x, y);
    return pixels;
}

QList<QPoint> vLine(int x, int y0, int y1) {
    QList<QPoint> pixels;
    for (int y = y0; y <= y1; ++y)
        pixels << QPoint(x, y);
    return pixels;
}

/// A view that records the busy cursor.
class BusyView : public test::RecordingView {
public:
    QList<bool> busy;
    void setBusyCursor(bool on) override { busy << on; }
};

/// A 700 x 500 picture with X from 0 to 100 over 500 pixels (k = 5) and Y from 0 to 300 over
/// 300 pixels, zero point (50, 400); line 1 is a horizontal polyline at Y = 100 (every pixel of
/// its row converts to v = 100 on the level frame).
void fixedStepFrame(Fixture& f) {
    Document& doc = f.doc;
    doc.zeroPointX = 50;
    doc.zeroPointY = 400;
    doc.xMaxPointX = 550;
    doc.xMaxPointY = 400;
    doc.yMaxPointX = 50;
    doc.yMaxPointY = 100;
    doc.axisAngle = 0;
    doc.editMaxX = "100";
    doc.editMinX = "0";
    doc.editMaxY = "300";
    doc.editMinY = "0";
    for (const QPoint& p : {QPoint(58, 300), QPoint(150, 300), QPoint(350, 300)})
        doc.appendPoint(1, p.x(), p.y());
    RefreshValues(f.ws);
}

} // namespace

class TestTracing : public QObject {
    Q_OBJECT
private slots:
    // --- Colour line search -------------------------------------------------------------------
    void searchKindsTestComponentsExactly_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("match");
        QTest::newRow("special 121,0,0") << 3 << 121 << 0 << 0 << true;
        QTest::newRow("special 120,0,0") << 3 << 120 << 0 << 0 << false;
        QTest::newRow("special 200,79,79") << 3 << 200 << 79 << 79 << true;
        QTest::newRow("special 200,80,79") << 3 << 200 << 80 << 79 << false;
        QTest::newRow("special 200,79,80") << 3 << 200 << 79 << 80 << false;
        QTest::newRow("special blue-heavy") << 3 << 0 << 0 << 255 << false;
        QTest::newRow("start-up colour finds black") << 1 << 0 << 0 << 0 << true;
        QTest::newRow("start-up colour not near-black") << 1 << 1 << 0 << 0 << false;
        QTest::newRow("black only pure") << 2 << 0 << 0 << 1 << false;
        QTest::newRow("black") << 2 << 0 << 0 << 0 << true;
    }
    void searchKindsTestComponentsExactly() {
        QFETCH(int, kind);
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(bool, match);
        const ColourLineTest test{kind, 0, 0, 0};
        QCOMPARE(test.matches(colourFromRgb(r, g, b)), match);
    }

    void columnPlanRoundsHalfToEven_data() {
        QTest::addColumn<int>("xMaxMinusZero");
        QTest::addColumn<int>("count");
        QTest::addColumn<long long>("step");
        QTest::addColumn<long long>("columns");
        QTest::newRow("width 90, N 20") << 98 << 20 << 4LL << 22LL;
        QTest::newRow("width 110, N 20") << 118 << 20 << 6LL << 18LL;
        QTest::newRow("width 100, N 20") << 108 << 20 << 5LL << 20LL;
        QTest::newRow("negative count: every pixel") << 108 << -3 << 1LL << 100LL;
        QTest::newRow("at most 1000 columns") << 3008 << -1 << 1LL << 1000LL;
        QTest::newRow("no column") << 8 << 20 << 1LL << 0LL;
    }
    void columnPlanRoundsHalfToEven() {
        QFETCH(int, xMaxMinusZero);
        QFETCH(int, count);
        QFETCH(long long, step);
        QFETCH(long long, columns);
        Document doc;
        doc.zeroPointX = 40;
        doc.xMaxPointX = 40 + xMaxMinusZero;
        const ColourColumns plan = PlanColourColumns(doc, count);
        QCOMPARE(plan.startX, 44LL);
        QCOMPARE(plan.step, step);
        QCOMPARE(plan.count, columns);
    }

    void colourSearchTakesTopmostMatchPerColumnAndMarksAfterScan() {
        Fixture f(300, 300); // rectangle x 54..196, y 54..196
        f.doc.appendPoint(2, 10, 10);
        paint(f, {{54, 150}, {54, 100}, {61, 120}});
        FindColourLine(f.ws, SearchBlack, "20"); // step 7
        QCOMPARE(linePoints(f.doc, 1), (QList<QPoint>{{54, 100}, {61, 120}}));
        QCOMPARE(linePoints(f.doc, 2), QList<QPoint>{QPoint(10, 10)});
        QVERIFY(f.view.tableFills > 0);

        // One column per pixel: the black mark of (54, 100) reaches into the next columns, but
        // marks are drawn only after the scan, so it is not found there.
        f.doc.lineColor.at(1) = 0;
        FindColourLine(f.ws, SearchByColour, "1000");
        QCOMPARE(linePoints(f.doc, 1), (QList<QPoint>{{54, 100}, {61, 120}}));
        QCOMPARE(pixelColour(f.doc.workingPicture, 54, 97), Colour(0)); // its mark, black
    }

    // A red stroke 2 pixels wide through JPEG at quality 75: the tolerant kind finds the
    // stroke's centre in nearly every column, and neither the marks nor the axes drawing on the
    // working picture, nor a blue stroke above, are taken for it.
    void tolerantSearchTakesTheCentreOfTheFirstRun() {
        Fixture f(300, 300); // rectangle x 54..196, y 54..196
        QImage chart(300, 300, QImage::Format_RGB32);
        chart.fill(Qt::white);
        const auto centreY = [](double x) { return 140 - 0.3 * (x - 50); }; // pixel indices
        {
            QPainter painter(&chart);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(255, 0, 0), 2));
            painter.drawLine(QPointF(0.5, centreY(0) + 0.5), QPointF(299.5, centreY(299) + 0.5));
            painter.setPen(QPen(QColor(0, 0, 255), 2));
            painter.drawLine(QPointF(0.5, 70.5), QPointF(299.5, 70.5));
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        chart.save(&buffer, "JPEG", 75);
        chart.loadFromData(jpeg, "JPEG");
        InstallNewPicture(f.ws, chart.convertToFormat(QImage::Format_RGB32));
        f.doc.searchR = 255;
        f.doc.searchG = f.doc.searchB = 0;
        f.doc.lineColor.at(2) = 0x0000FF; // red marks of another line on the working picture
        for (int x = 60; x < 190; x += 9)
            f.doc.appendPoint(2, x, int(centreY(x)) - 3);
        RedrawMarks(f.doc);

        FindColourLine(f.ws, SearchTolerant, "1000");
        const QList<QPoint> found = linePoints(f.doc, 1);
        QVERIFY(found.size() >= 135); // JPEG leaves a column's core off the colour now and then
        for (const QPoint& p : found)
            QVERIFY2(std::abs(p.y() - centreY(p.x())) <= 0.8, qPrintable(QString::number(p.x())));
    }

    // A polar chart: the search goes round the centre, so a closed curve comes back whole and in
    // the order of its path, with sorting by X (the angle) on or off.
    void polarSearchFollowsAClosedCurveRoundInPathOrder() {
        Fixture f(300, 300);
        QImage chart(300, 300, QImage::Format_RGB32);
        chart.fill(Qt::white);
        {
            QPainter painter(&chart);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(255, 0, 0), 2));
            painter.drawEllipse(QPointF(150.5, 150.5), 110, 60);
        }
        InstallNewPicture(f.ws, chart);
        ChooseFrame(f.ws, CalibrationFrame::Polar);
        f.doc.polar.centreX = f.doc.polar.centreY = 150;
        f.doc.polar.referenceX = 250;
        f.doc.polar.referenceY = 150;
        f.doc.polar.editRadius = "10";
        f.doc.searchR = 255;
        f.doc.searchG = f.doc.searchB = 0;
        QList<QPoint> sorted;
        for (const bool sortOn : {true, false}) {
            f.doc.sortOn = sortOn;
            FindColourLine(f.ws, SearchTolerant, "36");
            const QList<QPoint> found = linePoints(f.doc, 1);
            QCOMPARE(found.size(), 36);
            for (int row = 1; row < 36; ++row) {
                QVERIFY(f.doc.valueX(1, row + 1) > f.doc.valueX(1, row));
                const QPoint step = found[row] - found[row - 1];
                QVERIFY2(std::hypot(step.x(), step.y()) < 22, qPrintable(QString::number(row)));
            }
            QVERIFY(f.doc.valueX(1, 1) < 1 && f.doc.valueX(1, 36) > 349);
            QVERIFY(std::abs(f.doc.valueY(1, 1) - 11) < 0.1); // 110 pixels on the 0 ray
            if (sortOn)
                sorted = found;
            else
                QCOMPARE(found, sorted);
        }
    }

    void colourSearchReadsWhiteBeyondThePicture() {
        Fixture f(300, 300);
        f.doc.cleanPicture.fill(qRgb(128, 128, 128));
        f.doc.zeroPointX = 250;
        f.doc.zeroPointY = 250;
        f.doc.xMaxPointX = 400;
        f.doc.xMaxPointY = 250;
        f.doc.yMaxPointX = 250;
        f.doc.yMaxPointY = 100;
        f.doc.searchR = f.doc.searchG = f.doc.searchB = 255;
        FindColourLine(f.ws, SearchByColour, "20"); // columns 254, 261, ..., 387
        QList<QPoint> expected;
        for (int x = 303; x <= 387; x += 7)
            expected << QPoint(x, 104);
        QCOMPARE(linePoints(f.doc, 1), expected);
    }

    void colourSearchRefusesCountBeforeChangingAnything_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("message");
        QTest::newRow("zero") << "0" << int(ExtraText::CountZero);
        QTest::newRow("letters") << "abc" << int(ExtraText::CountNotWhole);
        QTest::newRow("fraction") << "2.5" << int(ExtraText::CountNotWhole);
        QTest::newRow("empty") << "" << int(ExtraText::CountNotWhole);
    }
    void colourSearchRefusesCountBeforeChangingAnything() {
        QFETCH(QString, count);
        QFETCH(int, message);
        Fixture f(300, 300);
        f.doc.appendPoint(1, 100, 100);
        const QImage before = f.doc.workingPicture;
        try {
            FindColourLine(f.ws, SearchBlack, count);
            QFAIL("the count was accepted");
        } catch (const CommandError& error) {
            const QString text = f.doc.texts.extra(ExtraText(message));
            QCOMPARE(error.text(), text.contains("%1") ? text.arg(count) : text);
        }
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QCOMPARE(f.doc.workingPicture, before);
    }

    void colourSearchWithEmptyRectangleLeavesLineEmpty_data() {
        QTest::addColumn<int>("xMaxX");
        QTest::addColumn<int>("yMaxY");
        QTest::newRow("no column") << 58 << 50;
        QTest::newRow("no row") << 200 << 193;
    }
    void colourSearchWithEmptyRectangleLeavesLineEmpty() {
        QFETCH(int, xMaxX);
        QFETCH(int, yMaxY);
        Fixture f(300, 300);
        f.doc.cleanPicture.fill(Qt::black);
        f.doc.appendPoint(1, 100, 100);
        f.doc.xMaxPointX = xMaxX;
        f.doc.yMaxPointY = yMaxY;
        FindColourLine(f.ws, SearchBlack, "20");
        QCOMPARE(f.doc.nextRow.at(1), 1);
    }

    void colourColumnScanEqualsPixelByPixelRule() {
        QRandomGenerator random(20240611);
        const std::vector<QRgb> palette{kBlack, qRgb(200, 50, 40), qRgb(10, 20, 30), kWhite};
        for (int round = 0; round < 300; ++round) {
            const QImage picture =
                randomPicture(random, 1 + random.bounded(40), 1 + random.bounded(40), 8, palette);
            ColourColumns plan;
            plan.startX = random.bounded(-20, 50);
            plan.step = 1 + random.bounded(5);
            plan.count = random.bounded(30);
            plan.topY = random.bounded(-20, 50);
            plan.bottomY = random.bounded(-20, 70);
            const QRgb search = palette[random.bounded(int(palette.size()))];
            const ColourLineTest test{1 + random.bounded(3), qRed(search), qGreen(search),
                                      qBlue(search)};
            QCOMPARE(ScanColourColumns(picture, test, plan),
                     plainColourColumns(picture, test, plan));
        }
    }

    // --- Zone search --------------------------------------------------------------------------
    void probeStarCountsEveryInkPixel() {
        Fixture f(200, 200);
        paint(f, {{100, 100}});
        StarInk ink = InkInProbeStar(f.doc, 100, 100);
        QCOMPARE(ink.count, 8);
        QCOMPARE(ink.centre, QPoint(100, 100));

        paint(f, hLine(80, 120, 100));
        ink = InkInProbeStar(f.doc, 100, 100);
        QCOMPARE(ink.count, 28);
        QCOMPARE(ink.centre, QPoint(100, 100));

        // Centre 8 times, (14, 50) twice: mean x 108 / 10 = 10.8, truncated to 10.
        Fixture g(200, 200);
        paint(g, {{10, 50}, {14, 50}});
        ink = InkInProbeStar(g.doc, 10, 50);
        QCOMPARE(ink.count, 10);
        QCOMPARE(ink.centre, QPoint(10, 50));

        // (200, 200, 200) is not ink: each component must be below 200.
        Fixture h(200, 200);
        paint(h, {{100, 100}}, qRgb(200, 0, 0));
        QCOMPARE(InkInProbeStar(h.doc, 100, 100).count, 0);
    }

    void zonePaintingSpacesCirclesAndStopsAtTheLimit() {
        Fixture f(200, 200);
        ButtonPasteLineClick(f.ws);
        QCOMPARE(f.doc.inputMode, int(ModeZone));
        QCOMPARE(f.doc.zoneCount, 1);
        const QImage clean = f.doc.workingPicture;
        PaintZoneOnMove(f.ws, 6, 5);  // |dx| + |dy| = 11 from (0, 0)
        PaintZoneOnMove(f.ws, 16, 5); // 10: too close
        QCOMPARE(f.doc.zoneCount, 2);
        QCOMPARE(f.doc.zoneX.at(1), 6);
        QVERIFY(f.doc.workingPicture != clean);
        f.doc.zoneCount = kZoneLimit;
        PaintZoneOnMove(f.ws, 100, 100);
        QCOMPARE(f.doc.zoneCount, kZoneLimit);
    }

    void zoneSearchAppendsOnNoAndReplacesOnYes() {
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            Fixture f(300, 300);
            f.doc.lineColor.at(1) = 0xFFFFFF; // white marks do not disturb the probes
            paint(f, hLine(20, 280, 150));
            f.doc.appendPoint(1, 5, 5);
            ButtonPasteLineClick(f.ws);
            for (const int x : {40, 60, 80})
                PaintZoneOnMove(f.ws, x, 147);
            f.dialogs.answers.push_back(answer);
            ButtonFindOnLineClick(f.ws);
            QCOMPARE(f.dialogs.questions.last(), QString("M02M031"));
            const QList<QPoint> found{{40, 150}, {60, 150}, {80, 150}};
            QCOMPARE(linePoints(f.doc, 1),
                     answer == Answer::No ? QList<QPoint>{QPoint(5, 5)} + found : found);
            QCOMPARE(f.doc.zoneCount, 0);
            QCOMPARE(f.doc.inputMode, int(ModeNone));
            QCOMPARE(f.doc.pictureCursor, int(CursorDefault));
        }
    }

    void zoneSearchWithoutZoneOrWithEmptyZone() {
        Fixture f(300, 300);
        f.doc.appendPoint(1, 5, 5);
        ButtonFindOnLineClick(f.ws); // zoneCount 0: no zone
        QCOMPARE(f.dialogs.informations, QStringList{"M09"});
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QCOMPARE(f.doc.inputMode, int(ModeNone));

        ButtonPasteLineClick(f.ws); // zoneCount 1 passes the test; Yes empties the line
        ButtonFindOnLineClick(f.ws);
        QCOMPARE(f.dialogs.questions.size(), 1);
        QCOMPARE(f.doc.nextRow.at(1), 1);
    }

    void zoneSearchCancelRemovesCirclesAndKeepsTrail() {
        Fixture f(300, 300);
        f.doc.appendPoint(1, 5, 5);
        const QImage before = f.doc.workingPicture;
        ButtonPasteLineClick(f.ws);
        PaintZoneOnMove(f.ws, 100, 100);
        PaintZoneOnMove(f.ws, 130, 100);
        f.dialogs.answers.push_back(Answer::Cancel);
        ButtonFindOnLineClick(f.ws);
        QCOMPARE(f.doc.workingPicture, before);
        QCOMPARE(f.doc.zoneCount, 3);
        QCOMPARE(f.doc.nextRow.at(1), 2);
    }

    void zoneSearchStopsAtClickLimitKeepingFoundPoints() {
        Fixture f(300, 300);
        f.doc.lineColor.at(1) = 0xFFFFFF;
        paint(f, hLine(20, 280, 150));
        f.doc.sortOn = false;
        for (int i = 1; i <= kClickRowLimit - 2; ++i)
            f.doc.appendPoint(1, 290, 290);
        ButtonPasteLineClick(f.ws);
        for (const int x : {40, 60, 80, 100})
            PaintZoneOnMove(f.ws, x, 150);
        f.dialogs.answers.push_back(Answer::No);
        ButtonFindOnLineClick(f.ws);
        QCOMPARE(f.doc.nextRow.at(1), kClickRowLimit);
        QCOMPARE(f.doc.pointX(1, kClickRowLimit - 1), 40);
        QCOMPARE(f.dialogs.informations, QStringList{"M07"});
        QCOMPARE(f.doc.zoneCount, 0);
    }

    // --- Fixed-step search --------------------------------------------------------------------
    void fixedStepListsColumnsOfTheXSteps() {
        Fixture f(700, 500);
        fixedStepFrame(f);
        QVERIFY(PrepareFixedStepSearch(f.ws));
        QCOMPARE(pixelColour(f.doc.searchCopy, 100, 300), kSearchCopyPolyline);
        QCOMPARE(FixedStepSearch(f.ws, "4", "6", "1"), QString("4\t100\r\n5\t100\r\n6\t100\r\n"));
        for (const int x : {70, 75, 80})
            QCOMPARE(pixelColour(f.doc.searchCopy, x, 300), kSearchCopyColumn);
        QCOMPARE(pixelColour(f.doc.searchCopy, 71, 300), kSearchCopyPolyline);
        // The searched columns are red now: a second search lists nothing there.
        QCOMPARE(FixedStepSearch(f.ws, "4", "6", "1"), QString());
    }

    void fixedStepSmallStepAndFractionalValues() {
        Fixture f(700, 500);
        fixedStepFrame(f);
        PrepareFixedStepSearch(f.ws);
        // 4 and 4.1 fall into column 70: the second visit finds the column red; 4.2 is in 71.
        QCOMPARE(FixedStepSearch(f.ws, "4", "4.2", "0.1"), QString("4\t100\r\n4.2\t100\r\n"));
        PrepareFixedStepSearch(f.ws);
        f.doc.decimalSeparator = ',';
        QCOMPARE(FixedStepSearch(f.ws, "4", "4,5", "0,25"),
                 QString("4\t100\r\n4,25\t100\r\n4,5\t100\r\n"));
        PrepareFixedStepSearch(f.ws);
        QCOMPARE(FixedStepSearch(f.ws, "1E20", "1E20", "1"), QString()); // c + Step == c ends
    }

    void fixedStepTakesMillionsOfStepsInTheGeneralFormat() {
        Fixture f(700, 500);
        fixedStepFrame(f);
        f.doc.scientificFormat = true; // the table's choice; the list keeps the general form
        PrepareFixedStepSearch(f.ws);
        // Two million steps over columns 70..79: each column is listed at its first visit.
        const QStringList lines = FixedStepSearch(f.ws, "4", "5.9", "0.000001").split("\r\n");
        QCOMPARE(lines.first(), QString("4\t100"));
        QCOMPARE(lines.size(), 10 + 1);
        // Ten million steps, most of them beyond the picture's right edge.
        PrepareFixedStepSearch(f.ws);
        QVERIFY(FixedStepSearch(f.ws, "0", "1E7", "1").startsWith("2\t100\r\n3\t100\r\n"));
    }

    void fixedStepRefusesBadInputWithoutChange_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("step");
        QTest::newRow("step 0") << "4"
                                << "6"
                                << "0";
        QTest::newRow("negative step") << "4"
                                       << "6"
                                       << "-1";
        QTest::newRow("from not a number") << "x"
                                           << "6"
                                           << "1";
        QTest::newRow("to empty") << "4"
                                  << ""
                                  << "1";
    }
    void fixedStepRefusesBadInputWithoutChange() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, step);
        Fixture f(700, 500);
        fixedStepFrame(f);
        PrepareFixedStepSearch(f.ws);
        const QImage before = f.doc.searchCopy;
        QVERIFY_THROWS_EXCEPTION(CommandError, FixedStepSearch(f.ws, from, to, step));
        QCOMPARE(f.doc.searchCopy, before);
    }

    void fixedStepPreparationNeedsThreePointsAndCoversThePicture() {
        Fixture f(700, 500);
        f.doc.appendPoint(1, 60, 300);
        f.doc.appendPoint(1, 200, 300);
        f.doc.searchCopy = QImage(10, 10, QImage::Format_RGB32);
        QVERIFY(!PrepareFixedStepSearch(f.ws));
        QCOMPARE(f.dialogs.informations, QStringList{"M21"});
        QCOMPARE(f.doc.searchCopy.size(), QSize(10, 10));

        fixedStepFrame(f); // five points now
        f.doc.searchCopy = QImage();
        QVERIFY(PrepareFixedStepSearch(f.ws));
        QCOMPARE(f.doc.searchCopy.size(), QSize(700, 500));
        QCOMPARE(pixelColour(f.doc.searchCopy, 650, 450), kSearchCopyBackground);
        QCOMPARE(pixelColour(f.doc.searchCopy, 50, 250), kSearchCopyAxes);
    }

    // --- Automatic digitising -----------------------------------------------------------------
    void axisBandsTakeTheFirstMaximum() {
        QImage picture(400, 400, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QCOMPARE(FindXAxisRow(picture), 0);
        QCOMPARE(FindYAxisColumn(picture), 0);
        for (const int y : {300, 200})
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, kBlack);
        for (const int x : {150, 90})
            for (int y = 0; y < 400; ++y)
                picture.setPixel(x, y, qRgb(99, 99, 99));
        QCOMPARE(FindXAxisRow(picture), 200);
        QCOMPARE(FindYAxisColumn(picture), 90);
        picture.setPixel(90, 10, kWhite); // outside the column band: still a tie
        QCOMPARE(FindYAxisColumn(picture), 90);
        picture.setPixel(90, 30, qRgb(100, 0, 0)); // not dark: column 150 leads
        QCOMPARE(FindYAxisColumn(picture), 150);
    }

    void automaticDigitisingCalibratesAndScansColumns_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("expectedY");   // in the columns under the axes drawing
        QTest::addColumn<int>("beyondAxesY"); // in the columns right of the X max point
        QTest::newRow("S 0: first dark pixel, even the axis") << 0 << 350 << 400;
        QTest::newRow("S 3: lowest row of the thick line") << 3 << 301 << 301;
        QTest::newRow("S 7: never") << 7 << -1 << -1;
    }
    void automaticDigitisingCalibratesAndScansColumns() {
        QFETCH(int, threshold);
        QFETCH(int, expectedY);
        QFETCH(int, beyondAxesY);
        Fixture f(600, 600);           // X max point stays at (200, 200)
        paint(f, hLine(20, 599, 400)); // X axis
        paint(f, vLine(60, 20, 599));  // Y axis
        paint(f, hLine(61, 599, 350)); // a one-pixel line
        paint(f, hLine(61, 599, 300)); // a two-pixel line
        paint(f, hLine(61, 599, 301));
        AutomaticDigitising(f.ws, threshold);
        QCOMPARE(f.dialogs.questions, QStringList{"M101\rM11"});
        QCOMPARE(f.doc.zeroPointX, 60);
        QCOMPARE(f.doc.zeroPointY, 400);
        QCOMPARE(f.doc.xMaxPointY, 400);
        QCOMPARE(f.doc.yMaxPointX, 60);
        QCOMPARE(f.doc.xMaxPointX, 200);
        QCOMPARE(double(f.doc.axisAngle), 0.0);
        QList<QPoint> expected;
        for (int k = 1; k <= 30; ++k) {
            const int x = 60 + 20 + 15 * k;
            const int y = x <= 201 ? expectedY : beyondAxesY;
            if (x < 600 && y >= 0)
                expected << QPoint(x, y);
        }
        QCOMPARE(linePoints(f.doc, 1), expected);
    }

    void automaticDigitisingNoOrNoAxisChangesNothing() {
        Fixture f(600, 600);
        f.doc.appendPoint(1, 5, 5);
        paint(f, hLine(20, 599, 400));
        paint(f, vLine(60, 20, 599));
        const QImage before = f.doc.workingPicture;
        f.dialogs.answers.push_back(Answer::No);
        AutomaticDigitising(f.ws, 3);
        QCOMPARE(f.doc.zeroPointX, 50);
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QCOMPARE(f.doc.workingPicture, before);

        Fixture g(600, 600);
        paint(g, hLine(20, 599, 400)); // no Y axis in its band
        const QImage picture = g.doc.workingPicture;
        try {
            AutomaticDigitising(g.ws, 3);
            QFAIL("no axis was accepted");
        } catch (const CommandError& error) {
            QCOMPARE(error.text(), g.doc.texts.extra(ExtraText::NoAxisFound));
        }
        QCOMPARE(g.doc.zeroPointY, 200);
        QCOMPARE(g.doc.workingPicture, picture);
    }

    // --- Clean-up -----------------------------------------------------------------------------
    void cleanUpRemovesSpecksAndThinLines_data() {
        QTest::addColumn<QList<QPoint>>("pixels");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<bool>("removed");
        QTest::newRow("isolated pixel") << QList<QPoint>{{10, 10}} << kBlack << true;
        QTest::newRow("touching pair") << QList<QPoint>{{10, 10}, {11, 11}} << kBlack << true;
        QTest::newRow("horizontal line") << hLine(5, 30, 10) << kBlack << true;
        QTest::newRow("vertical line") << vLine(10, 5, 30) << kBlack << true;
        QList<QPoint> falling, rising;
        for (int i = 0; i < 20; ++i) {
            falling << QPoint(5 + i, 5 + i);
            rising << QPoint(5 + i, 30 - i);
        }
        QTest::newRow("falling diagonal") << falling << kBlack << true;
        QTest::newRow("rising diagonal") << rising << kBlack << true;
        QTest::newRow("two-pixel line survives")
            << hLine(5, 30, 10) + hLine(5, 30, 11) << kBlack << false;
        QTest::newRow("200,200,200 is dark")
            << QList<QPoint>{{10, 10}} << qRgb(200, 200, 200) << true;
        QTest::newRow("201,0,0 is not") << QList<QPoint>{{10, 10}} << qRgb(201, 0, 0) << false;
    }
    void cleanUpRemovesSpecksAndThinLines() {
        QFETCH(QList<QPoint>, pixels);
        QFETCH(QRgb, colour);
        QFETCH(bool, removed);
        QImage picture(40, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (const QPoint& p : pixels)
            picture.setPixel(p, colour);
        QImage expected = picture;
        if (removed)
            expected.fill(Qt::white);
        CleanUpPass(picture, 40, 40, {200, 200, 200});
        QCOMPARE(picture, expected);
    }

    void cleanUpPassEqualsColumnByColumnRule() {
        QRandomGenerator random(7);
        const std::vector<QRgb> palette{kBlack, qRgb(200, 200, 200), qRgb(201, 0, 0),
                                        qRgb(0, 0, 0x80)};
        const DarkLimits limits[] = {{200, 200, 200}, {0, 0, 0}, {255, 255, 255}, {120, 255, 0}};
        for (int round = 0; round < 200; ++round) {
            // Now and then wider than one strip of the pass, so strips meet.
            const int width = 1 + random.bounded(round % 8 == 0 ? 400 : 90);
            const int height = 1 + random.bounded(90);
            QImage picture = randomPicture(random, width, height, random.bounded(70), palette);
            // The pass size usually is the picture's, sometimes smaller or larger.
            const int w = random.bounded(4) == 0 ? random.bounded(width + 10) : width;
            const int h = random.bounded(4) == 0 ? random.bounded(100) : height;
            const DarkLimits& limit = limits[random.bounded(4)];
            QImage expected = picture.copy();
            plainCleanUp(expected, w, h, limit);
            CleanUpPass(picture, w, h, limit);
            QCOMPARE(picture, expected);
        }
    }

    void cleanUpKeepsOrDiscardsAfterTheQuestion() {
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            BusyView view;
            Fixture f(100, 100);
            Workspace ws{f.doc, f.dialogs, view};
            paint(f, {{30, 30}});
            f.doc.appendPoint(1, 70, 70);
            f.doc.viewScale = 4;
            const QImage clean = f.doc.cleanPicture;
            f.dialogs.answers.push_back(answer);
            CleanUpPicture(ws);
            QCOMPARE(f.dialogs.questions, QStringList{"M13"});
            QCOMPARE(view.busy, (QList<bool>{true, false}));
            QCOMPARE(double(f.doc.viewScale), 1.0);
            QCOMPARE(pixelColour(f.doc.cleanPicture, 30, 30),
                     answer == Answer::Yes ? Colour(0xFFFFFF) : Colour(0));
            if (answer == Answer::No)
                QCOMPARE(f.doc.cleanPicture, clean);
            // Marks and axes are back on the working picture.
            const QImage shown = f.doc.workingPicture;
            RedrawMarks(f.doc);
            ToggleAxes(f.doc);
            QCOMPARE(shown, f.doc.workingPicture);
        }
    }

    // A picture read from a file is held in shared memory by the clean and the working picture;
    // a kept clean-up swaps them, and later clean-ups and restores still start from the clean.
    void cleanUpOfAReadPictureKeepsTheCleanOneExact() {
        Fixture f;
        QImage read = NewPictureForReading(QSize(100, 100));
        read.fill(Qt::white);
        read.setPixel(30, 30, kBlack);
        InstallNewPicture(f.ws, read);
        read = QImage();
        f.doc.appendPoint(1, 70, 70);
        f.dialogs.answers = {Answer::Yes, Answer::No};
        CleanUpPicture(f.ws);
        QCOMPARE(pixelColour(f.doc.cleanPicture, 30, 30), Colour(0xFFFFFF));
        const QImage cleaned = f.doc.cleanPicture;
        CleanUpPicture(f.ws);
        QCOMPARE(f.doc.cleanPicture, cleaned);
        ShowCleanPicture(f.doc);
        QCOMPARE(f.doc.workingPicture, cleaned);
        QCOMPARE(pixelColour(f.doc.searchCopy, 30, 30), Colour(0)); // taken when it was read
    }
};

QTEST_GUILESS_MAIN(TestTracing)
#include "test_tracing.moc"
