#include "io/exportfile.h"

#include <QDir>
#include <QFileInfo>

#include "core/document.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "io/exportformats.h"
#include "io/filepair.h"

namespace kurvana {

namespace {

/// The name the save dialog proposes: the open data file's, else the picture's, else "data".
QString proposedStem(const Document& doc) {
    if (!doc.dataFileName.isEmpty())
        return QFileInfo(doc.dataFileName).completeBaseName();
    const QString picture = PictureCopyProposal(doc.pictureFileName);
    return picture.isEmpty() ? QString("data") : picture;
}

} // namespace

void ExportDataCommand(Workspace& ws) {
    const Document& doc = ws.doc;
    const QString proposal = DataFolder(doc) + proposedStem(doc) + ".csv";
    const auto path = ws.dialogs.saveFile(doc.texts.extra(ExtraText::ExportDialogCaption), proposal,
                                          doc.texts.extra(ExtraText::ExportFilter));
    if (!path)
        return;
    const QByteArray contents = ExportText(doc, ExportFormatOfPath(*path));
    const QString reason = WriteFileAtomically(*path, contents);
    const QString shown = QDir::toNativeSeparators(*path);
    if (!reason.isEmpty())
        throw CommandError(doc.texts.extra(ExtraText::ExportFailed).arg(shown, reason));
    ws.dialogs.information(
        doc.texts.extra(ExtraText::ExportDone).arg(shown).arg(ExportedPointCount(doc)));
}

} // namespace kurvana
