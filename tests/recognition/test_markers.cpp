#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/document.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"
#include "recognition/markers/findmarkers.h"
#include "recognition/markers/markercommand.h"

using namespace kurvana;
using markers::MarkerShape;

namespace {

/// Draws a marker as chart programs do: anti-aliased, the centre anywhere between pixels
/// (pixel centres are whole numbers).
void drawMarker(QPainter& painter, MarkerShape shape, QPointF c, double size, bool filled,
                QColor colour, double pen = 1.2) {
    const double h = size / 2;
    c += QPointF(0.5, 0.5); // QPainter's pixel centres lie at half coordinates
    QPainterPath path;
    switch (shape) {
    case MarkerShape::Circle:
        path.addEllipse(c, h, h);
        break;
    case MarkerShape::Square:
        path.addRect(QRectF(c.x() - h, c.y() - h, size, size));
        break;
    case MarkerShape::TriangleUp:
    case MarkerShape::TriangleDown: {
        const double s = shape == MarkerShape::TriangleUp ? 1 : -1;
        // Centred in its height, as chart programs draw it (not on its centroid, which lies
        // a sixth of the height nearer the base).
        path.moveTo(c.x(), c.y() - s * h);
        path.lineTo(c.x() + h, c.y() + s * h);
        path.lineTo(c.x() - h, c.y() + s * h);
        path.closeSubpath();
        break;
    }
    case MarkerShape::Diamond:
        path.moveTo(c.x(), c.y() - h);
        path.lineTo(c.x() + h, c.y());
        path.lineTo(c.x(), c.y() + h);
        path.lineTo(c.x() - h, c.y());
        path.closeSubpath();
        break;
    case MarkerShape::Cross:
        path.moveTo(c + QPointF(-h, -h));
        path.lineTo(c + QPointF(h, h));
        path.moveTo(c + QPointF(-h, h));
        path.lineTo(c + QPointF(h, -h));
        filled = false;
        break;
    case MarkerShape::Plus:
    case MarkerShape::Other:
        path.moveTo(c + QPointF(-h, 0));
        path.lineTo(c + QPointF(h, 0));
        path.moveTo(c + QPointF(0, -h));
        path.lineTo(c + QPointF(0, h));
        filled = false;
        break;
    }
    painter.setPen(QPen(colour, pen));
    painter.setBrush(filled ? QBrush(colour) : Qt::NoBrush);
    painter.drawPath(path);
}

QImage paper(int width = 420, int height = 300) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

/// Markers on a grid, every one at its own fraction of a pixel.
std::vector<QPointF> gridCentres(int columns, int rows, QPointF origin, double step) {
    std::vector<QPointF> centres;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            centres.emplace_back(origin.x() + c * step + 0.13 * ((c * 7 + r * 3) % 8),
                                 origin.y() + r * step + 0.11 * ((c * 5 + r) % 9));
    return centres;
}

/// The largest distance from each true centre to the nearest found one; fails when the counts
/// differ.
double worstError(const MarkerFinding& finding, const std::vector<QPointF>& truth) {
    if (finding.markers.size() != truth.size())
        return 1e9;
    double worst = 0;
    for (const QPointF& t : truth) {
        double nearest = 1e9;
        for (const FoundMarker& m : finding.markers)
            nearest = std::min(nearest, std::hypot(m.centre.x() - t.x(), m.centre.y() - t.y()));
        worst = std::max(worst, nearest);
    }
    return worst;
}

QPoint pixelOf(QPointF p) {
    return {int(std::lround(p.x())), int(std::lround(p.y()))};
}

} // namespace

class TestMarkers : public QObject {
    Q_OBJECT

private slots:
    void everyShapeIsFoundAndToldFromAnotherOfItsColour_data();
    void everyShapeIsFoundAndToldFromAnotherOfItsColour();
    void linesOverlapsAndErrorBars();
    void barsStoppingAtATrianglesOutline();
    void nothingUnderTheClick();
    void commandLine();
};

void TestMarkers::everyShapeIsFoundAndToldFromAnotherOfItsColour_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("thick"); // outlines 2 pixels wide, green, beside the same in black
    const std::pair<MarkerShape, const char*> shapes[] = {
        {MarkerShape::Circle, "circle"},
        {MarkerShape::Square, "square"},
        {MarkerShape::TriangleUp, "triangle-up"},
        {MarkerShape::TriangleDown, "triangle-down"},
        {MarkerShape::Diamond, "diamond"},
        {MarkerShape::Cross, "cross"},
        {MarkerShape::Plus, "plus"}};
    for (const auto& [shape, name] : shapes)
        for (bool filled : {true, false}) {
            if (!filled && (shape == MarkerShape::Cross || shape == MarkerShape::Plus))
                continue;
            const bool arms = shape == MarkerShape::Cross || shape == MarkerShape::Plus;
            // The smallest (whole pixels make a 5-pixel circle's box as full as a square's)
            // filled only: an outline that small fills its marker, and a plus of strokes
            // over a pixel wide a filled diamond.
            const bool smallest = filled && shape != MarkerShape::Plus;
            for (double size : {smallest ? 5.0 : 0.0, arms ? 9.0 : 7.0, 14.0})
                if (size > 0)
                    QTest::addRow("%s %s %g", name, filled ? "filled" : "open", size)
                        << int(shape) << filled << size << false;
        }
    // Thick outlines, and black ink is no darker green.
    QTest::addRow("triangle-up open 14 thick")
        << int(MarkerShape::TriangleUp) << false << 14.0 << true;
}

