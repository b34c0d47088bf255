#pragma once

#include <QLineEdit>

namespace kurvana {

/// An edit box of the search windows with the numeric key filter: "," and "." type the
/// separator in force, once; digits, "-", Backspace and Enter pass; other characters are
/// dropped. Navigation keys and shortcuts work as usual. The separator is read at every key
/// from the variable given, because the windows are built before start-up reads the system's.
class NumericEdit : public QLineEdit {
    Q_OBJECT
public:
    NumericEdit(const QString& name, const QString& text, const QChar& decimalSeparator,
                QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QChar& separator_;
};

} // namespace kurvana
