#pragma once

#include <vector>

#include <QString>

namespace kurvana {

struct Document;
struct Workspace;

constexpr int kTableDataRows = 999; ///< the grid's data rows 1..999

/// One data row of the table: the X value and the Y value of a point of `line`.
struct TableRow {
    double x = 0;
    double y = 0;
    int line = 1;
};

/// The rows FillTable shows: line 1's flagged points first, then line 2's, ..., each line in
/// stored order; at most 999.
std::vector<TableRow> TableRows(const Document& doc);

/// The clipboard text: every stored row of lines 1..5, X, as many tabs as the line number, Y,
/// CR LF; no heading.
QString ClipboardText(const Document& doc);

/// ButtonCopyToClipboardClick: the text goes to the clipboard, then message M08.
void CopyTableToClipboard(Workspace& ws);

/// Empties the current line (flags 0, table refreshed, nextRow 1, picture redrawn with axes).
void ClearLineData(Workspace& ws);

/// ButtonClearDataClick: asks M12 + line + CR + M03; Yes clears the current line.
void ClearLineCommand(Workspace& ws);

} // namespace kurvana
