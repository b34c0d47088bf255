#include "core/keyfilters.h"

namespace kurvana {

namespace {

QChar exchangeSeparator(QChar key, QChar separator) {
    if (key == ',' && separator == '.')
        return '.';
    if (key == '.' && separator == ',')
        return ',';
    return key;
}

bool isDigit(QChar c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<QChar> FilterAxisKey(QChar key, const QString& text, QChar separator) {
    key = exchangeSeparator(key, separator);
    if (isDigit(key) || key == kBackspace)
        return key;
    if ((key == '.' || key == ',') && !text.contains(key))
        return key;
    if (key == '-' && text.isEmpty())
        return key;
    return std::nullopt;
}

std::optional<QChar> FilterDateKey(QChar key) {
    if (isDigit(key) || key == kBackspace || QString("-/.:T ").contains(key))
        return key;
    return std::nullopt;
}

std::optional<QChar> FilterNumericKey(QChar key, const QString& text, QChar separator) {
    key = exchangeSeparator(key, separator);
    if (isDigit(key) || key == '-' || key == kBackspace || key == kEnter)
        return key;
    if ((key == '.' || key == ',') && !text.contains(key))
        return key;
    return std::nullopt;
}

} // namespace kurvana
