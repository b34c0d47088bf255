#include "ui/artwork.h"

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace kurvana {

namespace {

// One palette for every image: a dark outline around light or saturated fills, so each image
// reads on a light and on a dark toolbar alike.
const QColor kInk(0x20, 0x26, 0x2e);
const QColor kPaper(0xfd, 0xfd, 0xfb);
const QColor kShade(0xdc, 0xe2, 0xe9);
const QColor kGridGrey(0x8a, 0x94, 0x9e);
const QColor kBlue(0x3a, 0x80, 0xec);
const QColor kSky(0xbf, 0xdb, 0xfb);
const QColor kRed(0xec, 0x3b, 0x30);
const QColor kRose(0xf6, 0xc4, 0xc0);
const QColor kGreen(0x2e, 0x9d, 0x4a);
const QColor kYellow(0xf6, 0xc8, 0x45);
const QColor kAmber(0xd9, 0x9a, 0x1b);
const QColor kOrange(0xf0, 0x8a, 0x1c);
const QColor kPurple(0x9b, 0x4f, 0xd0);
const QColor kSteel(0xa3, 0xae, 0xba);
const QColor kWood(0xc5, 0x8a, 0x4a);
const QColor kSkin(0xf6, 0xd2, 0xad);
const QColor kPink(0xf2, 0x9b, 0xb0);
const QColor kNeutral(0xc9, 0xcf, 0xd6);
const QColor kNeutralInk(0x5f, 0x69, 0x74);

// Stroke colours of the line images 1..5: the lines themselves all start out red, so the
// images carry fixed, distinct hues instead.
const std::array<QColor, 5> kLineHues{kRed, kBlue, kGreen, kOrange, kPurple};

QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillOutlined(QPainter& p, const QPainterPath& path, const QColor& fill, qreal width = 1.0) {
    p.setPen(roundPen(kInk, width));
    p.setBrush(fill);
    p.drawPath(path);
}

// A coloured stroke with a dark rim on both sides.
void strokeOutlined(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kInk, width + 2.0));
    p.drawPath(path);
    p.setPen(roundPen(colour, width));
    p.drawPath(path);
}

void lineOutlined(QPainter& p, QPointF a, QPointF b, const QColor& colour, qreal width) {
    QPainterPath path(a);
    path.lineTo(b);
    strokeOutlined(p, path, colour, width);
}

void dotOutlined(QPainter& p, QPointF centre, qreal radius, const QColor& fill) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    fillOutlined(p, path, fill);
}

QPainterPath rectPath(const QRectF& r, qreal radius = 0.0) {
    QPainterPath path;
    if (radius > 0.0)
        path.addRoundedRect(r, radius, radius);
    else
        path.addRect(r);
    return path;
}

QPainterPath graphPath(const std::function<qreal(qreal)>& f, qreal fromX, qreal toX) {
    QPainterPath path(QPointF(fromX, f(fromX)));
    const int steps = 24;
    for (int i = 1; i <= steps; ++i) {
        const qreal x = fromX + (toX - fromX) * i / steps;
        path.lineTo(x, f(x));
    }
    return path;
}

// A 3 x 5 pixel font for the digits and the colon: crisp at toolbar size, where an outline
// font blurs into grey.
const char* glyphRows(QChar c) {
    switch (c.unicode()) {
    case '0':
        return "111101101101111";
    case '1':
        return "010110010010111";
    case '2':
        return "111001111100111";
    case '3':
        return "111001011001111";
    case '4':
        return "101101111001001";
    case '5':
        return "111100111001111";
    case '6':
        return "111100111101111";
    case '7':
        return "111001001010010";
    case '8':
        return "111101111101111";
    case '9':
        return "111101111001111";
    case ':':
        return "01010"; // one column wide
    default:
        return "000000000000000";
    }
}

int glyphWidth(QChar c) {
    return c == u':' ? 1 : 3;
}

int textWidth(const QString& text) {
    int width = -1;
    for (const QChar c : text)
        width += glyphWidth(c) + 1;
    return width;
}

