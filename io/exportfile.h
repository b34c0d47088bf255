#pragma once

#include <QByteArray>
#include <QString>

namespace kurvana {

struct Workspace;

/// Writes `contents` to `path` atomically: completely to a temporary file beside it, then moved
/// into place, so that a failed write leaves the file that was there whole. Returns an empty
/// text on success, otherwise the reason.
QString WriteFileAtomically(const QString& path, const QByteArray& contents);

/// The "Export data..." command: a save dialog proposing the data file's (or picture's) name
/// in Data/ as CSV; the chosen file's extension picks CSV, TSV or JSON. Writes the points of
/// all lines and reports how many; Cancel changes nothing. Throws CommandError
/// (ExtraText::ExportFailed) when the file cannot be written.
void ExportDataCommand(Workspace& ws);

} // namespace kurvana
