#include "platform/windows/qtdialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kurvana::platform {

namespace {

/// Message texts use CR alone as a line break; Qt's boxes want LF.
QString displayText(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

/// The application title, the caption of every message box, the double quotes included. It is
/// not Qt's application display name, which X11 would append to every window's caption.
QString applicationTitle() {
    return QStringLiteral("\"Kurvana II\"");
}

} // namespace

void QtDialogs::information(const QString& text) {
    QMessageBox::information(parent_, applicationTitle(), displayText(text));
}

Answer QtDialogs::question(const QString& text, QuestionButtons buttons) {
    const bool withCancel = buttons == QuestionButtons::YesNoCancel;
    const auto shown = withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                  : QMessageBox::Yes | QMessageBox::No;
    const auto escape = withCancel ? QMessageBox::Cancel : QMessageBox::No;
    QMessageBox box(QMessageBox::Question, applicationTitle(), displayText(text), shown, parent_);
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

QString QtDialogs::inputBox(const QString& caption, const QString& prompt,
                            const QString& proposal) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, proposal, &ok);
    return ok ? text : proposal;
}

std::optional<QString> QtDialogs::openFile(const QString& caption, const QString& folder,
                                           const QString& filter) {
    const QString start = QDir(folder).exists() ? folder : QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(parent_, caption, start, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<Colour> QtDialogs::chooseColour(Colour initial) {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(qrgbFromColour(initial)), parent_);
    if (!chosen.isValid())
        return std::nullopt;
    return colourFromQRgb(chosen.rgb());
}

} // namespace kurvana::platform
