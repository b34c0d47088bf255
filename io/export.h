#pragma once

#include <QString>

namespace kurvana {

struct Document;

/// The clipboard text that the program would export right after opening the data file `path`
/// at start-up: the file's calibration (angle from its reference points), axis texts and scale
/// kinds, line 1 current (sorted when doc.sortOn), the table's number format and the
/// document's decimal separator. `doc` comes with the settings already loaded; it is changed
/// as opening the file would change it. Needs no picture copy and no window. Throws
/// CommandError when the file cannot be read or its values cannot be computed.
QString ExportDataFileText(Document& doc, const QString& path);

} // namespace kurvana
