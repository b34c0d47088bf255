#include "ui/programicon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace kurvana {

QImage ProgramIconImage(int size) {
    // Below 32 pixels the grid, the marks and the sight's ring of the full drawing only blur.
    QSvgRenderer renderer(size < 32 ? QStringLiteral(":/kurvana/icons/kurvana2-small.svg")
                                    : QStringLiteral(":/kurvana/icons/kurvana2.svg"));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : kProgramIconSizes)
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

} // namespace kurvana
