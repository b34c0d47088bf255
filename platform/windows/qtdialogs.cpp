#include "platform/windows/qtdialogs.h"

#include <algorithm>
#include <vector>

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

Answer QtDialogs::choice(const QString& text, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Question, applicationTitle(), displayText(text),
                    QMessageBox::NoButton, parent_);
    const QMessageBox::ButtonRole roles[] = {QMessageBox::AcceptRole, QMessageBox::DestructiveRole,
                                             QMessageBox::RejectRole};
    std::vector<QAbstractButton*> shown;
    for (int i = 0; i < std::min<int>(int(buttons.size()), 3); ++i)
        shown.push_back(box.addButton(buttons[i], roles[i]));
    if (shown.empty())
        return Answer::No;
    box.setDefaultButton(qobject_cast<QPushButton*>(shown.front()));
    // Escape and the close button press a hidden button of their own, which answers Cancel
    // even where no Cancel button is shown.
    QAbstractButton* notNow = box.addButton(QMessageBox::Cancel);
    notNow->hide();
    box.setEscapeButton(notNow);
    box.exec();
    const auto chosen = std::find(shown.begin(), shown.end(), box.clickedButton());
    const Answer answers[] = {Answer::Yes, Answer::No, Answer::Cancel};
    return chosen == shown.end() ? Answer::Cancel : answers[chosen - shown.begin()];
}

std::optional<QString> QtDialogs::inputBox(const QString& caption, const QString& prompt,
                                           const QString& proposal) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, proposal, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::openFile(const QString& caption, const QString& folder,
                                           const QString& filter) {
    const QString start = QDir(folder).exists() ? folder : QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(parent_, caption, start, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::saveFile(const QString& caption, const QString& proposal,
                                           const QString& filter) {
    QFileDialog dialog(parent_, caption, proposal, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString suffix = QFileInfo(proposal).suffix();
    for (const QString& type : filter.split(";;"))
        if (type.contains("*." + suffix + ')'))
            dialog.selectNameFilter(type);
    // The chosen type's extension is added to a name typed without one.
    const auto useSelectedSuffix = [&dialog](const QString& type) {
        const qsizetype star = type.lastIndexOf("*.");
        if (star >= 0)
            dialog.setDefaultSuffix(type.mid(star + 2).chopped(1));
    };
    useSelectedSuffix(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSelectedSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<Colour> QtDialogs::chooseColour(Colour initial) {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(qrgbFromColour(initial)), parent_);
    if (!chosen.isValid())
        return std::nullopt;
    return colourFromQRgb(chosen.rgb());
}

} // namespace kurvana::platform