// Draws `text` in the pixel font with its top-left at (x, y), each font pixel `scale` screen
// pixels; with `outline` every lit pixel gets a one-pixel dark rim first.
void drawPixelText(QPainter& p, int x, int y, const QString& text, int scale, const QColor& colour,
                   bool outline = false) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int pass = outline ? 0 : 1; pass < 2; ++pass) {
        int left = x;
        for (const QChar c : text) {
            const int w = glyphWidth(c);
            const char* rows = glyphRows(c);
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < w; ++col) {
                    if (rows[row * w + col] != '1')
                        continue;
                    const QRect cell(left + col * scale, y + row * scale, scale, scale);
                    if (pass == 0)
                        p.fillRect(cell.adjusted(-1, -1, 1, 1), kInk);
                    else
                        p.fillRect(cell, colour);
                }
            left += (w + 1) * scale;
        }
    }
    p.restore();
}

// ---- toolbar images ------------------------------------------------------------------------

void drawOpenPicture(QPainter& p) {
    QPainterPath back(QPointF(1.5, 4.5));
    back.lineTo(6.5, 4.5);
    back.lineTo(8.0, 6.0);
    back.lineTo(15.5, 6.0);
    back.lineTo(15.5, 15.5);
    back.lineTo(1.5, 15.5);
    back.closeSubpath();
    fillOutlined(p, back, kAmber);
    fillOutlined(p, rectPath(QRectF(4.5, 1.5, 9.0, 9.0)), kPaper);
    p.setPen(QPen(kInk, 0.8));
    p.drawLine(QPointF(6.0, 3.0), QPointF(6.0, 8.5));
    p.drawLine(QPointF(6.0, 8.5), QPointF(12.5, 8.5));
    p.setPen(roundPen(kBlue, 1.2));
    p.drawPath(graphPath([](qreal x) { return 7.5 - 0.12 * (x - 6.5) * (x - 6.5); }, 6.5, 12.5));
    QPainterPath front(QPointF(1.5, 15.5));
    front.lineTo(3.8, 8.5);
    front.lineTo(17.0, 8.5);
    front.lineTo(15.5, 15.5);
    front.closeSubpath();
    fillOutlined(p, front, kYellow);
}

void drawClipboardBoard(QPainter& p) {
    fillOutlined(p, rectPath(QRectF(2.5, 2.5, 13.0, 15.0), 1.5), kWood);
    fillOutlined(p, rectPath(QRectF(4.5, 5.5, 9.0, 10.0)), kPaper);
}

void drawClipboardClip(QPainter& p) {
    fillOutlined(p, rectPath(QRectF(6.0, 0.5, 6.0, 3.5), 1.0), kSteel);
}

void drawPictureFromClipboard(QPainter& p) {
    drawClipboardBoard(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kSky);
    p.drawRect(QRectF(5.0, 6.0, 8.0, 9.0));
    QPainterPath hill(QPointF(5.0, 15.0));
    hill.lineTo(7.5, 10.5);
    hill.lineTo(9.5, 12.5);
    hill.lineTo(11.0, 11.0);
    hill.lineTo(13.0, 15.0);
    hill.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(hill);
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(11.0, 8.0), 1.3, 1.3);
    p.setPen(roundPen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 5.5, 9.0, 10.0));
    drawClipboardClip(p);
}

void drawCopyTable(QPainter& p) {
    drawClipboardBoard(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(4.5, 5.5, 9.0, 2.5));
    p.setPen(QPen(kGridGrey, 0.8));
    for (const qreal y : {10.5, 13.0})
        p.drawLine(QPointF(5.0, y), QPointF(13.0, y));
    p.drawLine(QPointF(8.5, 8.0), QPointF(8.5, 15.0));
    p.setPen(roundPen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 5.5, 9.0, 10.0));
    drawClipboardClip(p);
}

void drawDataTable(QPainter& p) {
    const QRectF sheet(1.5, 2.5, 15.0, 13.0);
    fillOutlined(p, rectPath(sheet), kPaper);
    p.setPen(Qt::NoPen);
    p.setBrush(kShade);
    p.drawRect(QRectF(1.5, 6.0, 4.0, 9.5));
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 2.5, 15.0, 3.5));
    p.setPen(QPen(kGridGrey, 0.8));
    for (const qreal y : {9.25, 12.5})
        p.drawLine(QPointF(1.5, y), QPointF(16.5, y));
    for (const qreal x : {5.5, 11.0})
        p.drawLine(QPointF(x, 6.0), QPointF(x, 15.5));
    p.setPen(roundPen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(sheet);
}

