#include "io/datacommands.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
#include "io/sidecar.h"
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

namespace {

/// Where a save puts its two files.
struct SaveTargets {
    QString copyName; ///< the picture copy's file name, in Data/Grafiks/
    QString copyPath;
    QString dataPath;
};

/// Asks the two names; nothing when either box is cancelled.
std::optional<SaveTargets> AskSaveTargets(Workspace& ws) {
    const Document& doc = ws.doc;
    const Texts& texts = doc.texts;
    const std::optional<QString> copyStem =
        ws.dialogs.inputBox(texts.message(kCopyCaption), texts.message(kNamePrompt),
                            PictureCopyProposal(doc.pictureFileName));
    if (!copyStem)
        return std::nullopt;
    const QString copyName = *copyStem + ".bmp";
    const QString dataProposal =
        doc.dataFileName.isEmpty() ? FileStem(copyName) : FileStem(doc.dataFileName);
    const std::optional<QString> dataStem =
        ws.dialogs.inputBox(texts.message(kDataCaption), texts.message(kNamePrompt), dataProposal);
    if (!dataStem)
        return std::nullopt;
    return SaveTargets{copyName, PictureCopyFolder(doc) + copyName,
                       DataFolder(doc) + *dataStem + ".gra"};
}

/// The picture copy named by the document's own data file; empty when there is none or it
/// cannot be read.
QString OwnCopyName(const Document& doc) {
    if (doc.dataFileName.isEmpty() || !QFileInfo::exists(doc.dataFileName))
        return {};
    try {
        return ReadDataFile(doc.dataFileName, doc.texts).pictureCopyName;
    } catch (const CommandError&) {
        return {};
    }
}

/// The files of the targets that exist and hold other work than the document's: two pictures
/// of the same name propose the same names, and the older pair would be lost without a word.
QStringList OtherWorkReplaced(const Document& doc, const SaveTargets& targets) {
    const bool ownData =
        !doc.dataFileName.isEmpty() && QFileInfo(targets.dataPath) == QFileInfo(doc.dataFileName);
    // The copy the picture was opened from is this chart's too (Open Data, then another name).
    const bool ownCopy = QFileInfo(targets.copyPath) == QFileInfo(doc.pictureFileName) ||
                         (ownData && OwnCopyName(doc) == targets.copyName);
    QStringList replaced;
    if (QFileInfo::exists(targets.dataPath) && !ownData)
        replaced << targets.dataPath;
    if (QFileInfo::exists(targets.copyPath) && !ownCopy)
        replaced << targets.copyPath;
    return replaced;
}

} // namespace

bool SaveData(Workspace& ws) {
    Document& doc = ws.doc;
    if (doc.cleanPicture.isNull())
        throw SaveFailed(doc, DataFolder(doc), "there is no picture to save with the data.");

    const std::optional<SaveTargets> targets = AskSaveTargets(ws);
    if (!targets)
        return false;
    const std::optional<QByteArray> bytes =
        DataFileBytes(DataFileFromDocument(doc, targets->copyName));
    if (!bytes)
        throw SaveFailed(doc, targets->dataPath,
                         "a name or an axis text holds a character that a data file cannot "
                         "store (a line break or a letter outside the Cyrillic code page).");
    const Texts& texts = doc.texts;
    const QStringList replaced = OtherWorkReplaced(doc, *targets);
    if (!replaced.isEmpty() &&
        ws.dialogs.question(texts.extra(ExtraText::ReplaceOtherWorkQuestion)
                                .arg('"' + replaced.join("\", \"") + '"'),
                            platform::QuestionButtons::YesNo) != platform::Answer::Yes)
        return false;
    // The clean picture is what the copy holds: no marks, no axes.
    const std::optional<SaveFailure> failure = ReplaceFilePair(
        BitmapFile(targets->copyPath, doc.cleanPicture), BytesFile(targets->dataPath, *bytes));
    if (failure)
        throw SaveFailed(doc, failure->file, failure->reason);
    // The data file is in place; until what it cannot hold is beside it, the work is not saved.
    if (const QString reason = WriteSidecar(doc, targets->dataPath); !reason.isEmpty())
        throw SaveFailed(doc, SidecarPath(targets->dataPath), reason);

    doc.dataFileName = targets->dataPath;
    if (ws.history)
        ws.history->markSaved();
    // RedrawMarks and ToggleAxes: saving changed no pixel, so only what was drawn over the
    // picture since the last restore needs restoring.
    ws.view.pictureChanged(RestoreMarksAndAxes(doc));
    ws.dialogs.information(doc.dataFileName + '\r' + texts.message(kSavedMessage));
    return true;
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

/// More than any sidecar of five lines of a thousand points holds.
constexpr qint64 kLargestSidecar = qint64(1) << 26;

OpenedDataFile ReadDataFileWithCopy(const Document& doc, const QString& path,
                                    const QString& copyFolder) {
    OpenedDataFile opened{ReadDataFile(path, doc.texts), {}, {}};
    const QString copyPath = copyFolder + opened.content.pictureCopyName;
    const PictureReadResult copy = TryReadPicture(copyPath);
    if (copy.picture.isNull())
        throw CommandError(doc.texts.extra(ExtraText::DataFileUnreadable)
                               .arg(path, "1",
                                    QString("its picture copy \"%1\" cannot be opened: %2")
                                        .arg(copyPath, AsSentence(copy.reason))));
    opened.picture = copy.picture;
    QFile sidecar(SidecarPath(path));
    if (sidecar.open(QIODevice::ReadOnly))
        opened.sidecar = sidecar.read(kLargestSidecar);
    return opened;
}

void OpenDataFile(Workspace& ws, const QString& path) {
    // Everything is read and checked before the document changes.
    InstallDataFile(ws, ReadDataFileWithCopy(ws.doc, path, PictureCopyFolder(ws.doc)), path, false);
    RefreshValues(ws);
}

void InstallDataFile(Workspace& ws, const OpenedDataFile& opened, const QString& dataFileName,
                     bool unsaved) {
    Document& doc = ws.doc;
    doc.viewScale = 1.0L;
    ShowScaleOneToOne(doc);
    InstallNewPicture(ws, opened.picture);
    doc.dataFileName = dataFileName;
    ApplyDataFile(doc, opened.content);
    if (!opened.sidecar.isEmpty())
        ApplySidecar(doc, opened.sidecar);
    ws.view.setStatusText(kPictureStatusPanel, doc.pictureFileName);
    ws.view.documentSettingsChanged();
    ws.view.controlsChanged();
    // Marks first: should the stored axis texts not convert, the refresh that follows stops,
    // and the points are still shown for the user to correct the texts.
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
    // The file is what the document now holds, even if its axis texts stop the refresh.
    if (ws.history)
        ws.history->reset(doc, unsaved);
}

} // namespace kurvana
