#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QLocale;

namespace kurvana {

/// Dates and times on a date axis are held as a day count: days since 1899-12-30 00:00 UTC,
/// the time of day as the fraction (noon is .5). It is the serial date of the common
/// spreadsheets, so the numbers an older reader of the data file shows paste into a
/// spreadsheet as the same dates. All arithmetic is in UTC on the proleptic Gregorian calendar:
/// no time zone or daylight-saving rule ever moves a value.

/// The day count of a civil date (month 1..12, day 1..31) at midnight, or nothing when the date
/// does not exist (30 February, month 13).
std::optional<std::int64_t> DayCountOf(int year, int month, int day);

struct CivilTime {
    std::int64_t year = 0;
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

/// The date and time of a day count, rounded to the nearest second.
CivilTime CivilTimeOf(double dayCount);

/// How finely a date axis shows its values.
enum class DatePrecision { Days, Minutes, Seconds };

/// The precision an axis spanning `spanDays` calls for: a step of the shown unit stays well
/// below what one pixel of a typical axis covers (about 1/500 of the span).
DatePrecision PrecisionForSpan(double spanDays);

/// ISO 8601 text of a day count: `2024-03-01`, `2024-03-01T14:30` or `2024-03-01T14:30:05`.
QString FormatDayCount(double dayCount, DatePrecision precision);

/// A typed date or date-time as its day count: `2024-03-01`, `2024-03-01 14:30`,
/// `2024-03-01T14:30:05` (blanks around ignored), or the locale's own short date form.
/// Nothing for any other text.
std::optional<double> ParseDayCount(const QString& text, const QLocale& locale);

} // namespace kurvana
