#pragma once

#include <map>
#include <vector>

#include <QAbstractTableModel>

#include "core/linedata.h"

namespace kurvana {

struct Document;

/// The grid of the table window: 7 columns ("№", "X", "Y1".."Y5") over 999 data rows. It is a
/// view rebuilt by fill() from the document; cells may be typed into, and nothing reads them.
class DataTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataTableModel(const Document& doc, QObject* parent = nullptr);

    /// FillTable: takes the rows to show from the document; columns 1..6 lose typed texts.
    void fill();
    /// Text of a cell as the grid shows it (row 0 = headings).
    QString cellText(int gridRow, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const Document& doc_;
    std::vector<TableRow> rows_;
    std::map<std::pair<int, int>, QString> typed_; ///< texts the user typed, by (row, column)
};

} // namespace kurvana
