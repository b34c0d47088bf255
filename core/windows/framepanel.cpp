#include "core/windows/framepanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/calibrationframe.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

/// A choice of `count` items; their captions come with the language (showExtraTexts).
QComboBox* choiceOf(int count) {
    auto* box = new QComboBox;
    for (int i = 0; i < count; ++i)
        box->addItem(QString());
    return box;
}

void setCaptions(QComboBox* box, const Texts& texts, std::initializer_list<ExtraText> items) {
    int i = 0;
    for (const ExtraText item : items)
        box->setItemText(i++, texts.extra(item));
}

/// Only a changed text is set: showing the document runs on every click, and setting the same
/// text would move the cursor of the edit being typed in.
void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

FramePanel::FramePanel(Workspace& ws, QObject* keyFilter, QWidget* parent)
    : QWidget(parent), ws_(ws) {
    frame_ = choiceOf(3);
    frame_->setObjectName("ComboBoxFrame");
    perspective_ = makePerspectiveGroup(keyFilter);
    polar_ = makePolarGroup(keyFilter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    layout->addWidget(perspective_);
    layout->addWidget(polar_);
    connect(frame_, &QComboBox::activated, this, [this](int index) {
        runCommand(ws_, [&] { ChooseFrame(ws_, CalibrationFrame(index)); });
        showDocumentState();
        emit frameChosen();
    });
    showExtraTexts();
    showDocumentState();
}

void FramePanel::showExtraTexts() {
    const Texts& texts = ws_.doc.texts;
    setCaptions(frame_, texts,
                {ExtraText::FrameThreePoints, ExtraText::FramePerspective, ExtraText::FramePolar});
    perspective_->setTitle(texts.extra(ExtraText::FramePerspective));
    polar_->setTitle(texts.extra(ExtraText::FramePolar));
    for (int i = 0; i < 4; ++i)
        pointButtons_[std::size_t(i)]->setText(texts.extra(ExtraText::FramePointButton).arg(i + 1));
    pointButtons_[4]->setText(texts.extra(ExtraText::PolarCentreButton));
    pointButtons_[5]->setText(texts.extra(ExtraText::PolarReferenceButton));
    const ExtraText labels[] = {ExtraText::PolarReferenceAngle, ExtraText::PolarReferenceRadius,
                                ExtraText::PolarCentreRadius};
    for (int i = 0; i < 3; ++i)
        polarLabels_[std::size_t(i)]->setText(texts.extra(labels[i]));
    setCaptions(direction_, texts, {ExtraText::PolarCounterclockwise, ExtraText::PolarClockwise});
    setCaptions(unit_, texts, {ExtraText::PolarDegrees, ExtraText::PolarRadians});
    setCaptions(radiusScale_, texts, {ExtraText::PolarRadiusLinear, ExtraText::PolarRadiusLog10});
}

QLineEdit* FramePanel::edit(QObject* keyFilter) {
    auto* line = new QLineEdit;
    line->setFixedWidth(90);
    line->installEventFilter(keyFilter);
    connect(line, &QLineEdit::textChanged, this, &FramePanel::storeTexts);
    return line;
}

QPushButton* FramePanel::pointButton(int index) {
    auto* button = new QPushButton;
    button->setCheckable(true);
    connect(button, &QPushButton::clicked, this, [this, index] {
        ws_.doc.framePoint = index;
        SetInputMode(ws_, ModeFramePoint);
        showDocumentState();
    });
    pointButtons_.push_back(button);
    return button;
}

QGroupBox* FramePanel::makePerspectiveGroup(QObject* keyFilter) {
    auto* group = new QGroupBox;
    group->setObjectName("GroupBoxPerspective");
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel("X"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Y"), 0, 2, Qt::AlignHCenter);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(pointButton(i), i + 1, 0);
        editX_[i] = edit(keyFilter);
        editY_[i] = edit(keyFilter);
        grid->addWidget(editX_[i], i + 1, 1);
        grid->addWidget(editY_[i], i + 1, 2);
    }
    return group;
}

QGroupBox* FramePanel::makePolarGroup(QObject* keyFilter) {
    auto* group = new QGroupBox;
    group->setObjectName("GroupBoxPolar");
    auto* grid = new QGridLayout(group);
    grid->addWidget(pointButton(0), 0, 0);
    grid->addWidget(pointButton(1), 0, 1);
    angle_ = edit(keyFilter);
    radius_ = edit(keyFilter);
    centreRadius_ = edit(keyFilter);
    const std::array<QLineEdit*, 3> edits{angle_, radius_, centreRadius_};
    for (int i = 0; i < 3; ++i) {
        polarLabels_[std::size_t(i)] = new QLabel;
        grid->addWidget(polarLabels_[std::size_t(i)], i + 1, 0);
        grid->addWidget(edits[std::size_t(i)], i + 1, 1);
    }
    direction_ = choiceOf(2);
    unit_ = choiceOf(2);
    radiusScale_ = choiceOf(2);
    int row = 4;
    for (QComboBox* box : {direction_, unit_, radiusScale_}) {
        grid->addWidget(box, row++, 0, 1, 2);
        connect(box, &QComboBox::activated, this, &FramePanel::storeChoices);
    }
    return group;
}

void FramePanel::showDocumentState() {
    const Document& doc = ws_.doc;
    showing_ = true;
    frame_->setCurrentIndex(int(doc.frame));
    perspective_->setVisible(doc.frame == CalibrationFrame::Perspective);
    polar_->setVisible(doc.frame == CalibrationFrame::Polar);
    for (int i = 0; i < 4; ++i) {
        showText(editX_[i], doc.perspective.editX[i]);
        showText(editY_[i], doc.perspective.editY[i]);
    }
    showText(angle_, doc.polar.editAngle);
    showText(radius_, doc.polar.editRadius);
    showText(centreRadius_, doc.polar.editCentreRadius);
    direction_->setCurrentIndex(doc.polar.clockwise ? 1 : 0);
    unit_->setCurrentIndex(doc.polar.radians ? 1 : 0);
    radiusScale_->setCurrentIndex(doc.polar.logRadius ? 1 : 0);
    // The first four buttons are the perspective points, the last two the polar ones.
    const bool placing = doc.inputMode == ModeFramePoint;
    for (std::size_t i = 0; i < pointButtons_.size(); ++i) {
        const int index = i < 4 ? int(i) : int(i) - 4;
        pointButtons_[i]->setChecked(placing && doc.framePoint == index);
    }
    showing_ = false;
}

std::vector<QLineEdit*> FramePanel::edits() const {
    switch (ws_.doc.frame) {
    case CalibrationFrame::Perspective:
        return {editX_[0], editY_[0], editX_[1], editY_[1],
                editX_[2], editY_[2], editX_[3], editY_[3]};
    case CalibrationFrame::Polar:
        return {angle_, radius_, centreRadius_};
    case CalibrationFrame::ThreePoint:
        break;
    }
    return {};
}

void FramePanel::storeTexts() {
    if (showing_)
        return;
    Document& doc = ws_.doc;
    for (int i = 0; i < 4; ++i) {
        doc.perspective.editX[i] = editX_[i]->text();
        doc.perspective.editY[i] = editY_[i]->text();
    }
    doc.polar.editAngle = angle_->text();
    doc.polar.editRadius = radius_->text();
    doc.polar.editCentreRadius = centreRadius_->text();
}

void FramePanel::storeChoices() {
    PolarCalibration& polar = ws_.doc.polar;
    polar.clockwise = direction_->currentIndex() == 1;
    polar.radians = unit_->currentIndex() == 1;
    polar.logRadius = radiusScale_->currentIndex() == 1;
    runCommand(ws_, [this] {
        RefreshValues(ws_);
        ws_.view.pictureChanged();
    });
}

} // namespace kurvana
