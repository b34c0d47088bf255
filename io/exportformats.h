#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace kurvana {

struct Document;

/// The forms in which the digitised points leave the program as files.
enum class ExportFormat {
    Clipboard, ///< the clipboard text itself (the command line's form without --format)
    Csv,       ///< comma separated, '.' decimal point, RFC 4180 quoting, a header row
    Tsv,       ///< tab separated in the table's number format, a header row
    Json,      ///< picture, calibration and every non-empty line with values and pixels
};

/// The form named "csv", "tsv" or "json" (any case); nothing for another name.
std::optional<ExportFormat> ExportFormatNamed(const QString& name);

/// The form a file name asks for by its extension: .json JSON, .tsv, .tab and .txt TSV,
/// anything else CSV.
ExportFormat ExportFormatOfPath(const QString& path);

/// The file extension written for a form ("csv", "tsv", "json"; "txt" for the clipboard text).
QString ExportSuffix(ExportFormat format);

/// The file contents, UTF-8, for the document's stored points (rows 1..nextRow-1 of each line,
/// as the clipboard takes them) and their current values. CSV and TSV give one pair of columns
/// X<n>,Y<n> per non-empty line n, rows as deep as the longest line, cells of shorter lines
/// empty, CR LF line ends. CSV and JSON write numbers with 17 significant digits and '.' (they
/// read back to the same doubles); TSV writes them as the table does (the user's separator).
QByteArray ExportText(const Document& doc, ExportFormat format);

/// The number of points an export writes.
int ExportedPointCount(const Document& doc);

} // namespace kurvana
