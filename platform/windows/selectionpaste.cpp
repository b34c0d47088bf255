#include "platform/windows/selectionpaste.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace kurvana::platform {

namespace {

/// Answers the middle button on the edit's viewport before the edit does.
class SelectionPaste : public QObject {
public:
    explicit SelectionPaste(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton)
            return QObject::eventFilter(watched, event);
        if (type == QEvent::MouseButtonRelease)
            paste(mouse->position().toPoint());
        return true;
    }

private:
    void paste(const QPoint& position) {
        if (edit_->isReadOnly())
            return;
        // The text alone: reading it does not take the path that crashes.
        const QString text = QGuiApplication::clipboard()->text(QClipboard::Selection);
        if (text.isEmpty())
            return;
        edit_->setTextCursor(edit_->cursorForPosition(position));
        edit_->insertPlainText(text);
    }

    QPlainTextEdit* edit_;
};

} // namespace

void PasteSelectionSafely(QPlainTextEdit* edit) {
    edit->viewport()->installEventFilter(new SelectionPaste(edit));
}

} // namespace kurvana::platform
