#include "io/datafile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include "core/axistext.h"
#include "core/numbers.h"
#include "core/texts.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

constexpr char kCodePage[] = "windows-1251";
constexpr QChar kNumeroSign(0x2116);    // the single byte 0xB9 in code page 1251
constexpr int kMaxCount = kLastRow + 1; // a count names the next free row: at most 1002
constexpr int kClearedRows = 1000;
/// No data file comes near this: 13 lines, 5 headers and counts, 2 x 1001 rows per line.
constexpr qint64 kMaxDataFileBytes = 16 * 1024 * 1024;

/// Hands out the lines of a data file one by one and words every fault with its line number.
class LineCursor {
public:
    LineCursor(const QString& text, const QString& path, const Texts& texts)
        : path_(path), texts_(texts) {
        if (!text.isEmpty())
            lines_ = text.split('\n');
        // A final line end closes the last line; it does not open an empty one.
        if (text.endsWith('\n'))
            lines_.removeLast();
        for (QString& line : lines_)
            if (line.endsWith('\r'))
                line.chop(1);
    }

    QString text() {
        ++lineNumber_;
        if (lineNumber_ > lines_.size())
            fail("the file ends before this line.");
        return lines_.at(lineNumber_ - 1);
    }

    std::int32_t integer() {
        const QString line = text();
        const std::optional<int> value = parseInteger(line);
        if (!value)
            fail(QString("'%1' is not a whole number.").arg(line));
        return *value;
    }

    [[noreturn]] void fail(const QString& reason) const {
        throw Failure(texts_, path_, lineNumber_, reason);
    }

    static CommandError Failure(const Texts& texts, const QString& path, int line,
                                const QString& reason) {
        return CommandError(texts.extra(ExtraText::DataFileUnreadable)
                                .arg(path, QString::number(line), AsSentence(reason)));
    }

private:
    QStringList lines_;
    QString path_;
    const Texts& texts_;
    int lineNumber_ = 0;
};

ScaleKind ScaleKindFromCode(const QString& code) {
    if (code == "1")
        return ScaleKind::Linear;
    if (code == "2")
        return ScaleKind::Log10;
    if (code == "3")
        return ScaleKind::Ln;
    return ScaleKind::None;
}

QString ScaleCode(ScaleKind kind) {
    switch (kind) {
    case ScaleKind::Log10:
        return "2";
    case ScaleKind::Ln:
        return "3";
    case ScaleKind::Linear:
    case ScaleKind::None:
    case ScaleKind::Date: // a linear axis in day counts to a reader that knows no dates
        break;
    }
    return "1";
}

} // namespace

QString NormalizeDecimalSeparator(const QString& text, QChar separator) {
    const QChar from = separator == ',' ? QChar('.') : QChar(',');
    const QChar to = separator == ',' ? QChar(',') : QChar('.');
    QString result = text;
    const qsizetype at = result.indexOf(from);
    if (at >= 0)
        result[at] = to;
    return result;
}

DataFileContent ParseDataFile(const QByteArray& bytes, const QString& path, const Texts& texts) {
    QStringDecoder decoder(kCodePage);
    LineCursor cursor(decoder.decode(bytes), path, texts);
    DataFileContent content;
    content.pictureCopyName = cursor.text();
    content.editMinX = cursor.text();
    content.editMaxX = cursor.text();
    content.editMinY = cursor.text();
    content.editMaxY = cursor.text();
    content.zeroPointX = cursor.integer();
    content.zeroPointY = cursor.integer();
    content.xMaxPointX = cursor.integer();
    content.xMaxPointY = cursor.integer();
    content.yMaxPointX = cursor.integer();
    content.yMaxPointY = cursor.integer();
    content.scaleX = ScaleKindFromCode(cursor.text());
    content.scaleY = ScaleKindFromCode(cursor.text());
    for (int line = 1; line <= kLineCount; ++line) {
        cursor.text(); // the header "Line № k" is not examined
        const std::int32_t count = cursor.integer();
        if (count < 1 || count > kMaxCount)
            cursor.fail(
                QString("the point count %1 is outside 1 to %2.").arg(count).arg(kMaxCount));
        std::vector<QPoint>& points = content.lines.at(line);
        points.reserve(count - 1);
        for (int row = 1; row < count; ++row) {
            const std::int32_t x = cursor.integer();
            const std::int32_t y = cursor.integer();
            points.emplace_back(x, y);
        }
    }
    return content; // anything after the last point of line 5 is not part of the data
}

DataFileContent ReadDataFile(const QString& path, const Texts& texts) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LineCursor::Failure(texts, path, 1,
                                  "the file cannot be opened (" + file.errorString() + ").");
    if (file.size() > kMaxDataFileBytes)
        throw LineCursor::Failure(texts, path, 1, "the file is far larger than any data file.");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw LineCursor::Failure(texts, path, 1,
                                  "the file cannot be read (" + file.errorString() + ").");
    return ParseDataFile(bytes, path, texts);
}

