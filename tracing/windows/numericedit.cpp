#include "tracing/windows/numericedit.h"

#include <QKeyEvent>

#include "core/keyfilters.h"

namespace kurvana {

NumericEdit::NumericEdit(const QString& name, const QString& text, const QChar& decimalSeparator,
                         QWidget* parent)
    : QLineEdit(text, parent), separator_(decimalSeparator) {
    setObjectName(name);
}

void NumericEdit::keyPressEvent(QKeyEvent* event) {
    QChar key;
    if (event->key() == Qt::Key_Backspace)
        key = kBackspace;
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = kEnter;
    else if (event->text().size() == 1 && event->text()[0].isPrint() &&
             !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        key = event->text()[0];
    if (key.isNull()) { // not a typed character: navigation, Delete, shortcuts
        QLineEdit::keyPressEvent(event);
        return;
    }
    const auto accepted = FilterNumericKey(key, text(), separator_);
    if (!accepted) {
        event->accept();
        return;
    }
    if (*accepted != key) {
        insert(QString(*accepted));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace kurvana
