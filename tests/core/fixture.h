#pragma once

#include <functional>

#include <QImage>

#include "core/document.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"

namespace kurvana::test {

/// Counts what the digitising code asked of the windows.
class RecordingView : public ViewHooks {
public:
    int tableFills = 0;
    int controlUpdates = 0;
    int nudgeWindows = 0;
    QString clipboard;
    void fillTable() override { ++tableFills; }
    void controlsChanged() override { ++controlUpdates; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    /// What the user does in the nudging window while it runs (nothing by default).
    std::function<void()> onNudgeWindow;
    void runNudgeWindow() override {
        ++nudgeWindows;
        if (onNudgeWindow)
            onNudgeWindow();
    }
    PixelMatch preview; ///< what the picture tints now
    bool previewOnClean = false;
    void showMatchPreview(const PixelMatch& matches, bool onCleanPicture) override {
        preview = matches;
        previewOnClean = onCleanPicture;
    }
};

/// A fresh document with scripted dialogs; optionally a white picture put in place by the
/// new-picture reset (frame (50,200), (200,200), (50,50); axis texts 10000/0/1/1.1).
struct Fixture {
    Document doc;
    platform::ScriptedDialogs dialogs;
    RecordingView view;
    Workspace ws{doc, dialogs, view};

    explicit Fixture(int width = 0, int height = 0) {
        for (int slot = 1; slot <= 21; ++slot)
            doc.texts.setMessage(slot, QString("M%1").arg(slot, 2, 10, QChar('0')));
        if (width > 0) {
            // Made as a picture file is read, so the working picture shares its pages.
            QImage white = NewPictureForReading(QSize(width, height));
            white.fill(Qt::white);
            InstallNewPicture(ws, white);
        }
    }

    /// Sets a picture pixel in the clean and the working picture.
    void ink(int x, int y, QRgb colour = 0xFF000000u) {
        for (QImage* image : {&doc.cleanPicture, &doc.workingPicture})
            image->setPixel(x, y, colour);
    }
};

} // namespace kurvana::test
