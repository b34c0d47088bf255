#include "tracing/windows/forminputcolor.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/clicks.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/workspace.h"
#include "tracing/windows/colourswatch.h"

namespace kurvana {

namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

QLabel* namedLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QLineEdit* componentEdit(const char* name) {
    auto* edit = new QLineEdit("125");
    edit->setObjectName(name);
    edit->setFixedWidth(50);
    return edit;
}

} // namespace

TFormInputColor::TFormInputColor(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      ShapeLineGrafik(new ColourSwatch("ShapeLineGrafik", 53, 26)),
      ShapeBackground(new ColourSwatch("ShapeBackground", 53, 27)),
      ShapeSample(new ColourSwatch("ShapeSample", 98, 16)),
      ShapeEkran(new ColourSwatch("ShapeEkran", 98, 13)), EditRedComp(componentEdit("EditRedComp")),
      EditGreenComp(componentEdit("EditGreenComp")), EditBlueComp(componentEdit("EditBlueComp")),
      ButtonOk(new QPushButton("Ok")), ButtonCancel(new QPushButton("Cancel")), ws_(ws) {
    setObjectName("FormInputColor");
    setWindowTitle("Цвет линии графика");
    ButtonOk->setObjectName("ButtonOk");
    ButtonCancel->setObjectName("ButtonCancel");

    auto* swatches = new QGridLayout;
    swatches->addWidget(namedLabel("Label1", "Color of Grafics Line "), 0, 0);
    swatches->addWidget(ShapeLineGrafik, 0, 1);
    swatches->addWidget(namedLabel("Label2", "Color of Background"), 1, 0);
    swatches->addWidget(ShapeBackground, 1, 1);
    swatches->addWidget(namedLabel("Label3", "Текущий выбранный цвет"), 2, 0);
    swatches->addWidget(ShapeSample, 2, 1);
    swatches->addWidget(namedLabel("Label4", "Цвет под курсором"), 3, 0);
    swatches->addWidget(ShapeEkran, 3, 1);

    auto* components = new QGridLayout;
    components->addWidget(namedLabel("LabelRedComp", "Red Component"), 0, 0);
    components->addWidget(EditRedComp, 0, 1);
    components->addWidget(namedLabel("LabelGreenComp", "Green Component"), 1, 0);
    components->addWidget(EditGreenComp, 1, 1);
    components->addWidget(namedLabel("LabelBlueComp", "Blue Component"), 2, 0);
    components->addWidget(EditBlueComp, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);

    auto* columns = new QHBoxLayout;
    columns->addLayout(swatches);
    columns->addLayout(components);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    connect(ShapeLineGrafik, &ColourSwatch::pressed, this,
            [this] { ShapeLineGrafik->setColour(ShapeSample->colour()); });
    connect(ShapeBackground, &ColourSwatch::pressed, this,
            [this] { ShapeBackground->setColour(ShapeSample->colour()); });
    connect(ButtonOk, &QPushButton::clicked, this, &TFormInputColor::ok);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormInputColor::cancel);

    move(135, 398);
    resize(398, 274);
}

void TFormInputColor::openFromMain() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    SetInputMode(ws_, ModeColourPick);
    // The hidden swatches of the Setup window that these come from always hold black and white.
    ShapeLineGrafik->setColour(kBlack);
    ShapeBackground->setColour(kWhite);
    show();
    raise();
}

void TFormInputColor::showColourUnderCursor(Colour colour) {
    EditRedComp->setText(QString::number(colour & 0xFF));
    EditGreenComp->setText(QString::number(colour >> 8 & 0xFF));
    EditBlueComp->setText(QString::number(colour >> 16 & 0xFF));
    ShapeEkran->setColour(colour);
}

void TFormInputColor::takeSample() {
    ShapeSample->setColour(ShapeEkran->colour());
}

Colour TFormInputColor::lineColour() const {
    return ShapeLineGrafik->colour();
}

void TFormInputColor::ok() {
    Document& doc = ws_.doc;
    doc.splitColor(lineColour());
    doc.searchR = doc.probeR;
    doc.searchG = doc.probeG;
    doc.searchB = doc.probeB;
    endColourPick();
}

void TFormInputColor::cancel() {
    endColourPick();
}

void TFormInputColor::endColourPick() {
    SetInputMode(ws_, ModeNone);
    ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    hide();
}

void TFormInputColor::closeEvent(QCloseEvent* event) {
    if (isVisible())
        cancel();
    event->accept();
}

} // namespace kurvana
