#pragma once

#include <optional>

#include <QChar>
#include <QString>

namespace kurvana {

/// Text to number as the platform converts it: optional blanks around, a sign, digits with at
/// most one decimal separator `separator` (the other separator is not accepted), an optional
/// exponent. Nothing for any other text (empty, "-", a lone separator).
std::optional<double> parseFloat(const QString& text, QChar separator);

/// parseFloat, or a CommandError "'%s' is not a valid floating point value".
double parseFloatOrThrow(const QString& text, QChar separator);

/// Text to a 32-bit integer: optional leading blanks, a sign, decimal digits. Nothing otherwise
/// or on overflow.
std::optional<int> parseInteger(const QString& text);

/// General format with 15 significant digits: fixed notation for 0 and magnitudes from 0.0001
/// below 1E15, otherwise d.dddE[-]x; trailing zeros dropped.
QString formatGeneral(double value, QChar separator);

/// Scientific notation with up to 15 significant digits: d.dddE[-]x, trailing zeros dropped.
QString formatScientific(double value, QChar separator);

/// The number format of the table and the clipboard, as chosen in Setup.
inline QString formatTableNumber(double value, QChar separator, bool scientific) {
    return scientific ? formatScientific(value, separator) : formatGeneral(value, separator);
}

/// Fixed notation with two decimals, as the status-bar readout shows.
QString formatFixed2(double value, QChar separator);

} // namespace kurvana
