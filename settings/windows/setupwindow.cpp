#include "settings/windows/setupwindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/numbers.h"
#include "core/workspace.h"
#include "settings/windows/samplecircle.h"
#include "tracing/windows/colourswatch.h"

namespace kurvana {

namespace {

QPushButton* NamedButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QRadioButton* NamedRadio(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* NamedGroup(const char* name, const QString& title, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    return group;
}

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TFormSetup::TFormSetup(Workspace& ws, SetupCallbacks callbacks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), ws_(ws),
      callbacks_(std::move(callbacks)) {
    setObjectName("FormSetup");
    setWindowTitle("Setup");

    auto* top = new QHBoxLayout;
    top->addWidget(buildColourGroup());
    auto* right = new QVBoxLayout;
    right->addWidget(buildMarkGroup());
    right->addWidget(buildFormatGroup());
    right->addWidget(buildSortGroup());
    right->addWidget(buildLanguageGroup());
    top->addLayout(right);

    auto* scales = new QHBoxLayout;
    scales->addWidget(buildScaleGroup(true));
    scales->addWidget(buildScaleGroup(false));

    autoSave_ = new QCheckBox("Автосохранение настроек", this);
    autoSave_->setObjectName("CheckBoxAutoSave");
    connect(autoSave_, &QCheckBox::toggled, this,
            [this](bool on) { ws_.doc.autoSaveSettings = on; });

    auto* buttons = new QHBoxLayout;
    auto* save = NamedButton("ButtonConfigSave", "Сохранить настройки", this);
    auto* back = NamedButton("ButtonGoToMain", "Идти к основному окну", this);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(back);
    connect(save, &QPushButton::clicked, this, [this] {
        if (callbacks_.saveSettings)
            runCommand(ws_, callbacks_.saveSettings);
    });
    // Closing puts the axes drawing back (closeEvent), whichever way the window is closed.
    connect(back, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(scales);
    layout->addWidget(buildSnapGroup());
    layout->addWidget(autoSave_);
    layout->addLayout(buttons);
    layout->addWidget(buildHiddenColourGroup());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showExtraTexts();
    showDocumentSettings();
}

QGroupBox* TFormSetup::buildColourGroup() {
    // The frame and its two headings take their texts from the entries added after the
    // original file; a file without them keeps both languages, as built here.
    auto* group = NamedGroup("GroupBoxSelectColor", "Цвета / Colors", this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(NamedLabel("Label5", "Линии / Lines", group), 0, 0, 1, 2);
    for (int line = 1; line <= kLineCount; ++line) {
        const QString name = QString("ButtonSetColor%1").arg(line);
        auto* button =
            NamedButton(name.toLatin1().constData(), QString("Линия %1").arg(line), group);
        samples_.at(line) = new SampleCircle(QString("Metka%1Shape").arg(line), group);
        grid->addWidget(button, line, 0);
        grid->addWidget(samples_.at(line), line, 1);
        connect(button, &QPushButton::clicked, this, [this, line] { chooseColour(line); });
    }
    grid->addWidget(NamedLabel("Label6", "Оси / Axes", group), kLineCount + 1, 0, 1, 2);
    auto* axes = NamedButton("ButtonSetColorAxes", "Оси", group);
    samples_.at(6) = new SampleCircle("Metka6Shape", group);
    grid->addWidget(axes, kLineCount + 2, 0);
    grid->addWidget(samples_.at(6), kLineCount + 2, 1);
    connect(axes, &QPushButton::clicked, this, [this] { chooseColour(6); });
    return group;
}

QGroupBox* TFormSetup::buildMarkGroup() {
    auto* group = NamedGroup("GroupBoxSetTipMetka", "Метка", this);
    auto* row = new QHBoxLayout(group);
    row->addWidget(NamedLabel("Label4", "Diametr", group));
    spinDiameter_ = new QSpinBox(group);
    spinDiameter_->setObjectName("SpinEditDiametr");
    spinDiameter_->setRange(1, 5);
    spinDiameter_->setSingleStep(1);
    row->addWidget(spinDiameter_);
    // Every change of the text sets the mark size, 1 while the text is no number. The spin
    // box signals only complete values and sets its editor silently, so both are watched; its
    // validator keeps typed values within 1..5, and so does the clamp here.
    const auto takeText = [this](const QString& text) {
        ws_.doc.markDiameter = std::clamp(parseInteger(text).value_or(1), 1, 5);
    };
    connect(spinDiameter_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, takeText);
    connect(spinDiameter_, &QSpinBox::textChanged, this, takeText);
    auto* fill = new QCheckBox("Заливка метки", group);
    fill->setObjectName("CheckBoxFillMetka");
    fill->hide(); // carried for the language file only; marks are always outlines
    row->addWidget(fill);
    return group;
}

QGroupBox* TFormSetup::buildScaleGroup(bool xAxis) {
    auto* group = xAxis ? NamedGroup("GroupBoxScalaX", "Шкала X", this)
                        : NamedGroup("GroupBoxScalaY", "Шкала Y", this);
    auto& buttons = xAxis ? scaleX_ : scaleY_;
    if (xAxis) {
        buttons = {NamedRadio("RadioButtonScalaNormalX", "Обычная", group),
                   NamedRadio("RadioButtonScalaLogarifm10X", "10", group),
                   NamedRadio("RadioButtonScalaLogarifmNatX", "Логарифмическая натур", group),
                   NamedRadio("RadioButtonScalaDateX", QString(), group)};
    } else {
        buttons = {NamedRadio("RadioButtonScalaNormalY", "Обычная", group),
                   NamedRadio("RadioButtonScalaLogarifm10Y", "Логарифмическая", group),
                   NamedRadio("RadioButtonScalaLogarifmNatY", "Логарифмическая", group),
                   NamedRadio("RadioButtonScalaDateY", QString(), group)};
    }
    auto* column = new QVBoxLayout(group);
    const ScaleKind kinds[4] = {ScaleKind::Linear, ScaleKind::Log10, ScaleKind::Ln,
                                ScaleKind::Date};
    for (int i = 0; i < 4; ++i) {
        column->addWidget(buttons.at(i));
        connect(buttons.at(i), &QRadioButton::toggled, this,
                [this, xAxis, kind = kinds[i]](bool on) {
                    if (on)
                        runCommand(ws_, [&] { SetScaleKind(ws_, xAxis, kind); });
                });
    }
    return group;
}

QGroupBox* TFormSetup::buildFormatGroup() {
    auto* group = NamedGroup("GroupBoxSetTableFormat", "Формат чисел таблицы", this);
    standard_ = NamedRadio("RadioButtonStandart", "Set standart", group);
    scientific_ = NamedRadio("RadioButtonScientific", "Set Scientific", group);
    auto* column = new QVBoxLayout(group);
    column->addWidget(standard_);
    column->addWidget(scientific_);
    connect(scientific_, &QRadioButton::toggled, this, [this](bool on) {
        ws_.doc.scientificFormat = on;
        ws_.view.fillTable(); // the table shows the new format at once
    });
    return group;
}

QGroupBox* TFormSetup::buildSortGroup() {
    auto* group = NamedGroup("GroupBoxSetMakeSort", "Сортировка по X", this);
    makeSort_ = NamedRadio("RadioButtonMakeSort", "Make sort", group);
    noSort_ = NamedRadio("RadioButtonNoSort", "Don't sort", group);
    auto* column = new QVBoxLayout(group);
    column->addWidget(makeSort_);
    column->addWidget(noSort_);
    connect(makeSort_, &QRadioButton::toggled, this, [this](bool on) { ws_.doc.sortOn = on; });
    return group;
}

QGroupBox* TFormSetup::buildLanguageGroup() {
    auto* group = NamedGroup("GroupBoxSelectLanguage", "Язык", this);
    english_ = NamedRadio("RadioButtonSetEnglish", "English", group);
    russian_ = NamedRadio("RadioButtonSetRussian", "Русский", group);
    auto* column = new QVBoxLayout(group);
    column->addWidget(english_);
    column->addWidget(russian_);
    // A click (not a programmatic selection) applies the language file at once.
    connect(english_, &QRadioButton::clicked, this, [this] { chooseLanguage(false); });
    connect(russian_, &QRadioButton::clicked, this, [this] { chooseLanguage(true); });
    return group;
}

QGroupBox* TFormSetup::buildSnapGroup() {
    snapGroup_ = NamedGroup("GroupBoxSnapRule", QString(), this);
    snapAnyColour_ = NamedRadio("RadioButtonSnapAnyColour", QString(), snapGroup_);
    snapDarkOnly_ = NamedRadio("RadioButtonSnapDarkOnly", QString(), snapGroup_);
    auto* row = new QHBoxLayout(snapGroup_);
    row->addWidget(snapAnyColour_);
    row->addWidget(snapDarkOnly_);
    connect(snapAnyColour_, &QRadioButton::toggled, this,
            [this](bool on) { ws_.doc.snapRule = on ? SnapRule::AnyColour : SnapRule::DarkOnly; });
    return snapGroup_;
}

void TFormSetup::showExtraTexts() {
    const Texts& texts = ws_.doc.texts;
    snapGroup_->setTitle(texts.extra(ExtraText::SnapRuleTitle));
    snapAnyColour_->setText(texts.extra(ExtraText::SnapAnyColour));
    snapDarkOnly_->setText(texts.extra(ExtraText::SnapDarkOnly));
    scaleX_[3]->setText(texts.extra(ExtraText::ScaleDate));
    scaleY_[3]->setText(texts.extra(ExtraText::ScaleDate));
}

QGroupBox* TFormSetup::buildHiddenColourGroup() {
    auto* group = NamedGroup("GroupBoxInputColor", "Цвета поиска", this);
    auto* row = new QHBoxLayout(group);
    hiddenLine_ = new ColourSwatch("ShapeLineGrafik", 53, 26, group);
    hiddenLine_->setColour(0x000000);
    hiddenBackground_ = new ColourSwatch("ShapeBackground", 53, 27, group);
    hiddenBackground_->setColour(0xFFFFFF);
    row->addWidget(hiddenLine_);
    row->addWidget(hiddenBackground_);
    group->hide();
    return group;
}

Colour TFormSetup::lineGrafikColour() const {
    return hiddenLine_->colour();
}

Colour TFormSetup::backgroundColour() const {
    return hiddenBackground_->colour();
}

void TFormSetup::selectOnly(std::initializer_list<QRadioButton*> group, QRadioButton* chosen) {
    // An exclusive group refuses to lose its last selection, and a settings file may select
    // none: lift the exclusivity while the buttons are set.
    for (QRadioButton* button : group) {
        const QSignalBlocker blocker(button);
        button->setAutoExclusive(false);
        button->setChecked(button == chosen);
        button->setAutoExclusive(true);
    }
}

void TFormSetup::showDocumentSettings() {
    const Document& doc = ws_.doc;
    for (int i = 1; i <= kLineCount; ++i)
        samples_.at(i)->setPenColour(doc.lineColor.at(i));
    samples_.at(6)->setPenColour(doc.axesColor);
    {
        const QSignalBlocker blocker(spinDiameter_);
        spinDiameter_->setValue(std::clamp(int(doc.markDiameter), 1, 5));
    }
    const auto scaleButton = [](const std::array<QRadioButton*, 4>& b, ScaleKind kind) {
        switch (kind) {
        case ScaleKind::Linear:
            return b[0];
        case ScaleKind::Log10:
            return b[1];
        case ScaleKind::Ln:
            return b[2];
        case ScaleKind::Date:
            return b[3];
        case ScaleKind::None:
            break;
        }
        return static_cast<QRadioButton*>(nullptr);
    };
    selectOnly({scaleX_[0], scaleX_[1], scaleX_[2], scaleX_[3]}, scaleButton(scaleX_, doc.scaleX));
    selectOnly({scaleY_[0], scaleY_[1], scaleY_[2], scaleY_[3]}, scaleButton(scaleY_, doc.scaleY));
    selectOnly({standard_, scientific_}, doc.scientificFormat ? scientific_ : standard_);
    selectOnly({makeSort_, noSort_}, doc.sortOn ? makeSort_ : noSort_);
    selectOnly({english_, russian_}, doc.languageRussian ? russian_ : english_);
    selectOnly({snapAnyColour_, snapDarkOnly_},
               doc.snapRule == SnapRule::AnyColour ? snapAnyColour_ : snapDarkOnly_);
    const QSignalBlocker blocker(autoSave_);
    autoSave_->setChecked(doc.autoSaveSettings);
}

void TFormSetup::openFromMain() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    showDocumentSettings();
    ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    axesTakenOff_ = true;
    show();
    raise();
    activateWindow();
}

void TFormSetup::closeEvent(QCloseEvent* event) {
    if (axesTakenOff_) {
        axesTakenOff_ = false;
        ws_.view.pictureChanged(ToggleAxes(ws_.doc));
    }
    event->accept();
}

void TFormSetup::chooseColour(int target) {
    const auto chosen = ws_.dialogs.chooseColour(lastDialogColour_);
    if (!chosen)
        return; // cancelled: the colour and its sample stay as they were
    lastDialogColour_ = *chosen;
    if (target <= kLineCount)
        ws_.doc.lineColor.at(target) = *chosen;
    else
        ws_.doc.axesColor = *chosen;
    samples_.at(target)->setPenColour(*chosen);
    // Marks already on the picture keep their colour; the current-line swatch may follow.
    ws_.view.controlsChanged();
}

void TFormSetup::chooseLanguage(bool russian) {
    const bool before = ws_.doc.languageRussian;
    ws_.doc.languageRussian = russian;
    if (callbacks_.applyLanguage && !runCommand(ws_, callbacks_.applyLanguage)) {
        // The texts stayed in the old language: so do the choice and its radio buttons.
        ws_.doc.languageRussian = before;
        selectOnly({english_, russian_}, before ? russian_ : english_);
    }
}

} // namespace kurvana
