#include "io/windows/pagethumbnails.h"

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
    rendered_.insert(row, QPixmap::fromImage(pdf_.thumbnail(row + 1, box_)));
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DecorationRole});
    if (!waiting_.isEmpty())
        timer_.start();
}

} // namespace kurvana
