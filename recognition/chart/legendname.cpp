#include "recognition/chart/legendname.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPainter>

#include "recognition/chart/inkmap.h"
#include "recognition/chart/legendtext.h"
#include "recognition/ocr/labelreader.h"

namespace kurvana::chart {

namespace {

/// Text lines lower than this (in pixels, capitals and descenders) are enlarged for reading.
constexpr int kReadHeight = 32;
/// Paper round the text for the reader (pixels).
constexpr int kReadBorder = 10;

/// The line's text as the reader is to see it: lines of the chart and box edges crossing it
/// (already labelled structure) painted over with the paper, as they are no part of a letter.
QImage lineImage(const QImage& picture, const InkMap& map, const TextLine& line) {
    const int margin = std::max(3, line.box.height() / 3);
    const QRect crop = line.box.adjusted(-margin, -margin, margin, margin) & picture.rect();
    QImage text = picture.copy(crop);
    const QRgb paper = qRgb(int(std::lround(map.paper.r)), int(std::lround(map.paper.g)),
                            int(std::lround(map.paper.b)));
    const QRect inMap = crop & map.area;
    for (int y = inMap.top(); y <= inMap.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(text.scanLine(y - crop.top()));
        for (int x = inMap.left(); x <= inMap.right(); ++x)
            if (map.at(x, y) == InkMap::kStructure)
                row[x - crop.left()] = paper;
    }
    // The reader tells small letters apart best at several times their size on the screen,
    // with a border of paper round them.
    const int scale = std::clamp(kReadHeight / std::max(1, line.box.height()), 1, 4);
    if (scale > 1)
        text = text.scaled(text.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage bordered(text.size() + QSize(2 * kReadBorder, 2 * kReadBorder), QImage::Format_RGB32);
    bordered.fill(paper);
    QPainter(&bordered).drawImage(kReadBorder, kReadBorder, text);
    return bordered;
}

} // namespace

/// The name read, without the stray marks a reader makes of specks at a line's ends (quotes,
/// dots, bars); brackets, signs and units stay.
QString ReadEntryName(const QImage& picture, const InkMap& map, const TextLine& line,
                      LabelReader& reader) {
    static const QString stray = QStringLiteral(".,:;|_~'\"`\u2018\u2019\u201c\u201d");
    QString name = reader.readWords(lineImage(picture, map, line)).trimmed();
    while (!name.isEmpty() && stray.contains(name.back()))
        name.chop(1);
    while (!name.isEmpty() && stray.contains(name.front()))
        name.remove(0, 1);
    return name.trimmed();
}

} // namespace kurvana::chart