void drawHand(QPainter& p) {
    QPainterPath hand = rectPath(QRectF(4.5, 7.5, 10.5, 9.5), 3.0);
    const std::array<QRectF, 4> fingers{QRectF(4.5, 3.0, 2.6, 8.0), QRectF(7.2, 1.5, 2.6, 9.0),
                                        QRectF(9.9, 2.2, 2.6, 8.5), QRectF(12.6, 4.0, 2.4, 7.0)};
    for (const QRectF& f : fingers)
        hand = hand.united(rectPath(f, 1.25));
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.25, -4.5, 2.5, 7.0), 1.25, 1.25);
    hand = hand.united(QTransform().translate(4.2, 12.2).rotate(-40).map(thumb));
    fillOutlined(p, hand, kSkin);
    p.setPen(QPen(kInk, 0.8));
    for (const qreal x : {7.15, 9.85, 12.55})
        p.drawLine(QPointF(x, 5.0), QPointF(x, 9.5));
}

void drawGear(QPainter& p) {
    const QPointF centre(9.0, 9.0);
    QPainterPath gear;
    gear.addEllipse(centre, 5.8, 5.8);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.4, -8.3, 2.8, 4.0));
        gear =
            gear.united(QTransform().translate(centre.x(), centre.y()).rotate(i * 45.0).map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(centre, 2.3, 2.3);
    fillOutlined(p, gear.subtracted(hole), kSteel);
}

void drawRedCross(QPainter& p, QPointF centre, qreal half) {
    lineOutlined(p, centre + QPointF(-half, -half), centre + QPointF(half, half), kRed, 2.0);
    lineOutlined(p, centre + QPointF(half, -half), centre + QPointF(-half, half), kRed, 2.0);
}

void drawClearLine(QPainter& p) {
    fillOutlined(p, rectPath(QRectF(1.5, 1.5, 12.0, 14.0)), kPaper);
    const auto curve = [](qreal x) { return 12.5 - 0.8 * (x - 2.5) + 1.2 * std::sin(x * 0.9); };
    strokeOutlined(p, graphPath(curve, 3.0, 12.5), kBlue, 1.2);
    drawRedCross(p, QPointF(13.0, 13.0), 3.0);
}

void drawAxesWithTarget(QPainter& p, QPointF target) {
    QPainterPath axes(QPointF(3.5, 1.5));
    axes.lineTo(3.5, 14.5);
    axes.lineTo(16.5, 14.5);
    strokeOutlined(p, axes, kPaper, 1.4);
    dotOutlined(p, target, 3.0, kRed);
    dotOutlined(p, target, 1.0, kPaper);
}

void drawZeroPoint(QPainter& p) {
    drawAxesWithTarget(p, QPointF(3.5, 14.5));
}
void drawXMaxPoint(QPainter& p) {
    drawAxesWithTarget(p, QPointF(14.0, 14.5));
}
void drawYMaxPoint(QPainter& p) {
    drawAxesWithTarget(p, QPointF(3.5, 4.0));
}

void drawMarkCircle(QPainter& p, QPointF centre, const QColor& colour) {
    QPainterPath circle;
    circle.addEllipse(centre, 2.6, 2.6);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawPath(circle);
    strokeOutlined(p, circle, colour, 1.2);
}

void drawSetMarks(QPainter& p) {
    const auto curve = [](qreal x) { return 15.0 - 0.045 * (x - 1.0) * (x - 1.0) - 0.05 * x; };
    strokeOutlined(p, graphPath(curve, 1.0, 17.0), kBlue, 1.8);
    for (const qreal x : {4.8, 12.6})
        drawMarkCircle(p, QPointF(x, curve(x)), kRed);
}

void drawLine(QPainter& p, int line) {
    QPainterPath stroke(QPointF(2.0, 16.3));
    stroke.quadTo(QPointF(13.0, 16.3), QPointF(16.3, 3.5));
    strokeOutlined(p, stroke, kLineHues[std::size_t(line - 1)], 2.0);
    drawPixelText(p, 2, 1, QString::number(line), 2, kPaper, true);
}