std::optional<QByteArray> DataFileBytes(const DataFileContent& content) {
    QStringList lines{content.pictureCopyName, content.editMinX, content.editMaxX, content.editMinY,
                      content.editMaxY};
    for (const QString& text : lines)
        if (text.contains('\r') || text.contains('\n'))
            return std::nullopt;
    for (const std::int32_t value : {content.zeroPointX, content.zeroPointY, content.xMaxPointX,
                                     content.xMaxPointY, content.yMaxPointX, content.yMaxPointY})
        lines << QString::number(value);
    lines << ScaleCode(content.scaleX) << ScaleCode(content.scaleY);
    for (int line = 1; line <= kLineCount; ++line) {
        const std::vector<QPoint>& points = content.lines.at(line);
        lines << QString("Line ") + kNumeroSign + ' ' + QString::number(line);
        lines << QString::number(points.size() + 1);
        for (const QPoint& point : points)
            lines << QString::number(point.x()) << QString::number(point.y());
    }
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(lines.join("\r\n") + "\r\n");
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

DataFileContent DataFileFromDocument(const Document& doc, const QString& copyName) {
    DataFileContent content;
    content.pictureCopyName = copyName;
    // A date axis is kept as the linear axis of its day counts.
    content.editMinX = StoredAxisText(doc, AxisName::X, doc.editMinX);
    content.editMaxX = StoredAxisText(doc, AxisName::X, doc.editMaxX);
    content.editMinY = StoredAxisText(doc, AxisName::Y, doc.editMinY);
    content.editMaxY = StoredAxisText(doc, AxisName::Y, doc.editMaxY);
    content.zeroPointX = doc.zeroPointX;
    content.zeroPointY = doc.zeroPointY;
    content.xMaxPointX = doc.xMaxPointX;
    content.xMaxPointY = doc.xMaxPointY;
    content.yMaxPointX = doc.yMaxPointX;
    content.yMaxPointY = doc.yMaxPointY;
    content.scaleX = doc.scaleX == ScaleKind::None ? ScaleKind::Linear : doc.scaleX;
    content.scaleY = doc.scaleY == ScaleKind::None ? ScaleKind::Linear : doc.scaleY;
    for (int line = 1; line <= kLineCount; ++line)
        for (int row = 1; row < doc.nextRow.at(line); ++row)
            content.lines.at(line).emplace_back(doc.pointX(line, row), doc.pointY(line, row));
    return content;
}

void ApplyDataFileCalibration(Document& doc, const DataFileContent& content) {
    doc.editMinX = NormalizeDecimalSeparator(content.editMinX, doc.decimalSeparator);
    doc.editMaxX = NormalizeDecimalSeparator(content.editMaxX, doc.decimalSeparator);
    doc.editMinY = NormalizeDecimalSeparator(content.editMinY, doc.decimalSeparator);
    doc.editMaxY = NormalizeDecimalSeparator(content.editMaxY, doc.decimalSeparator);
    doc.zeroPointX = content.zeroPointX;
    doc.zeroPointY = content.zeroPointY;
    doc.xMaxPointX = content.xMaxPointX;
    doc.xMaxPointY = content.xMaxPointY;
    doc.yMaxPointX = content.yMaxPointX;
    doc.yMaxPointY = content.yMaxPointY;
    // The angle belongs to the reference points: a tilted calibration must reopen tilted.
    doc.axisAngle = axisAngleFor(doc);
    // The file holds a three-point calibration; a perspective or polar frame kept beside it is
    // taken after this.
    doc.frame = CalibrationFrame::ThreePoint;
    // An unknown code keeps the kind in force, so that a later save writes a readable file.
    if (content.scaleX != ScaleKind::None)
        doc.scaleX = content.scaleX;
    if (content.scaleY != ScaleKind::None)
        doc.scaleY = content.scaleY;
}

void ApplyDataFile(Document& doc, const DataFileContent& content) {
    doc.pictureFileName = PictureCopyFolder(doc) + content.pictureCopyName;
    ApplyDataFileCalibration(doc, content);
    for (int line = 1; line <= kLineCount; ++line) {
        for (int row = 1; row <= kClearedRows; ++row) {
            doc.flag(line, row) = 0;
            doc.pointX(line, row) = 0;
            doc.pointY(line, row) = 0;
        }
        doc.nextRow.at(line) = 1;
        doc.clearSeries(line);
        for (const QPoint& point : content.lines.at(line))
            doc.appendPoint(line, point.x(), point.y());
    }
}

QString DataFolder(const Document& doc) {
    return doc.dataHome() + "Data/";
}

QString PictureCopyFolder(const Document& doc) {
    return doc.dataHome() + "Data/Grafiks/";
}

} // namespace kurvana
