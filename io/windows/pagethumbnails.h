#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QTimer>

namespace kurvana {

class PdfFile;

/// The pages of a PDF as a list of thumbnails for the page chooser's grid. A thumbnail is
/// rendered only when the view first shows its page, one per turn of the event loop, so a
/// document of hundreds of pages opens the chooser at once and the grid stays responsive.
class PageThumbnails : public QAbstractListModel {
    Q_OBJECT
public:
    /// Thumbnails fit a square of `box` pixels.
    PageThumbnails(const PdfFile& pdf, int box, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void renderNext();

    const PdfFile& pdf_;
    int box_;
    QPixmap blank_;
    mutable QHash<int, QPixmap> rendered_;
    mutable QList<int> waiting_;
    QTimer timer_;
};

} // namespace kurvana