void drawSpare(QPainter& p, int index) {
    p.setPen(QPen(kNeutralInk, 1.0, Qt::DashLine));
    p.setBrush(kNeutral);
    p.drawRoundedRect(QRectF(2.5, 2.5, 13.0, 13.0), 2.0, 2.0);
    const QString number = QString::number(index);
    drawPixelText(p, 9 - (textWidth(number) + 1) / 2, 7, number, 1, kNeutralInk);
}

void drawMagnet(QPainter& p) {
    const QPointF centre(9.0, 6.5);
    QPainterPath outer;
    outer.moveTo(centre.x() + 5.5, centre.y());
    outer.arcTo(QRectF(centre.x() - 5.5, centre.y() - 5.5, 11.0, 11.0), 0.0, 180.0);
    outer.lineTo(centre.x() - 5.5, 12.0);
    outer.lineTo(centre.x() - 2.3, 12.0);
    outer.lineTo(centre.x() - 2.3, centre.y());
    outer.arcTo(QRectF(centre.x() - 2.3, centre.y() - 2.3, 4.6, 4.6), 180.0, -180.0);
    outer.lineTo(centre.x() + 2.3, 12.0);
    outer.lineTo(centre.x() + 5.5, 12.0);
    outer.closeSubpath();
    fillOutlined(p, outer, kRed);
    p.setPen(roundPen(kInk, 1.0));
    p.setBrush(kSteel);
    p.drawRect(QRectF(centre.x() - 5.5, 9.5, 3.2, 2.5));
    p.drawRect(QRectF(centre.x() + 2.3, 9.5, 3.2, 2.5));
}

void drawSnap(QPainter& p) {
    strokeOutlined(p, graphPath([](qreal x) { return 15.3 + 0.8 * std::sin(x * 0.5); }, 1.0, 17.0),
                   kBlue, 1.4);
    drawMagnet(p);
}

void drawFixedStep(QPainter& p) {
    const auto curve = [](qreal x) { return 9.5 - 0.35 * x + 1.6 * std::sin(x * 0.8); };
    p.setPen(QPen(kSteel, 1.0));
    for (const qreal x : {3.5, 9.0, 14.5})
        p.drawLine(QPointF(x, curve(x)), QPointF(x, 15.0));
    lineOutlined(p, QPointF(1.5, 15.8), QPointF(16.5, 15.8), kPaper, 1.2);
    strokeOutlined(p, graphPath(curve, 1.0, 17.0), kBlue, 1.3);
    for (const qreal x : {3.5, 9.0, 14.5})
        dotOutlined(p, QPointF(x, curve(x)), 1.8, kRed);
}

void drawEraser(QPainter& p) {
    lineOutlined(p, QPointF(2.0, 16.5), QPointF(9.5, 16.5), kSteel, 0.8);
    p.save();
    p.translate(9.8, 8.0);
    p.rotate(-42.0);
    fillOutlined(p, rectPath(QRectF(-7.0, -3.6, 14.0, 7.2), 1.2), kSky);
    fillOutlined(p, rectPath(QRectF(-7.0, -3.6, 5.5, 7.2), 1.2), kPink);
    p.restore();
}

void drawCleanUp(QPainter& p) {
    for (const QPointF speck :
         {QPointF(12.5, 12.5), QPointF(15.5, 15.0), QPointF(11.0, 16.0), QPointF(15.5, 10.5)})
        dotOutlined(p, speck, 0.9, kSteel);
    lineOutlined(p, QPointF(16.5, 1.5), QPointF(8.5, 9.5), kWood, 1.6);
    QPainterPath brush(QPointF(7.0, 8.0));
    brush.lineTo(10.0, 11.0);
    brush.lineTo(6.0, 17.0);
    brush.lineTo(1.0, 12.0);
    brush.closeSubpath();
    fillOutlined(p, brush, kYellow);
    p.setPen(QPen(kAmber, 0.8));
    p.drawLine(QPointF(8.0, 10.5), QPointF(4.0, 14.5));
    p.drawLine(QPointF(6.5, 9.5), QPointF(2.8, 13.2));
}

