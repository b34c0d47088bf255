#include "io/picturecommands.h"

#include <optional>

#include <QFileInfo>
#include <QImage>

#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/pdfcommands.h"
#include "io/picturefile.h"
#include "io/unsavedwork.h"

namespace kurvana {

namespace {

constexpr int kScaleImageOneToOne = 27;
constexpr int kScaleItemOneToOne = 4;
constexpr int kPictureStatusPanel = 2;
constexpr int kClearedRows = 1000;

/// The point rows 1..1000 of every line lose flag, x and y (a new picture starts empty).
void ClearPointRows(Document& doc) {
    for (int line = 1; line <= kLineCount; ++line)
        doc.clearSeries(line);
    for (int line = 1; line <= kLineCount; ++line)
        for (int row = 1; row <= kClearedRows; ++row) {
            doc.flag(line, row) = 0;
            doc.pointX(line, row) = 0;
            doc.pointY(line, row) = 0;
        }
}

/// Puts a picture that has been read completely in place and announces it.
void InstallPicture(Workspace& ws, const OpenedPicture& opened) {
    ws.doc.viewScale = 1.0L;
    ShowScaleOneToOne(ws.doc);
    ws.doc.pictureFileName = opened.name;
    InstallNewPicture(ws, opened.picture);
    ws.view.setStatusText(kPictureStatusPanel, opened.statusText);
    ws.view.controlsChanged();
    if (ws.history)
        ws.history->reset(ws.doc, false); // no points yet: nothing to lose
}

/// A picture file, or the page of a PDF the user chooses (nothing when the chooser was
/// cancelled).
std::optional<OpenedPicture> ReadChosenFile(Workspace& ws, const QString& path,
                                            const PdfOpenOptions& options) {
    if (IsPdfPath(path))
        return ReadPdfPage(ws, path, options);
    return OpenedPicture{ReadPictureFile(path, ws.doc.texts), path, path};
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath() + '/';
}

} // namespace

bool HoldsPoints(const Document& doc) {
    for (int line = 1; line <= kLineCount; ++line)
        if (doc.pointCount(line) > 0)
            return true;
    return false;
}

void ShowScaleOneToOne(Document& doc) {
    doc.scaleButtonImage = kScaleImageOneToOne;
    doc.checkedScaleItem = kScaleItemOneToOne;
}

void OpenPictureDialog(Workspace& ws) {
    Document& doc = ws.doc;
    if (!ConfirmDropOfUnsavedWork(ws))
        return;
    const std::optional<QString> chosen =
        ws.dialogs.openFile(QString(), doc.pictureFolder, PictureDialogFilter());
    if (!chosen) {
        doc.dataFileName.clear();
        return;
    }
    // Read first: a file that cannot be read leaves the work as it was, and so does a
    // cancelled page chooser.
    const std::optional<OpenedPicture> opened = ReadChosenFile(ws, *chosen, {});
    if (!opened)
        return;
    ClearPointRows(doc);
    doc.pictureFolder = FolderOf(*chosen);
    InstallPicture(ws, *opened); // the reset empties dataFileName
}

void LoadPictureFile(Workspace& ws, const QString& path) {
    InstallPicture(ws, {ReadPictureFile(path, ws.doc.texts), path, path});
}

bool LoadPdfPage(Workspace& ws, const QString& path, const PdfOpenOptions& options) {
    const std::optional<OpenedPicture> opened = ReadPdfPage(ws, path, options);
    if (opened)
        InstallPicture(ws, *opened);
    return opened.has_value();
}

bool OpenFromCommandLine(Workspace& ws, const QString& argument, const PdfOpenOptions& options) {
    const QString ending = argument.right(3).toUpper();
    const bool opens = ending == "GRA" || ending == "BMP" || HasReadablePictureExtension(argument);
    if (opens && !ConfirmDropOfUnsavedWork(ws))
        return true;
    if (ending == "GRA") {
        OpenDataFile(ws, argument);
        return true;
    }
    if (IsPdfPath(argument)) {
        LoadPdfPage(ws, argument, options);
        return true;
    }
    if (ending == "BMP" || HasReadablePictureExtension(argument)) {
        LoadPictureFile(ws, argument);
        return true;
    }
    return false;
}

bool TakeClipboardPicture(Workspace& ws, const QImage& picture) {
    Document& doc = ws.doc;
    if (picture.isNull()) {
        ws.dialogs.information(doc.texts.message(14));
        return false;
    }
    if (!ConfirmDropOfUnsavedWork(ws))
        return false;
    // Another program may hold any picture; the limit of picture files holds here too.
    if (PictureTooLarge(picture.size()))
        throw CommandError(doc.texts.extra(ExtraText::PictureTooLarge)
                               .arg("clipboard", QString::number(picture.width()),
                                    QString::number(picture.height())));
    doc.pictureFileName = "clipboard";
    doc.cleanPicture = NormalizedPicture(LaidOnWhite(picture));
    ShowCleanPicture(doc);
    ToggleAxes(doc);
    // The size follows the picture, so that a scaled view shows it undistorted.
    doc.pictureWidth = doc.workingPicture.width();
    doc.pictureHeight = doc.workingPicture.height();
    ws.view.applyViewScale();
    ws.view.pictureChanged();
    ws.view.setStatusText(kPictureStatusPanel, doc.texts.message(15));
    // The steps kept the old picture; the points stay, and with them unsaved work if any.
    if (ws.history)
        ws.history->reset(doc, ws.history->modified() || HoldsPoints(doc));
    return true;
}

} // namespace kurvana
