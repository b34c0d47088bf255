#include "ui/tablewindow.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableView>

#include "platform/windows/stayontop.h"
#include "ui/datatablemodel.h"

namespace kurvana {

TFormTable::TFormTable(const Document& doc, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(new DataTableModel(doc, this)),
      stayOnTop_(new QCheckBox("Stay On Top", this)), grid_(new QTableView(this)) {
    setObjectName("FormTable");
    setWindowTitle("Table of Data");
    stayOnTop_->setObjectName("CheckBoxStayOnTop");
    stayOnTop_->setGeometry(8, 0, 217, 25);
    stayOnTop_->setChecked(true);
    connect(stayOnTop_, &QCheckBox::clicked, this, &TFormTable::CheckBoxStayOnTopClick);

    grid_->setObjectName("Tabl");
    grid_->setModel(model_);
    grid_->move(0, 24);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(16);
    // A number is never elided into dots: a narrow cell clips at its right edge, as a plain
    // grid does, so the leading digits stay readable. The user widens a column by dragging
    // its header edge, or fits it to its contents by double-clicking the edge (QTableView's
    // own handling of the header); the scroll bar reaches columns widened past the window.
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setWordWrap(false);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    const int widths[] = {39, 61, 65, 65, 65, 65, 65};
    for (int c = 0; c < 7; ++c)
        grid_->setColumnWidth(c, widths[c]);
    setGeometry(437, 241, 532, 416);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void TFormTable::fillTable() {
    model_->fill();
}

void TFormTable::showAndRaise() {
    show();
    raise();
    activateWindow();
}

void TFormTable::setStayOnTop(bool on) {
    stayOnTop_->setChecked(on);
    CheckBoxStayOnTopClick();
}

bool TFormTable::stayOnTop() const {
    return stayOnTop_->isChecked();
}

void TFormTable::CheckBoxStayOnTopClick() {
    SetStayOnTop(*this, stayOnTop_->isChecked());
}

void TFormTable::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(0, 24, width() - 10, height() - 30);
}

} // namespace kurvana
