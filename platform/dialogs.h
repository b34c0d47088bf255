#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "platform/colour.h"

namespace kurvana::platform {

/// The answer of a question box.
enum class Answer { Yes, No, Cancel };

/// Which buttons a question box shows.
enum class QuestionButtons { YesNo, YesNoCancel };

/// Every modal interaction of the program goes through this interface, so that tests can script
/// the answers instead of blocking in a nested event loop.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// Information box with one OK button.
    virtual void information(const QString& text) = 0;
    /// Question box; closing it counts as No (or Cancel where offered).
    virtual Answer question(const QString& text, QuestionButtons buttons) = 0;
    /// Question box with the buttons named `buttons` (two or three, the first the default):
    /// they answer Yes, No and Cancel in that order. Escape and the window's close button
    /// answer Cancel, also with two buttons: "not now" is never taken for the second button,
    /// which may be the one that throws work away.
    virtual Answer choice(const QString& text, const QStringList& buttons) {
        return question(text,
                        buttons.size() > 2 ? QuestionButtons::YesNoCancel : QuestionButtons::YesNo);
    }
    /// Simple input box proposing `proposal`: OK returns the edited text, Cancel (Escape, the
    /// close button) returns nothing.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                            const QString& proposal) = 0;
    /// Open-file dialog; returns the chosen path or nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& caption, const QString& folder,
                                            const QString& filter) = 0;
    /// Save-file dialog proposing `proposal` (a path); `filter` lists the file types
    /// (";;" separated, each "Name (*.ext)"). A name typed without an extension gets the one of
    /// the chosen type. Returns the chosen path or nothing when cancelled.
    virtual std::optional<QString> saveFile(const QString& caption, const QString& proposal,
                                            const QString& filter) = 0;
    /// Colour dialog opening with `initial`; returns the chosen colour or nothing when cancelled.
    virtual std::optional<Colour> chooseColour(Colour initial) = 0;
};

} // namespace kurvana::platform
