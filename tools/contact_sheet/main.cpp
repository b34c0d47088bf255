// Renders every toolbar image, cursor and icon size onto one PNG for a visual review:
//   contact_sheet OUTPUT.png
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include "ui/artwork.h"
#include "ui/programicon.h"

using namespace kurvana;

namespace {

const QColor kLight(0xf0, 0xf0, 0xf0);
const QColor kDark(0x2b, 0x2e, 0x33);

void label(QPainter& p, int x, int y, const QString& text, const QColor& colour) {
    p.setPen(colour);
    p.drawText(QPoint(x, y), text);
}

// All images side by side at `zoom`, `perRow` to a row, on `background`; returns the height.
int drawImageGrid(QPainter& p, QPoint origin, int zoom, int perRow, const QColor& background) {
    const int cell = kToolbarImageSize * zoom + 12;
    const int rows = (kToolbarImageCount + perRow - 1) / perRow;
    const int labelHeight = 14;
    p.fillRect(QRect(origin, QSize(perRow * cell + 8, rows * (cell + labelHeight) + 8)),
               background);
    const QColor text = background.lightness() > 128 ? Qt::black : Qt::white;
    for (int i = 0; i < kToolbarImageCount; ++i) {
        const int x = origin.x() + 8 + (i % perRow) * cell;
        const int y = origin.y() + 8 + (i / perRow) * (cell + labelHeight);
        label(p, x, y + 10, QString::number(i), text);
        const QPixmap image = ToolbarImage(i);
        p.drawPixmap(QRect(x, y + labelHeight, image.width() * zoom, image.height() * zoom), image);
    }
    return rows * (cell + labelHeight) + 8;
}

// Cursors on a white and on a dark strip of "picture" with a curve through it; the hot spot
// is ringed in red on the enlarged copy.
int drawCursors(QPainter& p, QPoint origin) {
    const int zoom = 3;
    const int cell = kCursorSize * zoom + 16;
    for (int band = 0; band < 2; ++band) {
        const QColor background = band == 0 ? Qt::white : QColor(0x18, 0x18, 0x18);
        const QRect strip(origin.x(), origin.y() + band * (cell + 40), 8 * cell + 8, cell + 36);
        p.fillRect(strip, background);
        p.setPen(QPen(band == 0 ? Qt::black : Qt::yellow, 2));
        p.drawLine(strip.left(), strip.center().y(), strip.right(), strip.top() + 20);
        for (int n = 1; n <= 8; ++n) {
            const QCursor cursor = ProgramCursor(n);
            const QPixmap pixmap = cursor.pixmap();
            const int x = strip.left() + 8 + (n - 1) * cell;
            const int y = strip.top() + 4;
            label(p, x, y + 10, QString::number(n), band == 0 ? Qt::black : Qt::white);
            p.drawPixmap(x + 12, y + 12, pixmap);
            p.drawPixmap(QRect(x, y + 48, kCursorSize * zoom, kCursorSize * zoom), pixmap);
            const QPoint hot = cursor.hotSpot() * zoom + QPoint(x, y + 48);
            p.setPen(QPen(Qt::red, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(hot, QSize(zoom, zoom)).adjusted(-2, -2, 1, 1));
        }
    }
    return 2 * (cell + 40);
}

int drawIcons(QPainter& p, QPoint origin) {
    const QIcon icon = ProgramIcon();
    int x = origin.x();
    for (const QSize size : icon.availableSizes()) {
        p.fillRect(QRect(x, origin.y(), size.width() + 16, 2 * size.height() + 24), kLight);
        p.fillRect(QRect(x, origin.y() + size.height() + 16, size.width() + 16, size.height() + 8),
                   kDark);
        p.drawPixmap(x + 8, origin.y() + 8, icon.pixmap(size));
        p.drawPixmap(x + 8, origin.y() + size.height() + 20, icon.pixmap(size));
        x += size.width() + 24;
    }
    return 2 * 256 + 32;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "contact_sheet.png";

    QImage sheet(1400, 2150, QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    int y = 8;
    y += drawImageGrid(p, QPoint(8, y), 1, kToolbarImageCount, kLight) + 4;
    y += drawImageGrid(p, QPoint(8, y), 1, kToolbarImageCount, kDark) + 8;
    const int gridTop = y;
    const int height = drawImageGrid(p, QPoint(8, y), 4, 8, kLight);
    drawImageGrid(p, QPoint(700, gridTop), 4, 8, kDark);
    y += height + 8;
    y += drawCursors(p, QPoint(8, y)) + 8;
    drawIcons(p, QPoint(8, y));
    p.end();
    return sheet.save(output) ? 0 : 1;
}
