#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace kurvana::platform {

/// The program's modal dialogs, shown with Qt's standard boxes over the main window.
class QtDialogs : public Dialogs {
public:
    /// Windows the boxes are centred on; null until the main window exists.
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void information(const QString& text) override;
    Answer question(const QString& text, QuestionButtons buttons) override;
    Answer choice(const QString& text, const QStringList& buttons) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& proposal) override;
    std::optional<QString> openFile(const QString& caption, const QString& folder,
                                    const QString& filter) override;
    std::optional<QString> saveFile(const QString& caption, const QString& proposal,
                                    const QString& filter) override;
    std::optional<Colour> chooseColour(Colour initial) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace kurvana::platform
