#include <algorithm>
#include <set>

#include <QPainter>
#include <QtTest>

#include "core/clicks.h"
#include "core/drawing.h"
#include "core/linedata.h"
#include "core/snap.h"
#include "core/strokesnap.h"
#include "fixture.h"

using namespace kurvana;
using kurvana::test::Fixture;

class TestDrawing : public QObject {
    Q_OBJECT

    static QRgb at(const Fixture& f, int x, int y) { return f.doc.workingPicture.pixel(x, y); }

    /// A picture of random opaque colours, so that every wrongly restored pixel shows.
    static QImage noisePicture(int width, int height, QRandomGenerator& random) {
        QImage noise(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                noise.setPixel(x, y, 0xFF000000u | random.bounded(0x1000000u));
        return noise;
    }

    /// Paints an anti-aliased stroke along the line through `a` and `b`, given in pixel
    /// indices (a pixel's index is its centre), into the clean and the working picture.
    static void stroke(Fixture& f, QPointF a, QPointF b, double width, QRgb colour) {
        for (QImage* image : {&f.doc.cleanPicture, &f.doc.workingPicture}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor::fromRgb(colour), width, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(a + QPointF(0.5, 0.5), b + QPointF(0.5, 0.5));
        }
    }

    /// Distance of p from the line through a and b.
    static double offLine(QPointF p, QPointF a, QPointF b) {
        const QPointF d = b - a;
        return std::abs(d.x() * (p.y() - a.y()) - d.y() * (p.x() - a.x())) /
               std::hypot(d.x(), d.y());
    }

private slots:
    void aMarkIsTheCircleInscribedInItsBox() {
        Fixture f(40, 40);
        ShowCleanPicture(f.doc);
        f.doc.lineColor[1] = 0x0000FF;
        DrawMark(f.doc, 10, 10, 2, 1);
        const QRgb red = 0xFFFF0000u;
        QCOMPARE(at(f, 8, 10), red);
        QCOMPARE(at(f, 12, 10), red);
        QCOMPARE(at(f, 10, 8), red);
        QCOMPARE(at(f, 10, 12), red);
        QCOMPARE(at(f, 10, 10), 0xFFFFFFFFu); // hollow
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (x < 8 || x > 12 || y < 8 || y > 12)
                    QCOMPARE(at(f, x, y), 0xFFFFFFFFu);
        // Left-right and up-down symmetric outline.
        for (int y = 8; y <= 12; ++y)
            for (int x = 8; x <= 12; ++x)
                QCOMPARE(at(f, x, y), at(f, 20 - x, y));
    }

    void togglingTwiceRestoresEveryPixel() {
        Fixture f(300, 300);
        QRandomGenerator random(3);
        const QImage noise = noisePicture(300, 300, random);
        f.doc.workingPicture = noise;
        f.doc.axesColor = 0x123456;
        ToggleAxes(f.doc);
        QVERIFY(f.doc.workingPicture != noise);
        ToggleAxes(f.doc);
        QCOMPARE(f.doc.workingPicture, noise);
        ToggleHighlight(f.doc, 1, 1, 5); // partly outside the picture
        ToggleZoneCircle(f.doc, 150, 150);
        ToggleHighlight(f.doc, 1, 1, 5);
        ToggleZoneCircle(f.doc, 150, 150);
        QCOMPARE(f.doc.workingPicture, noise);
    }

    void redrawShowsTheHigherLineOnTopAndRestoresTheCleanPicture() {
        Fixture f(100, 100);
        f.doc.lineColor[1] = 0x0000FF;
        f.doc.lineColor[4] = 0x00FF00;
        f.doc.appendPoint(4, 30, 30);
        f.doc.appendPoint(1, 30, 30);
        RedrawMarks(f.doc);
        QCOMPARE(at(f, 30 - f.doc.markDiameter, 30), 0xFF00FF00u);
        f.doc.nextRow.fill(1);
        RedrawMarks(f.doc);
        QCOMPARE(f.doc.workingPicture, f.doc.cleanPicture);
    }

    void axesAreThreePixelsWideThroughTheReferencePoints() {
        Fixture f(300, 300); // the reset already drew them once
        for (int dy : {-1, 0, 1})
            QVERIFY(at(f, 120, 200 + dy) != 0xFFFFFFFFu);
        QCOMPARE(at(f, 120, 202), 0xFFFFFFFFu);
        QVERIFY(at(f, 50, 120) != 0xFFFFFFFFu);
        // Far-away reference points cost nothing and draw the visible part.
        f.doc.xMaxPointX = 2000000000;
        ToggleAxes(f.doc);
        ToggleAxes(f.doc);
    }

    void erasingRestoresOnlyWhatItMustAndEqualsTheFullRestore() {
        Fixture f(200, 160);
        QRandomGenerator random(11);
        InstallNewPicture(f.ws, noisePicture(200, 160, random));
        f.doc.autoCorrectOn = false;
        for (int step = 0; step < 300; ++step) {
            const int x = random.bounded(200), y = random.bounded(160);
            switch (random.bounded(6)) {
            case 0:
            case 1:
                f.doc.currentLine = 1 + random.bounded(5);
                PictureMouseDown(f.ws, x, y, LeftButton); // a mark over the axes
                break;
            case 2:
                ToggleZoneCircle(f.doc, x, y); // left on the picture
                break;
            case 3:
                SetInputMode(f.ws, ModeXMaxPoint);
                if (x != f.doc.zeroPointX || y != f.doc.zeroPointY)
                    PictureMouseDown(f.ws, x, y, LeftButton);
                SetInputMode(f.ws, ModeMarks);
                break;
            default:
                RemoveNearPoints(f.ws, x, y, 9);
                Document full = f.doc;
                RedrawMarks(full);
                ToggleAxes(full);
                QCOMPARE(f.doc.workingPicture, full.workingPicture);
            }
        }
    }

    // Clearing a line restores only the areas of its marks and of what was drawn since; the
    // result must be the full redraw, with marks over the axes and more areas than a few.
    void clearingALineEqualsTheFullRedraw() {
        Fixture f(300, 240);
        QRandomGenerator random(17);
        InstallNewPicture(f.ws, noisePicture(300, 240, random));
        for (int line = 1; line <= kLineCount; ++line) {
            f.doc.lineColor[line] = colourFromRgb(40 * line, 255 - 30 * line, 7 * line);
            for (int i = 0; i < 300; ++i) {
                // Every third point on an axis line.
                const bool onAxis = i % 3 == 0;
                f.doc.appendPoint(line, onAxis ? 50 : random.bounded(-5, 305),
                                  onAxis ? random.bounded(40, 220) : random.bounded(-5, 245));
            }
        }
        RedrawMarks(f.doc);
        ToggleAxes(f.doc);
        for (int i = 0; i < 300; ++i) // a zone trail left on the picture
            ToggleZoneCircle(f.doc, random.bounded(300), random.bounded(240));
        f.doc.currentLine = 3;
        ClearLineData(f.ws);
        Document full = f.doc;
        RedrawMarks(full);
        ToggleAxes(full);
        QCOMPARE(f.doc.workingPicture, full.workingPicture);
    }

    void aLargePictureGetsAWorkingPictureOfItsOwn() {
        Fixture f;
        for (const QSize size : {QSize(1700, 1300), QSize(1500, 1600)}) {
            QImage scan(size, QImage::Format_RGB32);
            scan.fill(qRgb(250, 240, 230));
            scan.setPixel(5, 7, qRgb(1, 2, 3));
            scan.setDotsPerMeterX(11811);
            scan.setText("Source", "scanner");
            InstallNewPicture(f.ws, scan);
            const QImage& working = f.doc.workingPicture;
            QVERIFY(working.constBits() != f.doc.cleanPicture.constBits());
            QCOMPARE(working.size(), size);
            QCOMPARE(working.dotsPerMeterX(), 11811);
            QCOMPARE(working.text("Source"), QString("scanner"));
            ToggleAxes(f.doc);
            QCOMPARE(working, scan);
            DrawMark(f.doc, 5, 7, 3, 1);
            QCOMPARE(f.doc.cleanPicture, scan);
        }
    }

    // The axes are drawn without listing their pixels first; each pixel must still be turned
    // exactly once, also where the two axes meet or lie over each other.
    void theAxesTurnEachOfTheirPixelsOnce_data() {
        QTest::addColumn<QList<QPoint>>("corners"); // Y max, zero, X max
        QTest::newRow("level") << QList<QPoint>{{50, 20}, {50, 140}, {180, 140}};
        QTest::newRow("tilted") << QList<QPoint>{{30, 25}, {52, 141}, {181, 119}};
        QTest::newRow("Y max on the X axis") << QList<QPoint>{{120, 140}, {50, 140}, {180, 140}};
        QTest::newRow("all at one point") << QList<QPoint>{{90, 90}, {90, 90}, {90, 90}};
        QTest::newRow("partly outside") << QList<QPoint>{{-40, -400}, {10, 150}, {900, 170}};
    }
    void theAxesTurnEachOfTheirPixelsOnce() {
        QFETCH(QList<QPoint>, corners);
        Fixture f(200, 160);
        ShowCleanPicture(f.doc);
        f.doc.yMaxPointX = corners[0].x();
        f.doc.yMaxPointY = corners[0].y();
        f.doc.zeroPointX = corners[1].x();
        f.doc.zeroPointY = corners[1].y();
        f.doc.xMaxPointX = corners[2].x();
        f.doc.xMaxPointY = corners[2].y();
        QImage expected = f.doc.workingPicture.copy();
        NotXorPixels(expected, PolylinePixels({corners.begin(), corners.end()}, 3, expected.rect()),
                     f.doc.axesColor);
        ToggleAxes(f.doc);
        QCOMPARE(f.doc.workingPicture, expected);
    }

    void longPolylinesGiveEachPixelOnceInReadingOrder() {
        // Long enough to be sorted row by row; the last segment crosses the others.
        const std::vector<QPoint> corners{{40, 10}, {40, 900}, {1500, 900}, {35, 15}};
        const QRect clip(0, 0, 1400, 950);
        const std::vector<QPoint> pixels = PolylinePixels(corners, 3, clip);
        const auto readingOrder = [](const QPoint& a, const QPoint& b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        };
        QVERIFY(std::is_sorted(pixels.begin(), pixels.end(), readingOrder));
        QVERIFY(std::adjacent_find(pixels.begin(), pixels.end()) == pixels.end());
        std::set<std::pair<int, int>> segments;
        for (std::size_t i = 1; i < corners.size(); ++i)
            for (const QPoint& p : PolylinePixels({corners[i - 1], corners[i]}, 3, clip))
                segments.insert({p.x(), p.y()});
        std::set<std::pair<int, int>> whole;
        for (const QPoint& p : pixels)
            whole.insert({p.x(), p.y()});
        QCOMPARE(whole, segments);
    }

    void snapFindsTheMiddleOfTheStroke_data() {
        QTest::addColumn<QList<QPoint>>("ink");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QPoint>("expected");
        QList<QPoint> horizontal;
        for (int x = 0; x < 200; ++x)
            horizontal << QPoint(x, 100);
        QTest::newRow("on a one-pixel line") << horizontal << QPoint(50, 100) << QPoint(50, 100);
        QTest::newRow("three pixels above") << horizontal << QPoint(50, 97) << QPoint(50, 100);
        QTest::newRow("no ink within reach") << horizontal << QPoint(50, 90) << QPoint(50, 90);
        QTest::newRow("at the picture edge")
            << QList<QPoint>{{0, 0}} << QPoint(1, 1) << QPoint(0, 0);
        QTest::newRow("truncated mean")
            << QList<QPoint>{{20, 20}, {21, 20}} << QPoint(20, 20) << QPoint(20, 20);
    }
    void snapFindsTheMiddleOfTheStroke() {
        QFETCH(QList<QPoint>, ink);
        QFETCH(QPoint, click);
        QFETCH(QPoint, expected);
        Fixture f(200, 200);
        ShowCleanPicture(f.doc);
        for (const QPoint& p : ink)
            f.ink(p.x(), p.y());
        QCOMPARE(SnapToInk(f.doc, click.x(), click.y()), expected);
    }

    void snapNeedsThresholdsAndOnlyInk() {
        Fixture f(100, 100);
        ShowCleanPicture(f.doc);
        f.ink(50, 52);
        f.doc.inkThresholdR = f.doc.inkThresholdG = f.doc.inkThresholdB = 0;
        QCOMPARE(SnapToInk(f.doc, 50, 50), QPoint(50, 50));
        f.doc.inkThresholdR = f.doc.inkThresholdG = f.doc.inkThresholdB = 200;
        f.ink(50, 52, qRgb(200, 0, 0)); // 200 is not below 200
        QCOMPARE(SnapToInk(f.doc, 50, 50), QPoint(50, 50));
        f.ink(50, 52, qRgb(199, 199, 199));
        QCOMPARE(SnapToInk(f.doc, 50, 50), QPoint(50, 52));
    }

    // Clicks 1 to 5 pixels to either side of anti-aliased strokes land on the centre of the
    // cross-section nearest to the click: exactly on upright strokes, within rounding on a
    // slanted one. A black stroke 12 pixels away, within reach of some clicks but farther than
    // the stroke clicked beside, pulls none of them.
    void snapFindsTheCentreOfAStrokeOfAnyColour_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<double>("width");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("red horizontal, 2 px")
            << QPointF(0, 100.3) << QPointF(199, 100.3) << 2.0 << qRgb(255, 0, 0);
        QTest::newRow("blue vertical, 3 px")
            << QPointF(99.8, 0) << QPointF(99.8, 199) << 3.0 << qRgb(0, 0, 255);
        QTest::newRow("green 30 degrees, 2 px")
            << QPointF(13.4, 150) << QPointF(186.6, 50) << 2.0 << qRgb(0, 150, 0);
        QTest::newRow("grey 30 degrees, 1 px")
            << QPointF(13.4, 150) << QPointF(186.6, 50) << 1.0 << qRgb(90, 90, 90);
    }
    void snapFindsTheCentreOfAStrokeOfAnyColour() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(double, width);
        QFETCH(QRgb, colour);
        Fixture f(200, 200);
        ShowCleanPicture(f.doc);
        const QPointF along = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF normal(-along.y(), along.x());
        stroke(f, a + normal * 12, b + normal * 12, 2, qRgb(0, 0, 0)); // the other stroke
        stroke(f, a, b, width, colour);
        const bool upright = a.x() == b.x() || a.y() == b.y();
        for (int off = -5; off <= 5; ++off) {
            for (double t : {60.0, 95.0, 130.0}) {
                const QPointF foot = a + along * t;
                const QPointF click = foot + normal * off;
                const QPoint snapped = SnapToStroke(f.doc.cleanPicture, int(std::lround(click.x())),
                                                    int(std::lround(click.y())));
                const QString where = QString("click %1 off at %2").arg(off).arg(t);
                QVERIFY2(offLine(snapped, a, b) <= 0.75, qPrintable(where));
                // On an upright stroke: the click's own foot on the centre line, rounded.
                const QPointF clicked(std::lround(click.x()), std::lround(click.y()));
                const QPointF nearest = a + along * QPointF::dotProduct(clicked - a, along);
                if (upright)
                    QVERIFY2(snapped == QPoint(int(std::floor(nearest.x() + 0.5)),
                                               int(std::floor(nearest.y() + 0.5))),
                             qPrintable(where));
            }
        }
    }

    void strokeSnapReadsThePictureItIsGivenAndStaysAwayFromPaper() {
        Fixture f(200, 200);
        ShowCleanPicture(f.doc);
        stroke(f, QPointF(0, 100), QPointF(199, 100), 2, qRgb(255, 0, 0));
        // Out of reach, and a light grid line, pull nothing.
        QCOMPARE(SnapToStroke(f.doc.cleanPicture, 50, 92), QPoint(50, 92));
        stroke(f, QPointF(0, 60), QPointF(199, 60), 1, qRgb(225, 225, 225));
        QCOMPARE(SnapToStroke(f.doc.cleanPicture, 50, 62), QPoint(50, 62));
        // A click in marks mode reads the clean picture: a mark drawn beside the stroke on the
        // working picture does not pull the next click.
        f.doc.lineColor[1] = 0x000000;
        f.doc.markDiameter = 5;
        AddPoint(f.ws, 50, 96);
        QCOMPARE(QPoint(f.doc.pointX(1, 1), f.doc.pointY(1, 1)), QPoint(50, 100));
        DrawMark(f.doc, 70, 94, 5, 1);
        AddPoint(f.ws, 70, 97);
        QCOMPARE(QPoint(f.doc.pointX(1, 2), f.doc.pointY(1, 2)), QPoint(70, 100));
        // On dark paper the world beyond the edge is not a white stroke: a click near the edge
        // goes to the light line beside it, inside the picture.
        f.doc.cleanPicture.fill(qRgb(10, 10, 40));
        f.doc.workingPicture.fill(qRgb(10, 10, 40));
        stroke(f, QPointF(1, 0), QPointF(1, 199), 1, qRgb(250, 250, 250));
        QCOMPARE(SnapToStroke(f.doc.cleanPicture, 4, 150), QPoint(1, 150));
        QCOMPARE(SnapToStroke(f.doc.cleanPicture, 150, 197), QPoint(150, 197));
    }

    // "Dark lines only" is the probe star on the working picture, to the pixel: a red stroke
    // does not move a click, a black one-pixel line pulls it onto itself.
    void darkLinesOnlyKeepsTheProbeStar() {
        Fixture f(200, 200);
        ShowCleanPicture(f.doc);
        f.doc.sortOn = false;
        stroke(f, QPointF(0, 100.3), QPointF(199, 100.3), 2, qRgb(255, 0, 0));
        for (int x = 0; x < 200; ++x)
            f.ink(x, 140);
        f.doc.snapRule = SnapRule::DarkOnly;
        AddPoint(f.ws, 50, 97);
        AddPoint(f.ws, 50, 137);
        f.doc.snapRule = SnapRule::AnyColour;
        AddPoint(f.ws, 60, 97);
        AddPoint(f.ws, 60, 137);
        const QList<QPoint> expected{{50, 97}, {50, 140}, {60, 100}, {60, 140}};
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(QPoint(f.doc.pointX(1, row), f.doc.pointY(1, row)), expected[row - 1]);
    }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "test_drawing.moc"
