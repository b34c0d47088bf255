#pragma once

#include <QStringList>

#include "platform/dialogs.h"

namespace kurvana::platform {

/// Dialogs where nobody is there to answer: the command-line forms' commands. Every question is
/// answered "not now" (Cancel, or No where there is no Cancel), every file and colour dialog is
/// cancelled, so that nothing is discarded or written on an answer nobody gave; the texts of the
/// information boxes are kept for the command to print.
class HeadlessDialogs : public Dialogs {
public:
    QStringList informations; ///< texts of the information boxes, in order

    void information(const QString& text) override { informations << text; }
    Answer question(const QString&, QuestionButtons buttons) override {
        return buttons == QuestionButtons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    Answer choice(const QString&, const QStringList&) override { return Answer::Cancel; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<Colour> chooseColour(Colour) override { return std::nullopt; }
};

} // namespace kurvana::platform
