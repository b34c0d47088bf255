#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QString>

#include "core/texts.h"

namespace kurvana {

struct Document;

constexpr int kLanguageEntries = 132;   ///< entries of the original file, two lines each
constexpr int kFirstMessageEntry = 112; ///< entries 112..132 are the messages M01..M21
constexpr int kFirstExtraEntry = 133;   ///< ExtraText i is entry 133 + i
constexpr int kExtraEntries = int(ExtraText::Count);

/// The texts of the selected language, as language.txt gives them.
struct LanguageEntries {
    bool russian = false;
    /// Entries 1..132 (index 0 unused); a file that ends early leaves the rest empty.
    std::array<QString, kLanguageEntries + 1> entries;
    /// The texts after entry 132; nothing where the file has no (or an empty) line for one, so
    /// the built-in English stays.
    std::array<std::optional<QString>, kExtraEntries> extras;

    const QString& entry(int k) const { return entries.at(k); }
};

/// Picks the lines of one language out of the bytes of language.txt (code page 1251): for
/// English one line is dropped first; entry 1 is the next line; for every later entry one line
/// (the other language's) is dropped and the next taken. Lines beyond the entries are not read.
LanguageEntries ParseLanguageFile(const QByteArray& bytes, bool russian);

/// Reads a language file. Throws CommandError (ExtraText::LanguageFileUnreadable, in the texts
/// now in force) when it cannot be read.
LanguageEntries ReadLanguageFile(const QString& path, bool russian, const Texts& texts);

/// The help document of a language, without a folder.
QString HelpFileName(bool russian);

/// Messages M01..M21, the extra texts (the built-in English where the file has none) and the
/// help file name.
void ApplyLanguageToDocument(Document& doc, const LanguageEntries& language);

/// Reads doc.sharedFolder() + "language.txt" in the language doc.languageRussian selects and puts
/// its messages in the document; returns the texts for the windows. An unreadable file throws
/// CommandError before anything is changed.
LanguageEntries LoadLanguage(Document& doc);

} // namespace kurvana
