#include "core/windows/nudgewindow.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>

#include "core/nudge.h"
#include "core/workspace.h"

namespace kurvana {

TFormMoviPoint::TFormMoviPoint(Workspace& ws, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ws_(ws) {
    setObjectName("FormMoviPoint");
    setWindowTitle("FormMoviPoint");
    setModal(true);
    auto* layout = new QGridLayout(this);
    auto button = [this, layout](const char* name, const char* caption, int row, int column,
                                 void (TFormMoviPoint::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        // The window, not a button, takes the keys: a focused button would turn the arrows
        // into focus moves.
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    button("BitBtnUp", "Up", 0, 1, &TFormMoviPoint::BitBtnUpClick);
    button("BitBtnLeft", "Left", 1, 0, &TFormMoviPoint::BitBtnLeftClick);
    button("BitBtnClose", "OK", 1, 1, &TFormMoviPoint::BitBtnCloseClick)->setDefault(true);
    button("BitBtnRight", "Right", 1, 2, &TFormMoviPoint::BitBtnRightClick);
    button("BitBtnDown", "Down", 2, 1, &TFormMoviPoint::BitBtnDownClick);
}

void TFormMoviPoint::BitBtnUpClick() {
    NudgeSelectedPoint(ws_, 0, -1);
}
void TFormMoviPoint::BitBtnDownClick() {
    NudgeSelectedPoint(ws_, 0, +1);
}
void TFormMoviPoint::BitBtnLeftClick() {
    NudgeSelectedPoint(ws_, -1, 0);
}
void TFormMoviPoint::BitBtnRightClick() {
    NudgeSelectedPoint(ws_, +1, 0);
}

void TFormMoviPoint::keyPressEvent(QKeyEvent* event) {
    using Handler = void (TFormMoviPoint::*)();
    Handler handler = nullptr;
    switch (event->key()) {
    case Qt::Key_Up:
        handler = &TFormMoviPoint::BitBtnUpClick;
        break;
    case Qt::Key_Down:
        handler = &TFormMoviPoint::BitBtnDownClick;
        break;
    case Qt::Key_Left:
        handler = &TFormMoviPoint::BitBtnLeftClick;
        break;
    case Qt::Key_Right:
        handler = &TFormMoviPoint::BitBtnRightClick;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BitBtnCloseClick();
        return;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    const int presses = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    for (int i = 0; i < presses; ++i)
        (this->*handler)();
}

void TFormMoviPoint::BitBtnCloseClick() {
    hide();
    runCommand(ws_, [this] { FinishNudge(ws_); });
    accept();
}

} // namespace kurvana
