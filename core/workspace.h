#pragma once

#include <functional>
#include <stdexcept>

#include <QRect>
#include <QString>

#include "platform/colour.h"

namespace kurvana {

/// Which pixels a search would take; an empty test matches nothing.
using PixelMatch = std::function<bool(Colour)>;

struct Document;
class PdfWindows;
class History;
namespace platform {
class Dialogs;
}

/// A command stopped with a message for the user (a text that is not a number, an axis shorter
/// than one pixel, an unreadable file). What was done before the failure stays done; the one
/// place that runs commands shows the text in an information box.
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

/// What the digitising code asks of the windows. The defaults do nothing, so tests and
/// headless tools need implement only what they observe.
class ViewHooks {
public:
    virtual ~ViewHooks() = default;
    /// The data table must be rebuilt from the document (FillTable).
    virtual void fillTable() {}
    /// The working picture changed inside `area` (picture pixels); an empty rect means all.
    virtual void pictureChanged(const QRect& area = {}) { (void)area; }
    /// Mode, line, cursor, scale or switch states changed: buttons, menus and cursor follow.
    virtual void controlsChanged() {}
    /// The picture control must be sized for the current viewScale.
    virtual void applyViewScale() {}
    /// The magnifier shows the picture around (x, y).
    virtual void showMagnifier(int x, int y) { (void)x, (void)y; }
    /// Text of a status-bar panel (0..3).
    virtual void setStatusText(int panel, const QString& text) { (void)panel, (void)text; }
    /// The axis texts or the Setup choices in the document changed: the edits follow.
    virtual void documentSettingsChanged() {}
    /// Plain text for the system clipboard.
    virtual void setClipboardText(const QString& text) { (void)text; }
    /// Mode 7 click: the search-colour window's sample takes the colour under the cursor.
    virtual void takeColourSample() {}
    /// A point was selected for nudging: the nudging window runs modally.
    virtual void runNudgeWindow() {}
    /// The picture tints the pixels that `matches` accepts, of the clean picture or of the
    /// working picture (an overlay, nothing is drawn into the pictures); an empty test takes
    /// the tint away.
    virtual void showMatchPreview(const PixelMatch& matches, bool onCleanPicture) {
        (void)matches, (void)onCleanPicture;
    }
    /// A click in one of the recognisers' modes (Find markers, Find bars) at picture pixel
    /// (x, y): the recognisers live above the digitising code, so the windows run them.
    virtual void recogniseClick(int mode, int x, int y) { (void)mode, (void)x, (void)y; }
    /// The hourglass cursor on (a long pixel pass runs) or off.
    virtual void setBusyCursor(bool busy) { (void)busy; }
    /// The page chooser and rendering progress of PDF documents; null where there are no
    /// windows (a PDF page must then be named).
    virtual PdfWindows* pdfWindows() { return nullptr; }
};

/// Hourglass cursor for as long as a long pass runs, also when it fails.
class BusyCursor {
public:
    explicit BusyCursor(ViewHooks& view) : view_(view) { view_.setBusyCursor(true); }
    ~BusyCursor() { view_.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ViewHooks& view_;
};

/// Everything a command works with: the document, the modal dialogs, the windows and the undo
/// history (none in tests and tools that do not undo).
struct Workspace {
    Document& doc;
    platform::Dialogs& dialogs;
    ViewHooks& view;
    History* history = nullptr;
};

/// Runs a command; a CommandError it throws is shown in an information box. Returns false when
/// the command failed.
template <typename F> bool runCommand(Workspace& ws, F&& command);

} // namespace kurvana

#include "platform/dialogs.h"

namespace kurvana {
template <typename F> bool runCommand(Workspace& ws, F&& command) {
    try {
        command();
        return true;
    } catch (const CommandError& error) {
        ws.dialogs.information(error.text());
        return false;
    }
}
} // namespace kurvana
