#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QPoint>
#include <QString>

#include "core/document.h"

namespace kurvana {

class Texts;

/// Everything a data file (.gra) holds, as it stands in the file.
struct DataFileContent {
    QString pictureCopyName; ///< file name of the picture copy in Data/Grafiks/, no folder
    QString editMinX, editMaxX, editMinY, editMaxY; ///< the axis texts as stored
    std::int32_t zeroPointX = 0, zeroPointY = 0;
    std::int32_t xMaxPointX = 0, xMaxPointY = 0;
    std::int32_t yMaxPointX = 0, yMaxPointY = 0;
    /// Scale kinds; None when the file's code line held something other than 1, 2 or 3.
    ScaleKind scaleX = ScaleKind::Linear, scaleY = ScaleKind::Linear;
    /// Points of lines 1..5 (index 0 unused), rows 1.. in order, at most 1001 per line.
    std::array<std::vector<QPoint>, kLineCount + 1> lines;
};

/// The file's numbers go through the decimal separator of this system: with a comma separator
/// the first '.' becomes ',', otherwise the first ',' becomes '.'. Only the first one changes.
QString NormalizeDecimalSeparator(const QString& text, QChar separator);

/// Decodes and checks a whole data file (code page 1251, CR LF or LF line ends). Throws
/// CommandError naming the file, the line and the reason on the first fault: a missing line,
/// a number that is not a whole 32-bit number, a point count outside 1..1002.
DataFileContent ParseDataFile(const QByteArray& bytes, const QString& path, const Texts& texts);

/// Reads and parses the file `path`; see ParseDataFile.
DataFileContent ReadDataFile(const QString& path, const Texts& texts);

/// The bytes of a data file: code page 1251, CR LF after every line, the header
/// "Line \\xB9 k" per line, integers without padding. Nothing when a text cannot be stored:
/// a character outside code page 1251 or a line break inside a text.
std::optional<QByteArray> DataFileBytes(const DataFileContent& content);

/// What the document would store under the picture copy name `copyName`. A scale kind that
/// no button shows (None) is stored as linear, the kind the conversion uses for it, so the
/// file always reads back.
DataFileContent DataFileFromDocument(const Document& doc, const QString& copyName);

/// Takes a parsed file into the document: pictureFileName (the copy in Data/Grafiks/), the
/// axis texts through NormalizeDecimalSeparator, the reference points with their axisAngle,
/// the scale kinds (an unknown code keeps the kind in force), and the points of all lines,
/// every row marked present. Rows 1..1000 of every line are cleared first.
void ApplyDataFile(Document& doc, const DataFileContent& content);

/// The calibration part of ApplyDataFile alone: the axis texts, the reference points with their
/// axisAngle, the three-point frame and the scale kinds; points and picture name stay.
void ApplyDataFileCalibration(Document& doc, const DataFileContent& content);

/// Folder of the data files and of their picture copies, with a trailing '/'.
QString DataFolder(const Document& doc);
QString PictureCopyFolder(const Document& doc);

} // namespace kurvana
