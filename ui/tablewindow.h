#pragma once

#include <QWidget>

class QCheckBox;
class QTableView;

namespace kurvana {

struct Document;
class DataTableModel;

/// TFormTable: the data table window with its "Stay On Top" box.
class TFormTable : public QWidget {
    Q_OBJECT
public:
    explicit TFormTable(const Document& doc, QWidget* parent = nullptr);

    DataTableModel& model() { return *model_; }
    /// FillTable.
    void fillTable();
    /// ButtonViewTableClick: show and bring forward.
    void showAndRaise();
    /// Sets the box as a click would, applying the window style.
    void setStayOnTop(bool on);
    bool stayOnTop() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CheckBoxStayOnTopClick();

    DataTableModel* model_;
    QCheckBox* stayOnTop_;
    QTableView* grid_;
};

} // namespace kurvana
