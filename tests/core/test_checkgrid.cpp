#include <cmath>

#include <QtTest>

#include "core/calibration.h"
#include "core/calibrationframe.h"
#include "core/checkgrid.h"
#include "core/clicks.h"
#include "core/polar.h"
#include "fixture.h"

using namespace kurvana;
using kurvana::test::Fixture;

namespace {

/// The exponent that the value conversion gives to the picture point p, before truncation:
/// the distance and direction from the zero point as ToRotatedFrame measures them, scaled as
/// ToAxisValues scales. Where the grid claims a value, this must give that value's exponent.
long double exponentAt(const Document& doc, GridAxis axis, QPointF p) {
    const long double dx = p.x() - doc.zeroPointX, dy = doc.zeroPointY - p.y();
    const long double r = std::sqrt(dx * dx + dy * dy);
    const long double d = std::atan2(dy, dx) - doc.axisAngle;
    if (axis == GridAxis::X)
        return (static_cast<long double>(doc.axisXMax) - doc.axisXMin) / doc.xAxisLength *
                   (std::cos(d) * r) +
               doc.axisXMin;
    return (static_cast<long double>(doc.axisYMax) - doc.axisYMin) / doc.yAxisLength *
               (std::sin(d) * r) +
           doc.axisYMin;
}

long double exponentOf(ScaleKind kind, double value) {
    if (kind == ScaleKind::Log10)
        return std::log10(static_cast<long double>(value));
    if (kind == ScaleKind::Ln)
        return std::log(static_cast<long double>(value)) / std::log(2.71828182845904L);
    return value;
}

/// Checks that every grid line of `axis` lies, along its whole length, within half a pixel of
/// where the conversion puts its value, and collects the lines' values.
void checkLines(const Document& doc, GridAxis axis, QList<double>& values) {
    const ScaleKind kind = axis == GridAxis::X ? doc.scaleX : doc.scaleY;
    const double pixelsPerUnit = axis == GridAxis::X
                                     ? std::fabs(doc.xAxisLength / (doc.axisXMax - doc.axisXMin))
                                     : std::fabs(doc.yAxisLength / (doc.axisYMax - doc.axisYMin));
    for (const GridLine& line : CheckGridLines(doc)) {
        if (line.axis != axis)
            continue;
        values << line.value;
        for (const double s : {0.0, 0.3, 0.5, 0.8, 1.0}) {
            const QPointF p = line.from + s * (line.to - line.from);
            const double offset =
                double(exponentAt(doc, axis, p) - exponentOf(kind, line.value)) * pixelsPerUnit;
            QVERIFY2(std::fabs(offset) <= 0.5,
                     qPrintable(QString("line %1 is %2 pixels off at (%3, %4)")
                                    .arg(line.value)
                                    .arg(offset)
                                    .arg(p.x())
                                    .arg(p.y())));
        }
    }
}

QList<double> checkedValues(const Document& doc, GridAxis axis) {
    QList<double> values;
    checkLines(doc, axis, values);
    return values;
}

} // namespace

class TestCheckGrid : public QObject {
    Q_OBJECT
private slots:
    void levelLinearGridLiesOnTheConvertedValues() {
        Fixture f(300, 300); // frame (50,200), (200,200), (50,50)
        f.doc.editMinX = "0";
        f.doc.editMaxX = "150";
        f.doc.editMinY = "-1";
        f.doc.editMaxY = "2";
        RefreshValues(f.ws);
        // X: step 20 between 0 and 150, on to the picture's edges (-50 .. 249 pixels away).
        QCOMPARE(
            checkedValues(f.doc, GridAxis::X),
            (QList<double>{-40, -20, 0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240}));
        // Y: 0.5 steps over 3 units, 7 lines in the typed range, a round 0.1-free text each.
        const QList<double> y = checkedValues(f.doc, GridAxis::Y);
        QVERIFY(y.contains(-1.0) && y.contains(0.5) && y.contains(2.0));
        QCOMPARE(y.indexOf(2.0) - y.indexOf(-1.0), 6);
        // A level line is level and crosses the whole picture.
        for (const GridLine& line : CheckGridLines(f.doc))
            if (line.axis == GridAxis::X && line.value == 20) {
                QCOMPARE(line.from, QPointF(70, 299.5));
                QCOMPARE(line.to, QPointF(70, -0.5));
                QCOMPARE(line.labelAnchor, QPointF(70, 200));
            }
    }