void drawPipetteShape(QPainter& p, qreal unit) {
    // Drawn along +x from the tip at the origin; the caller rotates it into place.
    QPainterPath tip(QPointF(0.0, 0.0));
    tip.lineTo(3.0 * unit, -1.0 * unit);
    tip.lineTo(3.0 * unit, 1.0 * unit);
    tip.closeSubpath();
    fillOutlined(p, tip, kSky, unit);
    fillOutlined(p, rectPath(QRectF(3.0 * unit, -1.5 * unit, 8.0 * unit, 3.0 * unit)), kSky, unit);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(3.5 * unit, -1.0 * unit, 3.5 * unit, 2.0 * unit));
    fillOutlined(p, rectPath(QRectF(11.0 * unit, -2.3 * unit, 1.8 * unit, 4.6 * unit)), kSteel,
                 unit);
    fillOutlined(p, rectPath(QRectF(12.8 * unit, -2.0 * unit, 6.0 * unit, 4.0 * unit), 2.0 * unit),
                 kBlue, unit);
}

void drawPipette(QPainter& p) {
    p.save();
    p.translate(2.5, 15.5);
    p.rotate(-45.0);
    drawPipetteShape(p, 1.0);
    p.restore();
    dotOutlined(p, QPointF(2.0, 16.2), 1.1, kRed);
}

void drawColourLineSearch(QPainter& p) {
    fillOutlined(p, rectPath(QRectF(1.5, 1.5, 5.0, 5.0), 0.8), kRed);
    QPainterPath arrow(QPointF(9.0, 3.5));
    arrow.lineTo(16.0, 3.5);
    arrow.moveTo(13.5, 1.5);
    arrow.lineTo(16.0, 3.5);
    arrow.lineTo(13.5, 5.5);
    strokeOutlined(p, arrow, kPaper, 1.0);
    const auto curve = [](qreal x) { return 12.5 + 2.2 * std::sin(x * 0.55) - 0.15 * x; };
    strokeOutlined(p, graphPath(curve, 1.0, 17.0), kRed, 1.6);
    for (const qreal x : {3.5, 8.0, 12.5})
        dotOutlined(p, QPointF(x, curve(x)), 1.3, kPaper);
}

void drawMagnifier(QPainter& p, const QString& ratio, const QColor& textColour) {
    lineOutlined(p, QPointF(12.6, 12.6), QPointF(16.3, 16.3), kSteel, 2.2);
    QPainterPath lens;
    lens.addEllipse(QPointF(7.5, 7.5), 6.6, 6.6);
    fillOutlined(p, lens, kPaper, 1.6);
    drawPixelText(p, 8 - (textWidth(ratio) + 1) / 2, 5, ratio, 1, textColour);
}

void drawArrowPointer(QPainter& p, QPointF tip, qreal unit) {
    QPainterPath arrow(tip);
    arrow.lineTo(tip + QPointF(0.0, 14.0) * unit);
    arrow.lineTo(tip + QPointF(3.5, 10.8) * unit);
    arrow.lineTo(tip + QPointF(6.0, 16.0) * unit);
    arrow.lineTo(tip + QPointF(8.2, 15.0) * unit);
    arrow.lineTo(tip + QPointF(5.8, 10.0) * unit);
    arrow.lineTo(tip + QPointF(10.2, 10.0) * unit);
    arrow.closeSubpath();
    fillOutlined(p, arrow, kPaper, unit);
}

void drawCursorChoice(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 4, 11, 3), kInk);
    p.fillRect(QRect(4, 0, 3, 11), kInk);
    p.fillRect(QRect(1, 5, 9, 1), kPaper);
    p.fillRect(QRect(5, 1, 1, 9), kPaper);
    p.restore();
    p.save();
    p.translate(7.5, 4.5);
    p.scale(0.8, 0.8);
    drawArrowPointer(p, QPointF(0.0, 0.0), 1.0);
    p.restore();
}

// A painted search zone: a band of overlapping circles along `trail`.
void drawZone(QPainter& p, const std::vector<QPointF>& trail) {
    QPainterPath centreLine(trail.front());
    for (std::size_t i = 1; i < trail.size(); ++i)
        centreLine.lineTo(trail[i]);
    QPainterPathStroker stroker;
    stroker.setWidth(6.5);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    fillOutlined(p, stroker.createStroke(centreLine).simplified(), kRose);
    p.setPen(QPen(kRed, 0.9));
    p.setBrush(Qt::NoBrush);
    for (const QPointF& c : trail)
        p.drawEllipse(c, 2.4, 2.4);
}