void TestMarkers::everyShapeIsFoundAndToldFromAnotherOfItsColour() {
    QFETCH(int, shape);
    QFETCH(bool, filled);
    QFETCH(double, size);
    QFETCH(bool, thick);
    const auto kind = MarkerShape(shape);
    const QColor colour = thick ? QColor(0, 140, 0) : QColor(200, 30, 30);
    const double pen = thick ? 2 : 1.2;
    // The other series: same colour, another shape.
    const MarkerShape other = thick                         ? kind
                              : kind == MarkerShape::Circle ? MarkerShape::Diamond
                                                            : MarkerShape::Circle;
    QImage picture = paper();
    const std::vector<QPointF> mine = gridCentres(6, 4, {30, 30}, 3 * size + 6);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPointF& c : mine)
            drawMarker(painter, kind, c, size, filled, colour, pen);
        for (const QPointF& c :
             gridCentres(6, 4, {30 + 1.5 * size + 3, 30 + 1.5 * size + 3}, 3 * size + 6))
            drawMarker(painter, other, c, size, filled, thick ? Qt::black : colour, pen);
    }
    const auto finding = FindMarkers(picture, pixelOf(mine[7]));
    QVERIFY(finding);
    QCOMPARE(markers::ShapeName(finding->kind.shape), markers::ShapeName(kind));
    QCOMPARE(finding->kind.filled,
             filled && kind != MarkerShape::Cross && kind != MarkerShape::Plus);
    QVERIFY(std::abs(finding->kind.size - size) <= 2.5);
    QCOMPARE(finding->markers.size(), mine.size());
    QVERIFY2(worstError(*finding, mine) < 0.6,
             qPrintable(QString::number(worstError(*finding, mine))));
}

void TestMarkers::linesOverlapsAndErrorBars() {
    QImage picture = paper(500, 300);
    const QColor blue(20, 40, 220);
    std::vector<QPointF> truth;
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // A grid line (through the touching markers) and joining lines of the markers'
        // colour.
        painter.setPen(QPen(blue, 1));
        painter.drawLine(QPointF(0, 230.5), QPointF(500, 230.5));
        const std::vector<QPointF> joined{{40.3, 80}, {90.6, 120.2}, {140.2, 60.7}, {190.8, 100.4}};
        for (std::size_t i = 1; i < joined.size(); ++i)
            painter.drawLine(joined[i - 1] + QPointF(0.5, 0.5), joined[i] + QPointF(0.5, 0.5));
        truth = joined;
        // Touching, and overlapping by a quarter of their width.
        for (QPointF c : {QPointF(300.5, 230), QPointF(312.5, 230.3), QPointF(240.4, 170.2),
                          QPointF(247.6, 176.1)})
            truth.push_back(c);
        for (const QPointF& c : truth)
            drawMarker(painter, MarkerShape::Circle, c, 12, false, blue);
        // Error bars, with and without caps.
        painter.setPen(QPen(blue, 1));
        for (QPointF c : {QPointF(380.3, 150.6), QPointF(440.7, 140.2)}) {
            const bool caps = c.x() < 400;
            const QPointF o(c.x() + 0.5, c.y() + 0.5);
            painter.drawLine(o - QPointF(0, 30), o + QPointF(0, 20));
            if (caps) {
                painter.drawLine(o + QPointF(-5, -30), o + QPointF(5, -30));
                painter.drawLine(o + QPointF(-5, 20), o + QPointF(5, 20));
            }
            drawMarker(painter, MarkerShape::Circle, c, 12, false, blue);
            truth.push_back(c);
        }
        // Another series' line drawn over a bar: the bar carries on beyond it.
        painter.setPen(QPen(QColor(220, 20, 20), 2));
        painter.drawLine(QPointF(360, 133), QPointF(460, 133));
    }
    const auto finding = FindMarkers(picture, pixelOf(truth.back()));
    QVERIFY(finding);
    QVERIFY2(worstError(*finding, truth) < 0.8,
             qPrintable(QString::number(worstError(*finding, truth))));
    int bars = 0;
    for (const FoundMarker& m : finding->markers) {
        QVERIFY(!m.level); // the grid line is no error bar
        if (m.upright) {
            ++bars;
            QVERIFY(std::abs(m.upright->high - (m.centre.y() - 30)) < 1);
            QVERIFY(std::abs(m.upright->low - (m.centre.y() + 20)) < 1);
        }
    }
    QCOMPARE(bars, 2);
    // Clicked on one of the overlapping pair, the sample is that marker, not the pair.
    const auto fromPair = FindMarkers(picture, pixelOf(truth[6]));
    QVERIFY(fromPair);
    QVERIFY(std::abs(fromPair->kind.size - finding->kind.size) <= 1);
    QVERIFY2(worstError(*fromPair, truth) < 0.8,
             qPrintable(QString::number(worstError(*fromPair, truth))));

    // In the window: one undoable step adds a point per marker with its bar's ends, and one
    // Undo takes all of them away again.
    Document doc;
    platform::ScriptedDialogs dialogs;
    ViewHooks view;
    History history;
    Workspace ws{doc, dialogs, view, &history};
    InstallNewPicture(ws, picture);
    history.reset(doc, false);
    doc.currentLine = 3;
    const QPoint click = pixelOf(truth.back());
    QCOMPARE(FindMarkersAt(ws, click.x(), click.y()), int(truth.size()));
    QCOMPARE(doc.pointCount(3), int(truth.size()));
    int kept = 0;
    for (int row = 1; row <= doc.pointCount(3); ++row)
        kept += doc.extras(3, row).hasUpright();
    QCOMPARE(kept, 2);
    QCOMPARE(history.stepCount(), std::size_t(1));
    history.undo(ws);
    QCOMPARE(doc.pointCount(3), 0);
    for (int row = 1; row <= int(truth.size()); ++row)
        QVERIFY(doc.extras(3, row).empty());
    QVERIFY_THROWS_EXCEPTION(CommandError, FindMarkersAt(ws, 250, 10)); // on the paper
    QVERIFY(!history.canUndo());
}

