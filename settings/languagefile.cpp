#include "settings/languagefile.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringDecoder>

#include "core/document.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

/// The lines of a text file; a line ends at CR LF, LF or a lone CR. A last line without an end
/// still counts; the end of the last line does not start another.
QList<QByteArray> SplitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines << bytes.mid(start, i - start);
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << bytes.mid(start);
    return lines;
}

/// Reads lines one at a time as a text file is read: past the end every line is empty.
class LineReader {
public:
    explicit LineReader(const QByteArray& bytes) : lines_(SplitLines(bytes)) {}

    bool atEnd() const { return next_ >= lines_.size(); }
    void skip() { ++next_; }
    QString read() {
        if (atEnd()) {
            ++next_;
            return {};
        }
        QStringDecoder decoder("windows-1251");
        return decoder.decode(lines_.at(next_++));
    }

private:
    QList<QByteArray> lines_;
    qsizetype next_ = 0;
};

} // namespace

LanguageEntries ParseLanguageFile(const QByteArray& bytes, bool russian) {
    LanguageEntries language;
    language.russian = russian;
    LineReader reader(bytes);
    if (!russian)
        reader.skip();
    language.entries.at(1) = reader.read();
    for (int k = 2; k <= kLanguageEntries; ++k) {
        reader.skip();
        language.entries.at(k) = reader.read();
    }
    for (int i = 0; i < kExtraEntries; ++i) {
        reader.skip();
        if (reader.atEnd())
            break;
        const QString text = reader.read();
        if (!text.isEmpty())
            language.extras.at(i) = text;
    }
    return language;
}

LanguageEntries ReadLanguageFile(const QString& path, bool russian, const Texts& texts) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CommandError(
            texts.extra(ExtraText::LanguageFileUnreadable).arg(QDir::toNativeSeparators(path)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw CommandError(
            texts.extra(ExtraText::LanguageFileUnreadable).arg(QDir::toNativeSeparators(path)));
    return ParseLanguageFile(bytes, russian);
}

QString HelpFileName(bool russian) {
    return russian ? "kurvana2_r.html" : "kurvana2_e.html";
}

void ApplyLanguageToDocument(Document& doc, const LanguageEntries& language) {
    for (int slot = 1; slot <= 21; ++slot)
        doc.texts.setMessage(slot, language.entry(kFirstMessageEntry + slot - 1));
    for (int i = 0; i < kExtraEntries; ++i) {
        const ExtraText id = ExtraText(i);
        doc.texts.setExtra(id, language.extras.at(i).value_or(Texts::builtInExtra(id)));
    }
    doc.helpFileName = HelpFileName(language.russian);
}

LanguageEntries LoadLanguage(Document& doc) {
    const LanguageEntries language =
        ReadLanguageFile(doc.sharedFolder() + "language.txt", doc.languageRussian, doc.texts);
    ApplyLanguageToDocument(doc, language);
    return language;
}

} // namespace kurvana