void drawPaintZone(QPainter& p) {
    drawZone(p, {QPointF(4.0, 14.0), QPointF(7.5, 11.0), QPointF(11.0, 9.0)});
    lineOutlined(p, QPointF(16.8, 1.2), QPointF(14.2, 3.8), kWood, 1.6);
    QPainterPath tip(QPointF(14.8, 3.2));
    tip.lineTo(12.0, 6.0);
    tip.quadTo(11.0, 7.0, 11.5, 7.5);
    tip.quadTo(12.5, 7.2, 13.8, 5.4);
    tip.closeSubpath();
    fillOutlined(p, tip, kRed);
}

// Scattered markers with an error bar through one, a cross-hair on the one clicked.
void drawFindMarkers(QPainter& p) {
    lineOutlined(p, QPointF(12.5, 2.0), QPointF(12.5, 10.0), kNeutralInk, 1.0);
    for (const QPointF& c :
         {QPointF(4.0, 13.0), QPointF(8.0, 9.0), QPointF(12.5, 6.0), QPointF(15.0, 14.0)})
        dotOutlined(p, c, 2.2, kBlue);
    lineOutlined(p, QPointF(1.0, 4.5), QPointF(7.0, 4.5), kRed, 1.0);
    lineOutlined(p, QPointF(4.0, 1.5), QPointF(4.0, 7.5), kRed, 1.0);
}

// Bars on a base line, the clicked one's top marked.
void drawFindBars(QPainter& p) {
    const qreal tops[] = {9.0, 4.0, 7.0, 11.0};
    for (int i = 0; i < 4; ++i) {
        QPainterPath bar;
        bar.addRect(QRectF(1.5 + 4.0 * i, tops[i], 3.0, 15.5 - tops[i]));
        fillOutlined(p, bar, i == 1 ? kOrange : kSky);
    }
    lineOutlined(p, QPointF(0.5, 16.0), QPointF(17.5, 16.0), kNeutralInk, 1.2);
    dotOutlined(p, QPointF(7.0, 4.0), 1.8, kRed);
}

// The whole chart at once: axes, two curves of different colours, and the spark of the one
// click that reads them all.
void drawDigitiseChart(QPainter& p) {
    QPainterPath axes(QPointF(2.5, 1.5));
    axes.lineTo(2.5, 15.5);
    axes.lineTo(17.0, 15.5);
    strokeOutlined(p, axes, kPaper, 1.2);
    QPainterPath rising(QPointF(3.5, 13.5));
    rising.cubicTo(QPointF(8.0, 12.5), QPointF(11.0, 6.0), QPointF(16.5, 4.5));
    strokeOutlined(p, rising, kBlue, 1.4);
    QPainterPath falling(QPointF(3.5, 6.0));
    falling.cubicTo(QPointF(8.0, 7.0), QPointF(12.0, 12.5), QPointF(16.5, 12.0));
    strokeOutlined(p, falling, kRed, 1.4);
    dotOutlined(p, QPointF(14.5, 2.5), 1.8, kYellow);
}

// Two axes with their ticks and, on the corner and the ends, the three reference points the
// command proposes.
void drawFindAxes(QPainter& p) {
    QPainterPath axes(QPointF(4.0, 1.5));
    axes.lineTo(4.0, 14.0);
    axes.lineTo(16.5, 14.0);
    for (const qreal t : {8.0, 12.0}) {
        axes.moveTo(t, 14.0);
        axes.lineTo(t, 16.5);
        axes.moveTo(1.5, t - 4.0);
        axes.lineTo(4.0, t - 4.0);
    }
    strokeOutlined(p, axes, kPaper, 1.2);
    for (const QPointF& c : {QPointF(4.0, 14.0), QPointF(14.5, 14.0), QPointF(4.0, 4.0)})
        dotOutlined(p, c, 2.0, kGreen);
}

