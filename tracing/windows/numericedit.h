#pragma once

#include <QLineEdit>

namespace kurvana {

/// An edit box of the search windows with the numeric key filter: "," and "." type the
/// separator in force, once; digits, "-", Backspace and Enter pass; other characters are
/// dropped. Navigation keys and shortcuts work as usual.
class NumericEdit : public QLineEdit {
    Q_OBJECT
public:
    NumericEdit(const QString& name, const QString& text, QChar decimalSeparator,
                QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QChar separator_;
};

} // namespace kurvana
