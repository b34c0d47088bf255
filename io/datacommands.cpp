#include "io/datacommands.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QIODevice>
#include <QImageWriter>

#include "core/calibration.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "io/datafile.h"
#include "io/filepair.h"
#include "io/picturecommands.h"
#include "io/picturefile.h"
#include "io/unsavedwork.h"

namespace kurvana {

namespace {

constexpr int kPictureStatusPanel = 2;
constexpr int kCopyCaption = 16, kNamePrompt = 17, kDataCaption = 18, kSavedMessage = 19;

CommandError SaveFailed(const Document& doc, const QString& file, const QString& reason) {
    return CommandError(
        doc.texts.extra(ExtraText::DataFileSaveFailed).arg(file, AsSentence(reason)));
}

PendingFile BitmapFile(const QString& path, const QImage& picture) {
    return {path, [picture](QIODevice& device) {
                QImageWriter writer(&device, "bmp");
                return writer.write(picture) ? QString() : writer.errorString();
            }};
}

PendingFile BytesFile(const QString& path, const QByteArray& bytes) {
    return {path, [bytes](QIODevice& device) {
                return device.write(bytes) == bytes.size() ? QString() : device.errorString();
            }};
}

} // namespace

QString FileStem(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.left(dot);
}

QString PictureCopyProposal(const QString& pictureFileName) {
    return pictureFileName == "clipboard" ? QString("curve") : FileStem(pictureFileName);
}

void SaveData(Workspace& ws) {
    Document& doc = ws.doc;
    if (doc.cleanPicture.isNull())
        throw SaveFailed(doc, DataFolder(doc), "there is no picture to save with the data.");

    const Texts& texts = doc.texts;
    const QString copyName =
        ws.dialogs.inputBox(texts.message(kCopyCaption), texts.message(kNamePrompt),
                            PictureCopyProposal(doc.pictureFileName)) +
        ".bmp";
    const QString dataProposal =
        doc.dataFileName.isEmpty() ? FileStem(copyName) : FileStem(doc.dataFileName);
    const QString dataPath =
        DataFolder(doc) +
        ws.dialogs.inputBox(texts.message(kDataCaption), texts.message(kNamePrompt), dataProposal) +
        ".gra";

    const std::optional<QByteArray> bytes = DataFileBytes(DataFileFromDocument(doc, copyName));
    if (!bytes)
        throw SaveFailed(doc, dataPath,
                         "a name or an axis text holds a character that a data file cannot "
                         "store (a line break or a letter outside the Cyrillic code page).");
    // The clean picture is what the copy holds: no marks, no axes.
    const std::optional<SaveFailure> failure =
        ReplaceFilePair(BitmapFile(PictureCopyFolder(doc) + copyName, doc.cleanPicture),
                        BytesFile(dataPath, *bytes));
    if (failure)
        throw SaveFailed(doc, failure->file, failure->reason);

    doc.dataFileName = dataPath;
    if (ws.history)
        ws.history->markSaved();
    // RedrawMarks and ToggleAxes: saving changed no pixel, so only what was drawn over the
    // picture since the last restore needs restoring.
    ws.view.pictureChanged(RestoreMarksAndAxes(doc));
    ws.dialogs.information(doc.dataFileName + '\r' + texts.message(kSavedMessage));
}

void OpenDataDialog(Workspace& ws) {
    if (!ConfirmDropOfUnsavedWork(ws))
        return;
    const QString folder = DataFolder(ws.doc);
    const std::optional<QString> chosen = ws.dialogs.openFile(
        QString(), QDir(folder).exists() ? folder : ws.doc.dataHome(), "GRA file (*.gra *.GRA)");
    if (chosen)
        OpenDataFile(ws, *chosen);
}

OpenedDataFile ReadDataFileWithCopy(const Document& doc, const QString& path,
                                    const QString& copyFolder) {
    OpenedDataFile opened{ReadDataFile(path, doc.texts), {}};
    const QString copyPath = copyFolder + opened.content.pictureCopyName;
    const PictureReadResult copy = TryReadPicture(copyPath);
    if (copy.picture.isNull())
        throw CommandError(doc.texts.extra(ExtraText::DataFileUnreadable)
                               .arg(path, "1",
                                    QString("its picture copy \"%1\" cannot be opened: %2")
                                        .arg(copyPath, AsSentence(copy.reason))));
    opened.picture = copy.picture;
    return opened;
}

void OpenDataFile(Workspace& ws, const QString& path) {
    // Everything is read and checked before the document changes.
    ShowDataFile(ws, ReadDataFileWithCopy(ws.doc, path, PictureCopyFolder(ws.doc)), path, false);
}

void ShowDataFile(Workspace& ws, const OpenedDataFile& opened, const QString& dataFileName,
                  bool unsaved) {
    Document& doc = ws.doc;
    doc.viewScale = 1.0L;
    ShowScaleOneToOne(doc);
    InstallNewPicture(ws, opened.picture);
    doc.dataFileName = dataFileName;
    ApplyDataFile(doc, opened.content);
    ws.view.setStatusText(kPictureStatusPanel, doc.pictureFileName);
    ws.view.documentSettingsChanged();
    ws.view.controlsChanged();
    // Marks first: should the stored axis texts not convert, the refresh below stops with its
    // message, and the points are still shown for the user to correct the texts.
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
    // The file is what the document now holds, even if its axis texts stop the refresh.
    if (ws.history)
        ws.history->reset(doc, unsaved);
    RefreshValues(ws);
}

} // namespace kurvana