void drawSearchInZone(QPainter& p) {
    drawZone(p, {QPointF(3.8, 13.8), QPointF(8.0, 10.5), QPointF(11.0, 8.0), QPointF(14.2, 4.2)});
    QPainterPath curve(QPointF(1.0, 16.0));
    curve.cubicTo(QPointF(7.0, 12.0), QPointF(10.0, 9.5), QPointF(17.0, 2.0));
    strokeOutlined(p, curve, kBlue, 1.2);
    for (const qreal t : {0.35, 0.72})
        dotOutlined(p, curve.pointAtPercent(t), 1.5, kYellow);
}

// The drawings are made on the 18-unit square; `scale` device pixels per unit draws them anew
// for high-density screens instead of enlarging the 18-pixel image.
QPixmap renderToolbarImage(int index, int scale) {
    QPixmap pixmap(kToolbarImageSize * scale, kToolbarImageSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    switch (index) {
    case 0:
        drawOpenPicture(p);
        break;
    case 1:
        drawPictureFromClipboard(p);
        break;
    case 2:
        drawCopyTable(p);
        break;
    case 3:
        drawDataTable(p);
        break;
    case 4:
        drawHand(p);
        break;
    case 6:
        drawGear(p);
        break;
    case 7:
        drawClearLine(p);
        break;
    case 8:
        drawZeroPoint(p);
        break;
    case 9:
        drawXMaxPoint(p);
        break;
    case 10:
        drawYMaxPoint(p);
        break;
    case 11:
        drawSetMarks(p);
        break;
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
        drawLine(p, index - 11);
        break;
    case 21:
        drawSnap(p);
        break;
    case 22:
        drawFixedStep(p);
        break;
    case 23:
        drawEraser(p);
        break;
    case 24:
        drawCleanUp(p);
        break;
    case 25:
        drawPipette(p);
        break;
    case 26:
        drawColourLineSearch(p);
        break;
    case 27:
        drawMagnifier(p, QStringLiteral("1:1"), kInk);
        break;
    case 28:
        drawMagnifier(p, QStringLiteral("1:2"), kRed.darker(130));
        break;
    case 29:
        drawMagnifier(p, QStringLiteral("1:4"), kRed.darker(130));
        break;
    case 30:
        drawMagnifier(p, QStringLiteral("1:8"), kRed.darker(130));
        break;
    case 31:
        drawMagnifier(p, QStringLiteral("2:1"), kBlue.darker(130));
        break;
    case 32:
        drawMagnifier(p, QStringLiteral("4:1"), kBlue.darker(130));
        break;
    case 33:
        drawMagnifier(p, QStringLiteral("8:1"), kBlue.darker(130));
        break;
    case 34:
        drawCursorChoice(p);
        break;
    case 35:
        drawPaintZone(p);
        break;
    case 36:
        drawSearchInZone(p);
        break;
    case 37:
        drawFindAxes(p);
        break;
    case 38:
        drawFindMarkers(p);
        break;
    case 39:
        drawFindBars(p);
        break;
    case 40:
        drawDigitiseChart(p);
        break;
    default:
        drawSpare(p, index);
        break;
    }
    return pixmap;
}

// ---- cursors -------------------------------------------------------------------------------

// Black strokes on a white halo, so that a cursor shows on white paper and on dark pictures.
void haloStroke(QPainter& p, const QPainterPath& path, qreal width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(Qt::white, width + 2.0));
    p.drawPath(path);
    p.setPen(roundPen(Qt::black, width));
    p.drawPath(path);
}

// Four arms around the hot spot pixel (15, 15), leaving its neighbourhood clear so that the
// picked pixel stays visible.
void drawCrossArms(QPainter& p, bool diagonal) {
    const QPointF centre(15.5, 15.5);
    const qreal inner = diagonal ? 2.5 : 3.0;
    const qreal outer = diagonal ? 9.5 : 12.0;
    QPainterPath arms;
    for (const QPointF dir : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        const QPointF d = diagonal ? QPointF(dir.x() - dir.y(), dir.x() + dir.y()) : dir;
        arms.moveTo(centre + d * inner);
        arms.lineTo(centre + d * outer);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::SquareCap));
    p.drawPath(arms);
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap));
    p.drawPath(arms);
}

void drawSightCursor(QPainter& p) {
    drawCrossArms(p, false);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath ring;
    ring.addEllipse(QPointF(15.5, 15.5), 7.0, 7.0);
    haloStroke(p, ring, 1.2);
}

