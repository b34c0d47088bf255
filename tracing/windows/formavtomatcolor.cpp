#include "tracing/windows/formavtomatcolor.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/document.h"
#include "core/drawing.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "tracing/colourline.h"
#include "tracing/windows/colourswatch.h"
#include "tracing/windows/forminputcolor.h"
#include "tracing/windows/numericedit.h"

namespace kurvana {

namespace {

QRadioButton* namedRadio(const char* name, const QString& text) {
    auto* radio = new QRadioButton(text);
    radio->setObjectName(name);
    return radio;
}

/// Enter in the count edit must not press a button of the window.
QPushButton* plainButton(const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFormAvtomatColor::TFormAvtomatColor(Workspace& ws, const TFormInputColor& inputColor,
                                     QWidget* parent)
    : QDialog(parent), ShapeLineGrafik(new ColourSwatch("ShapeLineGrafik", 26, 26)),
      EditNumberPointForFind(
          new NumericEdit("EditNumberPointForFind", "20", ws.doc.decimalSeparator)),
      RadioButton1(namedRadio("RadioButton1", "по цвету")),
      RadioButton2(namedRadio("RadioButton2", "черный")),
      RadioButton3(namedRadio("RadioButton3", "специальный")),
      RadioButton4(namedRadio("RadioButton4", QString())), LabelTolerance(new QLabel),
      SpinEditTolerance(new QSpinBox), ButtonFind(plainButton("ButtonFind", "Выполнить")),
      ButtonCancel(plainButton("ButtonCancel", "Отмена")), ws_(ws), inputColor_(inputColor) {
    setObjectName("FormAvtomatColor");
    setWindowTitle("Поиск цветной линии");
    setModal(true);
    RadioButton1->setChecked(true);

    auto* label2 = new QLabel("Установленный цвет линии");
    label2->setObjectName("Label2");
    auto* label3 = new QLabel("Сколько точек искать 1-1000");
    label3->setObjectName("Label3");

    auto* grid = new QGridLayout;
    grid->addWidget(label2, 0, 0);
    grid->addWidget(ShapeLineGrafik, 0, 1);
    grid->addWidget(label3, 1, 0);
    grid->addWidget(EditNumberPointForFind, 1, 1);
    auto* kinds = new QVBoxLayout;
    kinds->addWidget(RadioButton1);
    kinds->addWidget(RadioButton2);
    kinds->addWidget(RadioButton3);
    kinds->addWidget(RadioButton4);
    LabelTolerance->setObjectName("LabelTolerance");
    SpinEditTolerance->setObjectName("SpinEditTolerance");
    SpinEditTolerance->setRange(0, kMaxColourDistance);
    SpinEditTolerance->setValue(kDefaultTolerance);
    SpinEditTolerance->setEnabled(false);
    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->addSpacing(20);
    toleranceRow->addWidget(LabelTolerance);
    toleranceRow->addWidget(SpinEditTolerance);
    toleranceRow->addStretch();
    kinds->addLayout(toleranceRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonFind);
    buttons->addWidget(ButtonCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(kinds);
    layout->addLayout(buttons);

    connect(ButtonFind, &QPushButton::clicked, this, &TFormAvtomatColor::find);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormAvtomatColor::reject);
    connect(RadioButton4, &QRadioButton::toggled, SpinEditTolerance, &QWidget::setEnabled);
    for (QRadioButton* kind : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        connect(kind, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showPreview();
        });
    connect(SpinEditTolerance, &QSpinBox::valueChanged, this, [this] { showPreview(); });
    showExtraTexts();

    move(277, 298);
    resize(365, 199);
}

void TFormAvtomatColor::prepareOpening() {
    ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    ws_.doc.viewScale = 1.0L; // the scale menu's check mark stays where it is
    ws_.view.applyViewScale();
    ShapeLineGrafik->setColour(0x000000);
}

void TFormAvtomatColor::openFromMain() {
    prepareOpening();
    exec();
}

int TFormAvtomatColor::searchKind() const {
    int kind = SearchByColour;
    if (RadioButton2->isChecked())
        kind = SearchBlack;
    if (RadioButton3->isChecked())
        kind = SearchSpecial;
    if (RadioButton4->isChecked())
        kind = SearchTolerant;
    return kind;
}

int TFormAvtomatColor::tolerance() const {
    return SpinEditTolerance->value();
}

void TFormAvtomatColor::showExtraTexts() {
    const Texts& texts = ws_.doc.texts;
    RadioButton4->setText(texts.extra(ExtraText::SearchWithTolerance));
    LabelTolerance->setText(texts.extra(ExtraText::SearchTolerance));
}

void TFormAvtomatColor::showPreview() {
    if (!isVisible())
        return;
    const Document& doc = ws_.doc;
    const ColourLineTest test{searchKind(), doc.searchR, doc.searchG, doc.searchB, tolerance()};
    ws_.view.showMatchPreview([test](Colour colour) { return test.matches(colour); },
                              test.kind == SearchTolerant);
}

void TFormAvtomatColor::hidePreview() {
    ws_.view.showMatchPreview({}, false);
}

void TFormAvtomatColor::find() {
    const QString countText = EditNumberPointForFind->text();
    if (!runCommand(ws_, [&] { ParseSearchCount(ws_.doc, countText); }))
        return;
    // From here the line is emptied and the axes drawing is back, whatever happens later: the
    // window closes without Cancel's toggle.
    runCommand(ws_, [&] { FindColourLine(ws_, searchKind(), countText, tolerance()); });
    accept();
}

void TFormAvtomatColor::reject() {
    ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    QDialog::reject();
}

void TFormAvtomatColor::takeLineColour() {
    ShapeLineGrafik->setColour(inputColor_.lineColour());
}

void TFormAvtomatColor::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        takeLineColour();
    QDialog::changeEvent(event);
}

void TFormAvtomatColor::showEvent(QShowEvent* event) {
    takeLineColour();
    QDialog::showEvent(event);
    showPreview();
}

void TFormAvtomatColor::hideEvent(QHideEvent* event) {
    hidePreview();
    QDialog::hideEvent(event);
}

} // namespace kurvana
