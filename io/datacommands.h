#pragma once

#include <QImage>
#include <QString>

#include "io/datafile.h"

namespace kurvana {

struct Document;
struct Workspace;

/// The "Save Data" command: asks the picture copy name (M16/M17, proposing "curve" after a
/// clipboard picture, else the picture file's stem) and the data file name (M18/M17, proposing
/// the current data file's stem, else the copy's). Cancel in either box writes nothing and
/// returns false, as does No to the question asked when the names would replace the data file
/// or the picture copy of other work (anything but the document's own data file and the copy
/// it names). Writes the clean picture as a bitmap to Data/Grafiks/ and the data file to Data/
/// (folders created when missing) so that a failed save leaves the files that were there
/// whole; then marks and axes are drawn again and dataFileName + CR + M19 is shown. Throws
/// CommandError on failure, with the document and the files as they were.
bool SaveData(Workspace& ws);

/// The "Open Data" command: unsaved work is asked about first, then the open dialog in Data/, then
/// OpenDataFile. Cancel changes nothing.
void OpenDataDialog(Workspace& ws);

/// Opens a data file and its picture copy. Both are read and checked completely first; a fault
/// throws CommandError naming the file, the line and the reason, with nothing changed. Then
/// the new-picture reset, the file's calibration, axis texts, scale kinds and points, and the
/// values recomputed.
void OpenDataFile(Workspace& ws, const QString& path);

/// A data file and its picture copy, read and checked, not yet shown.
struct OpenedDataFile {
    DataFileContent content;
    QImage picture;
    QByteArray sidecar; ///< what is kept beside the data file (io/sidecar.h); empty when none
};

/// Reads the data file `path` and its picture copy from `copyFolder`. Throws CommandError
/// naming the file, the line and the reason; nothing is changed.
OpenedDataFile ReadDataFileWithCopy(const Document& doc, const QString& path,
                                    const QString& copyFolder);

/// Puts a read data file in place: the new-picture reset, the file's calibration, axis texts,
/// scale kinds and points, marks and axes drawn. The values are not computed: the caller's
/// RefreshValues follows. The history starts empty; `unsaved` marks the work as not saved to
/// `dataFileName` (a restored recovery copy).
void InstallDataFile(Workspace& ws, const OpenedDataFile& opened, const QString& dataFileName,
                     bool unsaved);

/// Proposed picture copy stem: "curve" after a clipboard picture, else the file name of the
/// picture without its last four characters (empty for four or fewer).
QString PictureCopyProposal(const QString& pictureFileName);

/// The file name part of a path ('/' or '\\' separated) up to its last dot, whatever the
/// extension's length; a name without a dot is kept whole.
QString FileStem(const QString& path);

} // namespace kurvana