void drawHandCursor(QPainter& p) {
    // A pointing hand; the tip of the index finger is the hot spot.
    QPainterPath hand = rectPath(QRectF(10.0, 1.0, 5.0, 17.0), 2.5);
    hand = hand.united(rectPath(QRectF(10.0, 13.0, 15.0, 15.0), 4.0));
    for (const qreal x : {14.2, 18.0, 21.5})
        hand = hand.united(rectPath(QRectF(x, 10.5, 4.2, 9.0), 2.1));
    QPainterPath thumb = rectPath(QRectF(-2.0, -6.5, 4.2, 9.0), 2.1);
    hand = hand.united(QTransform().translate(9.0, 20.0).rotate(-35.0).map(thumb));
    p.setPen(roundPen(Qt::black, 1.3));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(roundPen(Qt::black, 1.0));
    for (const qreal x : {18.1, 21.6})
        p.drawLine(QPointF(x, 12.0), QPointF(x, 17.0));
    p.drawLine(QPointF(14.5, 13.5), QPointF(14.5, 17.0));
}

void drawEraserCursor(QPainter& p) {
    // The eraser's lower end rests on the hot spot (8, 24).
    p.save();
    p.translate(8.5, 24.5);
    p.rotate(-45.0);
    const QPainterPath body = rectPath(QRectF(0.0, -5.5, 22.0, 11.0), 2.0);
    p.setPen(roundPen(Qt::white, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setPen(roundPen(Qt::black, 1.3));
    p.setBrush(kSky);
    p.drawPath(body);
    p.setBrush(kPink);
    p.drawPath(rectPath(QRectF(0.0, -5.5, 8.0, 11.0), 2.0));
    p.restore();
    QPainterPath spot;
    spot.addEllipse(QPointF(8.5, 24.5), 1.0, 1.0);
    p.setPen(roundPen(Qt::white, 1.0));
    p.setBrush(Qt::black);
    p.drawPath(spot);
}

void drawPipetteCursor(QPainter& p) {
    // The tip at the hot spot (1, 30).
    p.save();
    p.translate(1.5, 30.5);
    p.rotate(-45.0);
    p.setPen(roundPen(Qt::white, 4.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.0, -2.5, 37.0, 5.0));
    drawPipetteShape(p, 1.8);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(1.0, 29.0, 2.0, 2.0));
}

struct CursorArt {
    QPixmap pixmap;
    QPoint hotSpot;
};

CursorArt renderCursor(int n) {
    QPixmap pixmap(kCursorSize, kCursorSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPoint hotSpot(15, 15);
    switch (n) {
    case 1:
        drawCrossArms(p, true);
        break;
    case 2:
        drawCrossArms(p, false);
        break;
    case 3:
        drawHandCursor(p);
        hotSpot = QPoint(12, 1);
        break;
    case 4:
        drawSightCursor(p);
        break;
    case 5:
    case 6: // the same arrow twice, as the cursor table has it
        drawArrowPointer(p, QPointF(1.5, 1.5), 1.7);
        hotSpot = QPoint(1, 1);
        break;
    case 7:
        drawEraserCursor(p);
        hotSpot = QPoint(8, 24);
        break;
    case 8:
        drawPipetteCursor(p);
        hotSpot = QPoint(1, 30);
        break;
    default:
        break;
    }
    return {pixmap, hotSpot};
}

} // namespace

QPixmap ToolbarImage(int index, int scale) {
    if (index < 0 || index >= kToolbarImageCount || scale < 1)
        return {};
    const QString key = QStringLiteral("kurvana-toolbar-%1-x%2").arg(index).arg(scale);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = renderToolbarImage(index, scale);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QIcon ToolbarIcon(int index) {
    QIcon icon;
    for (int scale = 1; scale <= kToolbarImageScales; ++scale)
        icon.addPixmap(ToolbarImage(index, scale));
    return icon;
}

QCursor ProgramCursor(int n) {
    if (n < 1 || n > 8)
        return QCursor(Qt::ArrowCursor);
    const CursorArt art = renderCursor(n);
    return QCursor(art.pixmap, art.hotSpot.x(), art.hotSpot.y());
}

} // namespace kurvana
