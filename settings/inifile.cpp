#include "settings/inifile.h"

#include <string>

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

// Only the single-byte flavour is used; texts are converted here, so SimpleIni needs no
// converter library. Debian's header keeps its template bodies behind SI_IMPLEMENTATION; this
// is the one file that includes it, so they are compiled here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "io/filepair.h"

namespace kurvana {

namespace {

const QByteArray kUtf8Signature("\xEF\xBB\xBF");

/// The parser takes a line that opens a section name without closing it ("[Forms" in a damaged
/// file) as the section of the keys after it, named by everything up to where the next key
/// ends: those keys land in a section whose name spans lines, and every save adds a line to
/// the file. Such a line is kept as a comment instead, so the keys after it stay in the
/// section before it and the file stays as it is from save to save.
QByteArray WithOpenSectionLinesAsComments(const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size());
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        qsizetype first = start; // the parser skips blanks and tabs only
        while (first < end && (data[first] == ' ' || data[first] == '\t'))
            ++first;
        const QByteArrayView text(data.constData() + first, end - first);
        if (text.startsWith('[') && !text.contains(']'))
            out += ';';
        while (end < data.size() && (data[end] == '\r' || data[end] == '\n'))
            ++end;
        out += QByteArrayView(data.constData() + start, end - start);
        start = end;
    }
    return out;
}

} // namespace

struct IniFile::Impl {
    CSimpleIniA ini;
    /// A file that starts with the UTF-8 signature keeps it and its texts stay UTF-8; every
    /// other file is code page 1251.
    bool utf8 = false;

    Impl() {
        ini.SetUnicode(false); // the bytes are stored as they are; this class converts texts
        ini.SetMultiKey(false);
        ini.SetMultiLine(false);
        ini.SetSpaces(false); // "key=value", as the profile functions write it
        ini.SetQuotes(false);
    }

    /// Whether code page 1251 holds every character of the text.
    static bool fitsCodePage(const QString& text) {
        QStringEncoder encoder("windows-1251");
        const QByteArray bytes = encoder.encode(text);
        QStringDecoder decoder("windows-1251");
        return !encoder.hasError() && QString(decoder.decode(bytes)) == text;
    }

    QByteArray encode(const QString& text) const {
        if (utf8)
            return text.toUtf8();
        QStringEncoder encoder("windows-1251");
        return encoder.encode(text);
    }
    QString decode(const char* bytes) const {
        if (utf8)
            return QString::fromUtf8(bytes);
        QStringDecoder decoder("windows-1251");
        return decoder.decode(QByteArrayView(bytes));
    }
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

void IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return loadBytes({});
    loadBytes(file.readAll());
}

void IniFile::loadBytes(const QByteArray& bytes) {
    impl_ = std::make_unique<Impl>();
    QByteArray data = bytes;
    // A signature repeated by some editor counts once: the parser would skip a second one by
    // itself and take what follows it as the first line.
    while (data.startsWith(kUtf8Signature)) {
        impl_->utf8 = true;
        data.remove(0, kUtf8Signature.size());
    }
    data = WithOpenSectionLinesAsComments(data);
    // The parser reads up to the first NUL byte; a damaged file simply yields fewer keys.
    if (impl_->ini.LoadData(data.constData(), size_t(data.size())) < 0)
        impl_->ini.Reset();
}

std::optional<QString> IniFile::text(const char* section, const char* key) const {
    const char* value = impl_->ini.GetValue(section, key, nullptr);
    if (!value)
        return std::nullopt;
    return impl_->decode(value);
}

void IniFile::setText(const char* section, const char* key, const QString& value) {
    QString oneLine = value;
    oneLine.remove('\r').remove('\n');
    if (!impl_->utf8 && !Impl::fitsCodePage(oneLine))
        convertToUtf8();
    const QByteArray bytes = impl_->encode(oneLine);
    impl_->ini.SetValue(section, key, bytes.constData());
}

void IniFile::convertToUtf8() {
    // Every byte of a 1251 file is a character of the code page, so the whole text converts
    // without loss; the signature then tells the next reader that the file is UTF-8.
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes());
    loadBytes(kUtf8Signature + text.toUtf8());
}

QByteArray IniFile::bytes() const {
    std::string out;
    impl_->ini.Save(out, false);
    // SimpleIni separates sections by blank lines; the profile functions write none, and a
    // comment may come back with its CR. Each line ends in one CR LF, blank lines go.
    QByteArray data;
    for (const QByteArray& line : QByteArray::fromStdString(out).split('\n')) {
        const QByteArray text = QByteArray(line).replace("\r", "");
        if (!text.isEmpty())
            data += text + "\r\n";
    }
    // Keys before any section are written first; one whose name begins with the signature's
    // bytes would read back as a signature, turning a 1251 file into UTF-8 or losing the bytes
    // from the key's name. A blank first line keeps it a key.
    if (data.startsWith(kUtf8Signature))
        data.prepend("\r\n");
    if (impl_->utf8)
        data.prepend(kUtf8Signature);
    return data;
}

QString IniFile::save(const QString& path) const {
    return WriteFileAtomically(path, bytes());
}

} // namespace kurvana
