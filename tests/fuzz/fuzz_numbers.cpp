// The number texts a user or a file supplies: axis texts, counts, steps. Whatever parseFloat
// accepts is finite, and what the table writes reads back; parseInteger agrees with a plain
// 64-bit reading of the same digits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include <QStringDecoder>

#include "core/numbers.h"
#include "fuzzinput.h"
#include "io/datafile.h"
#include "settings/settingsfile.h"

using namespace kurvana;

namespace {

/// Optional blanks, a sign, 1 to 18 digits and nothing else: the value; else nothing.
std::optional<long long> PlainInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const qsizetype first = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i - first < 18; ++i)
        value = value * 10 + (text[i].unicode() - '0');
    if (i == first || i != text.size())
        return std::nullopt;
    return negative ? -value : value;
}

void CheckFloat(const QString& text, QChar separator) {
    const std::optional<double> value = parseFloat(text, separator);
    if (!value)
        return;
    fuzz::Require(std::isfinite(*value), "parsed number is finite", text);
    // The largest doubles round up past the largest double at 15 digits: no text reads back.
    const bool roundsPastLargest = std::fabs(*value) > 1.79769313486231e308;
    for (const bool scientific : {false, true}) {
        if (roundsPastLargest)
            break;
        const QString shown = formatTableNumber(*value, separator, scientific);
        const std::optional<double> back = parseFloat(shown, separator);
        fuzz::Require(back.has_value(), "table number reads back", text + " -> " + shown);
        // 15 significant digits: the value comes back within a relative 1e-14.
        fuzz::Require(std::fabs(*back - *value) <= std::fabs(*value) * 1e-14 + 1e-300,
                      "table number keeps 15 digits", text + " -> " + shown);
    }
    fuzz::Require(parseFloat(formatFixed2(*value, separator), separator).has_value(),
                  "status bar number reads back", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes);

    CheckFloat(text, '.');
    CheckFloat(text, ',');

    const std::optional<int> integer = parseInteger(text);
    const std::optional<long long> plain = PlainInteger(text);
    if (plain && *plain >= INT32_MIN && *plain <= INT32_MAX)
        fuzz::Require(integer == int(*plain), "parseInteger reads every 32-bit number", text);
    if (integer)
        fuzz::Require(plain.has_value() ? *plain == *integer : text.size() > 18,
                      "parseInteger accepts only whole numbers", text);

    // The two separator exchanges (data files and settings file) agree and change one character.
    for (const QChar separator : {QChar('.'), QChar(',')}) {
        const QString normalised = NormalizeDecimalSeparator(text, separator);
        fuzz::Require(normalised == AdaptDecimalSeparator(text, separator),
                      "separator exchanges agree", text);
        fuzz::Require(normalised.size() == text.size(), "separator exchange keeps the length");
    }
    return 0;
}
