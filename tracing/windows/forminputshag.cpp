#include "tracing/windows/forminputshag.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/document.h"
#include "core/workspace.h"
#include "platform/windows/selectionpaste.h"
#include "tracing/fixedstep.h"
#include "tracing/windows/numericedit.h"

namespace kurvana {

namespace {

QLabel* namedLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QPushButton* namedButton(const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    return button;
}

} // namespace

TFormInputShag::TFormInputShag(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ScrollBox1(new QScrollArea), imgBufer(new QLabel),
      EditShagX(new NumericEdit("EditShagX", "1", ws.doc.decimalSeparator)),
      EditFromX(new NumericEdit("EditFromX", "4", ws.doc.decimalSeparator)),
      EditToX(new NumericEdit("EditToX", "6", ws.doc.decimalSeparator)),
      ButtonFindPoint(namedButton("ButtonFindPoint", "Выполнить")),
      ButtonCancel(namedButton("ButtonCancel", "Отмена")), Memo1(new QPlainTextEdit("Memo1")),
      ws_(ws) {
    setObjectName("FormInputShag");
    setWindowTitle("Поиск с фиксированным шагом по X");
    ScrollBox1->setObjectName("ScrollBox1");
    imgBufer->setObjectName("imgBufer");
    imgBufer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidget(imgBufer);
    ScrollBox1->setWidgetResizable(false);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(false); // the list holds tabs
    platform::PasteSelectionSafely(Memo1);

    auto* inputs = new QGridLayout;
    inputs->addWidget(namedLabel("Label1", "Шаг по Х"), 0, 0);
    inputs->addWidget(EditShagX, 0, 1);
    inputs->addWidget(namedLabel("Label2", "От точки  по Х"), 1, 0);
    inputs->addWidget(EditFromX, 1, 1);
    inputs->addWidget(namedLabel("Label3", "До точки  по Х"), 2, 0);
    inputs->addWidget(EditToX, 2, 1);
    auto* side = new QVBoxLayout;
    side->addLayout(inputs);
    side->addWidget(ButtonFindPoint);
    side->addWidget(ButtonCancel);
    side->addWidget(Memo1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ScrollBox1, 1);
    layout->addLayout(side);

    connect(ButtonFindPoint, &QPushButton::clicked, this, &TFormInputShag::findPoints);
    connect(ButtonCancel, &QPushButton::clicked, this, &QWidget::hide);

    move(118, 131);
    resize(620, 436);
}

void TFormInputShag::openFromMain() {
    bool prepared = false;
    runCommand(ws_, [&] { prepared = PrepareFixedStepSearch(ws_); });
    if (!prepared)
        return;
    showSearchCopy();
    show();
    raise();
}

void TFormInputShag::findPoints() {
    QString list;
    const bool done = runCommand(ws_, [&] {
        list = FixedStepSearch(ws_, EditFromX->text(), EditToX->text(), EditShagX->text());
    });
    if (!done)
        return;
    // The list's lines end in CR LF for the clipboard; the text box wants plain line breaks.
    list.replace("\r\n", "\n");
    Memo1->setPlainText(list);
    showSearchCopy();
}

void TFormInputShag::showSearchCopy() {
    imgBufer->setPixmap(QPixmap::fromImage(ws_.doc.searchCopy));
    imgBufer->adjustSize();
}

} // namespace kurvana
