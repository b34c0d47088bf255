#include "core/numbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include <QLocale>

#include "core/workspace.h"

namespace kurvana {

std::optional<double> parseFloat(const QString& text, QChar separator) {
    const QString s = text.trimmed();
    int i = 0;
    const int n = int(s.size());
    QString plain;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        plain += s[i++];
    int digits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        if (s[i].isDigit() && s[i].unicode() < 128) {
            plain += s[i];
            ++digits;
        } else if (s[i] == separator && !separatorSeen) {
            separatorSeen = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            plain += s[i++];
        int exponentDigits = 0;
        for (; i < n && s[i].isDigit() && s[i].unicode() < 128; ++i, ++exponentDigits)
            plain += s[i];
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double parseFloatOrThrow(const QString& text, QChar separator) {
    if (const auto value = parseFloat(text, separator))
        return *value;
    throw CommandError(QString("'%1' is not a valid floating point value").arg(text));
}

std::optional<int> parseInteger(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == n)
        return std::nullopt;
    long long value = 0;
    for (; i < n; ++i) {
        if (!(text[i] >= '0' && text[i] <= '9'))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

namespace {

/// The value rounded to 15 significant digits: its digits without trailing zeros, and the
/// decimal exponent of the first digit.
struct Digits {
    bool negative = false;
    QString digits; // at least one digit
    int exponent = 0;
};

Digits roundTo15(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value); // "-d.ddddddddddddddde+xx"
    Digits d;
    const char* p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits += QChar(*p);
    d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.endsWith('0'))
        d.digits.chop(1);
    return d;
}

QString scientific(const Digits& d, QChar separator) {
    QString out = d.negative ? "-" : "";
    out += d.digits[0];
    if (d.digits.size() > 1)
        out += separator + d.digits.mid(1);
    out += 'E' + QString::number(d.exponent);
    return out;
}

} // namespace

QString formatGeneral(double value, QChar separator) {
    if (value == 0)
        return "0";
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    const Digits d = roundTo15(value);
    if (d.exponent < -4 || d.exponent >= 15)
        return scientific(d, separator);
    QString out = d.negative ? "-" : "";
    if (d.exponent < 0) {
        out += '0';
        out += separator;
        out += QString(-d.exponent - 1, '0') + d.digits;
        return out;
    }
    const int integerDigits = d.exponent + 1;
    if (d.digits.size() <= integerDigits)
        return out + d.digits + QString(integerDigits - d.digits.size(), '0');
    return out + d.digits.left(integerDigits) + separator + d.digits.mid(integerDigits);
}

QString formatScientific(double value, QChar separator) {
    if (value == 0)
        return "0E0";
    if (!std::isfinite(value))
        return formatGeneral(value, separator);
    return scientific(roundTo15(value), separator);
}

QString formatFixed2(double value, QChar separator) {
    QString text = QLocale::c().toString(value, 'f', 2);
    text.replace('.', separator);
    return text;
}

} // namespace kurvana
