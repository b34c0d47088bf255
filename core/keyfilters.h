#pragma once

#include <optional>

#include <QChar>
#include <QString>

namespace kurvana {

constexpr QChar kBackspace = QChar(8);
constexpr QChar kEnter = QChar(13);

/// Key filter of the Input window's axis edits: "," and "." both type the separator in force;
/// digits and Backspace pass; a separator only once; "-" only into an empty edit. Returns the
/// character to insert, or nothing when the key is discarded. Enter is handled by the caller.
std::optional<QChar> FilterAxisKey(QChar key, const QString& text, QChar separator);

/// Numeric key filter of the search windows: the same separator exchange; digits, "-",
/// Backspace and Enter pass; a separator only once.
/// Key filter of an axis edit on a date axis: digits and the marks of dates and times (- / . : T
/// and the blank), which the locale's own short forms use too.
std::optional<QChar> FilterDateKey(QChar key);

std::optional<QChar> FilterNumericKey(QChar key, const QString& text, QChar separator);

} // namespace kurvana
