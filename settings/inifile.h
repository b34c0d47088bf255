#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>

namespace kurvana {

/// A settings file of the section/key/value kind, kept the way the platform's profile functions
/// keep one: keys already in the file keep their place (a new key goes to the end of its
/// section, a new section to the end of the file), comments and keys the program does not know
/// survive a rewrite, section and key names match without regard to letter case, texts are
/// single bytes in code page 1251 and lines end in CR LF. A value that code page 1251 cannot
/// hold (a folder "/home/jürgen/") turns the whole file into UTF-8 with its signature, which
/// keeps every text intact; a file that starts with the signature is read and kept as UTF-8.
class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    /// Reads a file. A missing or unreadable file leaves the contents empty: every key is then
    /// missing and the reader falls back to its defaults.
    void load(const QString& path);
    /// Reads the contents from the bytes of a file. Any bytes are accepted.
    void loadBytes(const QByteArray& bytes);

    /// The value of a key as stored (blanks around it removed), or nothing when it is missing.
    std::optional<QString> text(const char* section, const char* key) const;
    /// Sets a key, adding the section and the key at their ends when they are new. Line breaks
    /// in the value would split the line in the file, so they are dropped.
    void setText(const char* section, const char* key, const QString& value);

    /// The whole file as it is written.
    QByteArray bytes() const;
    /// Writes the file in one piece: an existing file is replaced only once the new contents
    /// are completely on disk. Returns an empty text on success, otherwise the reason.
    QString save(const QString& path) const;

private:
    /// Re-encodes the whole contents, keys, values and comments, from 1251 into UTF-8.
    void convertToUtf8();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kurvana