void TestMarkers::barsStoppingAtATrianglesOutline() {
    // Open triangles whose bars stop at the apex and the base, as plotting programs draw them:
    // the bar continues the apex, which must still make a triangle, centred in its height.
    QImage picture = paper();
    const QColor red(220, 20, 20);
    const std::vector<QPointF> truth = gridCentres(5, 3, {40, 60}, 70);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPointF& c : truth) {
            drawMarker(painter, MarkerShape::TriangleUp, c, 10, false, red);
            const QPointF o = c + QPointF(0.5, 0.5);
            painter.setPen(QPen(red, 1));
            painter.drawLine(o - QPointF(0, 25), o - QPointF(0, 5));
            painter.drawLine(o + QPointF(0, 5), o + QPointF(0, 22));
        }
    }
    const auto finding = FindMarkers(picture, pixelOf(truth[6]));
    QVERIFY(finding);
    QCOMPARE(markers::ShapeName(finding->kind.shape), "triangle-up");
    QVERIFY2(worstError(*finding, truth) < 0.6,
             qPrintable(QString::number(worstError(*finding, truth))));
    for (const FoundMarker& m : finding->markers)
        QVERIFY(m.upright); // its ends are measured by the accuracy run
}

void TestMarkers::nothingUnderTheClick() {
    QImage picture = paper();
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        drawMarker(painter, MarkerShape::Square, {300, 200}, 10, true, Qt::black);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(0, 50, 420, 50); // a line alone is no marker
    }
    QVERIFY(!FindMarkers(picture, {60, 150}));
    QVERIFY(!FindMarkers(picture, {60, 50}));
    QVERIFY(FindMarkers(picture, {300, 200}));
}

void TestMarkers::commandLine() {
    QTemporaryDir folder;
    QImage picture = paper();
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPointF& c : gridCentres(3, 2, {50, 50}, 40))
            drawMarker(painter, MarkerShape::Square, c, 9, true, QColor(0, 128, 0));
    }
    const QString file = folder.filePath("chart.png");
    QVERIFY(picture.save(file));
    QProcess program;
    program.start(KURVANA_PROGRAM, {"--find-markers", "50,50", file});
    QVERIFY(program.waitForFinished());
    QCOMPARE(program.exitCode(), 0);
    const QJsonObject json = QJsonDocument::fromJson(program.readAllStandardOutput()).object();
    QCOMPARE(json["shape"].toString(), QString("square"));
    QCOMPARE(json["filled"].toBool(), true);
    QCOMPARE(json["colour"].toString(), QString("#008000"));
    QCOMPARE(json["markers"].toArray().size(), 6);
    // No marker at the click, a picture that cannot be read, a malformed click: exit 2.
    for (const QStringList& arguments :
         {QStringList{"--find-markers", "200,250", file},
          QStringList{"--find-markers", "50,50", folder.filePath("missing.png")},
          QStringList{"--find-markers", "fifty", file}}) {
        program.start(KURVANA_PROGRAM, arguments);
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitCode(), 2);
    }
}

QTEST_GUILESS_MAIN(TestMarkers)
#include "test_markers.moc"
