#include "core/windows/inputwindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/calibration.h"
#include "core/document.h"
#include "core/keyfilters.h"
#include "core/numbers.h"
#include "core/windows/framepanel.h"
#include "core/workspace.h"
#include "platform/windows/stayontop.h"

namespace kurvana {

TFormInput::TFormInput(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      EditMaxX(new QLineEdit), EditMaxY(new QLineEdit), EditMinX(new QLineEdit),
      EditMinY(new QLineEdit), ws_(ws), stayOnTop_(new QCheckBox("Stay On Top")) {
    setObjectName("FormInput");
    setWindowTitle("Input Date");
    auto* group = new QGroupBox("Input Digital Value of Axis");
    group->setObjectName("GroupBoxSelectInput");
    auto* grid = new QGridLayout(group);
    auto* headingX = new QLabel("X");
    auto* headingY = new QLabel("Y");
    headingX->setObjectName("LabelSelectInput");
    auto* maximum = new QLabel("Maximum");
    maximum->setObjectName("Label1");
    auto* minimum = new QLabel("Minimum");
    minimum->setObjectName("Label2");
    grid->addWidget(headingX, 0, 1, Qt::AlignHCenter);
    grid->addWidget(headingY, 0, 2, Qt::AlignHCenter);
    grid->addWidget(maximum, 1, 0);
    grid->addWidget(EditMaxX, 1, 1);
    grid->addWidget(EditMaxY, 1, 2);
    grid->addWidget(minimum, 2, 0);
    grid->addWidget(EditMinX, 2, 1);
    grid->addWidget(EditMinY, 2, 2);
    const std::array<std::pair<QLineEdit*, const char*>, 4> edits{{{EditMaxX, "EditMaxX"},
                                                                   {EditMaxY, "EditMaxY"},
                                                                   {EditMinX, "EditMinX"},
                                                                   {EditMinY, "EditMinY"}}};
    for (const auto& [edit, name] : edits) {
        edit->setObjectName(name);
        edit->setFixedWidth(90);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, &TFormInput::storeTexts);
    }
    stayOnTop_->setObjectName("CheckBoxStayOnTop");
    stayOnTop_->setChecked(true);
    connect(stayOnTop_, &QCheckBox::clicked, this,
            [this] { SetStayOnTop(*this, stayOnTop_->isChecked()); });
    threePoints_ = group;
    frame_ = new FramePanel(ws, this);
    connect(frame_, &FramePanel::frameChosen, this, [this] { showDocumentTexts(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addWidget(group);
    layout->addWidget(stayOnTop_);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    showDocumentTexts();
}

void TFormInput::showDocumentTexts() {
    showing_ = true;
    EditMaxX->setText(ws_.doc.editMaxX);
    EditMaxY->setText(ws_.doc.editMaxY);
    EditMinX->setText(ws_.doc.editMinX);
    EditMinY->setText(ws_.doc.editMinY);
    showing_ = false;
    threePoints_->setVisible(ws_.doc.frame == CalibrationFrame::ThreePoint);
    frame_->showDocumentState();
}

void TFormInput::showExtraTexts() {
    frame_->showExtraTexts();
}

void TFormInput::showFrameState() {
    threePoints_->setVisible(ws_.doc.frame == CalibrationFrame::ThreePoint);
    frame_->showDocumentState();
}

std::vector<QLineEdit*> TFormInput::shownEdits() const {
    if (ws_.doc.frame != CalibrationFrame::ThreePoint)
        return frame_->edits();
    return {EditMaxX, EditMinX, EditMaxY, EditMinY};
}

void TFormInput::setStayOnTop(bool on) {
    stayOnTop_->setChecked(on);
    SetStayOnTop(*this, on);
}

bool TFormInput::stayOnTop() const {
    return stayOnTop_->isChecked();
}

void TFormInput::storeTexts() {
    if (showing_)
        return;
    ws_.doc.editMaxX = EditMaxX->text();
    ws_.doc.editMaxY = EditMaxY->text();
    ws_.doc.editMinX = EditMinX->text();
    ws_.doc.editMinY = EditMinY->text();
}

AxisName TFormInput::axisOf(const QLineEdit* edit) const {
    return edit == EditMaxX || edit == EditMinX ? AxisName::X : AxisName::Y;
}

QLineEdit* TFormInput::firstEditNotANumber() const {
    // The order in which RefreshValues reads the texts, so the edit named in its message.
    const bool threePoints = ws_.doc.frame == CalibrationFrame::ThreePoint;
    const std::vector<QLineEdit*> order =
        threePoints ? std::vector<QLineEdit*>{EditMaxX, EditMaxY, EditMinX, EditMinY}
                    : frame_->edits();
    for (QLineEdit* edit : order)
        try {
            if (threePoints)
                ParseAxisText(ws_.doc, axisOf(edit), edit->text());
            else if (!parseFloat(edit->text(), ws_.doc.decimalSeparator))
                return edit;
        } catch (const CommandError&) {
            return edit;
        }
    return nullptr;
}

void TFormInput::enterPressed(QLineEdit* edit) {
    if (!runCommand(ws_, [this] { TakeAxisValues(ws_); })) {
        // The values were not refreshed: the focus stays where the user can correct them.
        QLineEdit* bad = firstEditNotANumber();
        QLineEdit* stay = bad ? bad : edit;
        stay->setFocus();
        stay->selectAll();
        return;
    }
    // On to the next edit: maximum X, minimum X, maximum Y, minimum Y, round again.
    const std::vector<QLineEdit*> edits = shownEdits();
    const auto at = std::find(edits.begin(), edits.end(), edit);
    if (at == edits.end())
        return;
    QLineEdit* next = at + 1 == edits.end() ? edits.front() : *(at + 1);
    next->setFocus();
    next->selectAll();
}

bool TFormInput::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        enterPressed(edit);
        return true;
    }
    // Only typed characters are filtered; navigation and editing keys (Tab and Shift+Tab among
    // them, whose text is a control character) work as usual.
    const QString text = key->text();
    if (text.size() != 1 || !text[0].isPrint() || key->key() == Qt::Key_Delete ||
        key->key() == Qt::Key_Backspace || (key->modifiers() & Qt::ControlModifier))
        return false;
    const auto accepted = IsDateAxis(ws_.doc, axisOf(edit))
                              ? FilterDateKey(text[0])
                              : FilterAxisKey(text[0], edit->text(), ws_.doc.decimalSeparator);
    if (!accepted)
        return true;
    if (*accepted != text[0]) {
        edit->insert(QString(*accepted));
        return true;
    }
    return false;
}

} // namespace kurvana
