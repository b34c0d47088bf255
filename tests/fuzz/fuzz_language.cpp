// language.txt from outside: any bytes give 132 entries in either language, every entry a
// single line, and the messages and extra texts in the document.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/document.h"
#include "fuzzinput.h"
#include "fuzzworkspace.h"
#include "settings/languagefile.h"

using namespace kurvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const LanguageEntries russian = ParseLanguageFile(bytes, true);
    const LanguageEntries english = ParseLanguageFile(bytes, false);
    for (const LanguageEntries* language : {&russian, &english}) {
        for (int k = 1; k <= kLanguageEntries; ++k) {
            const QString& entry = language->entry(k);
            fuzz::Require(!entry.contains('\r') && !entry.contains('\n'), "entry is one line");
        }
        for (const auto& extra : language->extras)
            fuzz::Require(!extra || !extra->isEmpty(), "an extra text is never empty");
    }
    // The messages of the chosen language go into the slots; an extra text the file lacks
    // keeps the built-in English.
    Document* doc = &fuzz::FreshDocument();
    ApplyLanguageToDocument(*doc, size % 2 ? russian : english);
    const LanguageEntries& applied = size % 2 ? russian : english;
    for (int slot = 1; slot <= 21; ++slot)
        fuzz::Require(doc->texts.message(slot) == applied.entry(kFirstMessageEntry + slot - 1),
                      "message slot from its entry");
    for (int i = 0; i < kExtraEntries; ++i)
        fuzz::Require(!doc->texts.extra(ExtraText(i)).isEmpty(), "extra text never empty");
    return 0;
}
