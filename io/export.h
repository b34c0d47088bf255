#pragma once

#include <QString>

namespace kurvana {

struct Document;

/// Puts the data file `path` into `doc` as opening it at start-up would: the file's calibration
/// (angle from its reference points), axis texts and scale kinds, line 1 current (sorted when
/// doc.sortOn), values recomputed. `doc` comes with the settings already loaded. Needs no
/// picture copy and no window. Throws CommandError when the file cannot be read or its values
/// cannot be computed.
void LoadDataFileForExport(Document& doc, const QString& path);

/// The clipboard text that the program would export right after opening the data file `path`
/// at start-up (LoadDataFileForExport), in the table's number format and the document's
/// decimal separator.
QString ExportDataFileText(Document& doc, const QString& path);

} // namespace kurvana
