#pragma once

namespace kurvana {

struct Workspace;

/// The "Export data..." command: a save dialog proposing the data file's (or picture's) name
/// in Data/ as CSV; the chosen file's extension picks CSV, TSV or JSON. Writes the points of
/// all lines and reports how many; Cancel changes nothing. Throws CommandError
/// (ExtraText::ExportFailed) when the file cannot be written.
void ExportDataCommand(Workspace& ws);

} // namespace kurvana
