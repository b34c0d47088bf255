#include "io/windows/pagethumbnails.h"

#include <QPainter>

#include "io/pdffile.h"

namespace kurvana {

PageThumbnails::PageThumbnails(const PdfFile& pdf, int box, QObject* parent)
    : QAbstractListModel(parent), pdf_(pdf), box_(box), blank_(box, box) {
    blank_.fill(Qt::lightGray);
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &PageThumbnails::renderNext);
}

int PageThumbnails::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pdf_.pageCount();
}

QVariant PageThumbnails::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (role == Qt::DisplayRole)
        return QString::number(row + 1);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignBottom);
    if (role != Qt::DecorationRole)
        return {};
    if (const auto found = rendered_.constFind(row); found != rendered_.constEnd())
        return *found;
    if (!waiting_.contains(row)) {
        waiting_.append(row);
        const_cast<QTimer&>(timer_).start();
    }
    return blank_;
}

void PageThumbnails::renderNext() {
    if (waiting_.isEmpty())
        return;
    // The page asked for last is the one the user scrolled to.
    const int row = waiting_.takeLast();
    QPixmap thumbnail = QPixmap::fromImage(pdf_.thumbnail(row + 1, box_));
    if (!thumbnail.isNull()) { // a white page needs its edge to stand out from the grid
        QPainter painter(&thumbnail);
        painter.setPen(Qt::darkGray);
        painter.drawRect(thumbnail.rect().adjusted(0, 0, -1, -1));
    }
    rendered_.insert(row, thumbnail);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DecorationRole});
    if (!waiting_.isEmpty())
        timer_.start();
}

} // namespace kurvana
