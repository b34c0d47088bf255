#include "tracing/windows/formavtomat.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/workspace.h"
#include "tracing/autodigitise.h"

namespace kurvana {

TFormAvtomat::TFormAvtomat(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Window), SpinEditSummaOkr(new QSpinBox),
      ButtonWorkAvtomat(new QPushButton("ButtonWorkAvtomat")), ws_(ws) {
    setObjectName("FormAvtomat");
    setWindowTitle("FormAvtomat");
    auto* label1 = new QLabel("Модуль автоматического распознования");
    label1->setObjectName("Label1");
    auto* label2 = new QLabel("Кол-во точек");
    label2->setObjectName("Label2");
    SpinEditSummaOkr->setObjectName("SpinEditSummaOkr");
    SpinEditSummaOkr->setRange(0, 8);
    SpinEditSummaOkr->setValue(3);
    ButtonWorkAvtomat->setObjectName("ButtonWorkAvtomat");
    ButtonWorkAvtomat->setToolTip("Выполнить автоматическую обработку");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(label2);
    layout->addWidget(SpinEditSummaOkr);
    layout->addWidget(ButtonWorkAvtomat);
    layout->addStretch();
    connect(ButtonWorkAvtomat, &QPushButton::clicked, this, &TFormAvtomat::work);

    move(173, 82);
    resize(532, 401);
}

int TFormAvtomat::threshold() const {
    return SpinEditSummaOkr->value();
}

void TFormAvtomat::work() {
    runCommand(ws_, [this] { AutomaticDigitising(ws_, threshold()); });
}

} // namespace kurvana