    void logarithmicAxisHasDecadesWithTwoAndFiveWhenThereIsRoom() {
        Fixture f(400, 300);
        f.doc.scaleX = ScaleKind::Log10;
        f.doc.editMinX = "-1"; // 0.1 ..
        f.doc.editMaxX = "1";  // .. 10 over 150 pixels: 75 pixels per decade
        RefreshValues(f.ws);
        const QList<double> wide = checkedValues(f.doc, GridAxis::X);
        for (const double v : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
            QVERIFY2(wide.contains(v), qPrintable(QString::number(v)));
        f.doc.editMaxX = "5"; // six decades over 150 pixels: decades only
        RefreshValues(f.ws);
        const QList<double> narrow = checkedValues(f.doc, GridAxis::X);
        QVERIFY(narrow.contains(1e3) && narrow.contains(1e5) && !narrow.contains(2e3));
        f.doc.scaleY = ScaleKind::Ln; // the natural kind lays the same round values
        f.doc.editMinY = "0";
        f.doc.editMaxY = "7"; // 1 .. e^7 ~ 1097
        RefreshValues(f.ws);
        const QList<double> natural = checkedValues(f.doc, GridAxis::Y);
        QVERIFY(natural.contains(1.0) && natural.contains(10.0) && natural.contains(1000.0));
    }

    void tiltedGridFollowsTheTiltedAxes() {
        Fixture f(400, 400);
        // A scan turned by 3 degrees: the X max point 200 pixels along the tilted axis.
        f.doc.inputMode = ModeZeroPoint;
        PictureMouseDown(f.ws, 60, 320, LeftButton);
        f.doc.inputMode = ModeXMaxPoint;
        PictureMouseDown(f.ws, 60 + 200, int(320 - std::round(200 * std::tan(M_PI / 60))),
                         LeftButton);
        f.doc.inputMode = ModeYMaxPoint;
        PictureMouseDown(f.ws, 70, 60, LeftButton);
        f.doc.editMinX = "0";
        f.doc.editMaxX = "10";
        f.doc.editMinY = "0";
        f.doc.editMaxY = "100";
        RefreshValues(f.ws);
        QVERIFY(std::fabs(double(f.doc.axisAngle) - M_PI / 60) < 0.01);
        QVERIFY(checkedValues(f.doc, GridAxis::X).size() >= 5);
        QVERIFY(checkedValues(f.doc, GridAxis::Y).size() >= 5);
        for (const GridLine& line : CheckGridLines(f.doc))
            if (line.axis == GridAxis::Y) // tilted with the X axis: rising to the right
                QVERIFY(line.to.x() > line.from.x() && line.to.y() < line.from.y());
    }

    void aDegenerateCalibrationHasNoGrid() {
        Fixture f(300, 300);
        f.doc.editMaxX = f.doc.editMinX = "5";
        RefreshValues(f.ws);
        QVERIFY(checkedValues(f.doc, GridAxis::X).isEmpty());
        QVERIFY(!checkedValues(f.doc, GridAxis::Y).isEmpty());
    }

    void theGridFollowsThePerspectiveAndThePolarFrame() {
        Fixture f(400, 400);
        ChooseFrame(f.ws, CalibrationFrame::Perspective);
        f.doc.perspective.pointX = {40, 360, 300, 90};
        f.doc.perspective.pointY = {300, 320, 60, 40};
        f.doc.perspective.editX = {"0", "10", "10", "0"};
        f.doc.perspective.editY = {"-1", "-1", "2", "2"};
        f.doc.scaleY = ScaleKind::Log10;
        RefreshValues(f.ws);
        const auto toExponents = PerspectiveToExponents(f.doc);
        int lines = 0;
        for (const GridLine& line : CheckGridLines(f.doc))
            for (const QPointF p : {line.from, (line.from + line.to) / 2, line.to}) {
                const PlanePoint t = *toExponents->apply({p.x(), p.y()});
                const long double want =
                    line.axis == GridAxis::X ? line.value : std::log10(line.value);
                QVERIFY(std::fabs((line.axis == GridAxis::X ? t.x : t.y) - want) < 1e-9L);
                ++lines;
            }
        QVERIFY(lines > 3 * 12);

        ChooseFrame(f.ws, CalibrationFrame::Polar);
        f.doc.polar = PolarCalibration{200, 200, 300, 150, "30", "5", "0"};
        RefreshValues(f.ws);
        int rays = 0, circles = 0;
        for (const GridLine& line : CheckGridLines(f.doc)) {
            const auto& points = line.path.empty() ? std::vector<QPointF>{line.to} : line.path;
            for (const QPointF p : points) {
                const PlanePoint v = *PolarValuesAt(f.doc.polar, {p.x(), p.y()});
                if (line.axis == GridAxis::X)
                    QVERIFY(std::fabs(std::remainder(v.x - line.value, 360.0L)) < 1e-9L);
                else
                    QVERIFY(std::fabs(v.y - line.value) < 1e-9L);
            }
            ++(line.path.empty() ? rays : circles);
        }
        QCOMPARE(rays, 12);
        QVERIFY(circles >= 5);
    }
};

QTEST_GUILESS_MAIN(TestCheckGrid)
#include "test_checkgrid.moc"
