#include "core/datetime.h"

#include <cmath>

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace kurvana {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
/// 1899-12-30, the day count's origin, lies this many days before 1970-01-01.
constexpr std::int64_t kUnixEpochDayCount = 25569;

/// Floor division, also for negative counts (dates before the origin).
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

/// Days since 1970-01-01 of a civil date, on 400-year eras of 146097 days each, so that the
/// leap-year rule is exact without a table.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool LeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

/// A date in the locale's short form, whose year may be typed with four digits or, as the form
/// shows it, with two: those mean 1950..2049, as spreadsheets take them.
QDate LocaleDate(const QString& text, const QLocale& locale) {
    const QString form = locale.dateFormat(QLocale::ShortFormat);
    if (form.contains("yyyy"))
        return locale.toDate(text, form);
    QString longYears = form;
    longYears.replace("yy", "yyyy");
    if (const QDate date = locale.toDate(text, longYears); date.isValid())
        return date;
    const QDate date = locale.toDate(text, form);
    return date.isValid() && date.year() < 1950 ? date.addYears(100) : date;
}

} // namespace

std::optional<std::int64_t> DayCountOf(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return DaysFromCivil(year, month, day) + kUnixEpochDayCount;
}

CivilTime CivilTimeOf(double dayCount) {
    const auto seconds = static_cast<std::int64_t>(std::llround(dayCount * kSecondsPerDay));
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay) - kUnixEpochDayCount;
    const std::int64_t secondOfDay = seconds - FloorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
    // The inverse of DaysFromCivil, era by era.
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = FloorDiv(shifted, 146097);
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    CivilTime t;
    t.day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    t.month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    t.year = yearOfEra + era * 400 + (t.month <= 2);
    t.hour = int(secondOfDay / 3600);
    t.minute = int(secondOfDay / 60 % 60);
    t.second = int(secondOfDay % 60);
    return t;
}

DatePrecision PrecisionForSpan(double spanDays) {
    const double step = std::fabs(spanDays) / 500;
    if (step >= 1)
        return DatePrecision::Days;
    return step >= 1.0 / (24 * 60) ? DatePrecision::Minutes : DatePrecision::Seconds;
}

QString FormatDayCount(double dayCount, DatePrecision precision) {
    if (!std::isfinite(dayCount))
        return {};
    // Rounded to the unit shown, so that 23:59:40 shown in minutes is the next day's 00:00.
    const double unit = precision == DatePrecision::Days      ? 1.0
                        : precision == DatePrecision::Minutes ? 1.0 / (24 * 60)
                                                              : 1.0 / kSecondsPerDay;
    const CivilTime t = CivilTimeOf(std::nearbyint(dayCount / unit) * unit);
    QString text = QString("%1-%2-%3")
                       .arg(t.year, 4, 10, QChar('0'))
                       .arg(t.month, 2, 10, QChar('0'))
                       .arg(t.day, 2, 10, QChar('0'));
    if (precision != DatePrecision::Days)
        text += QString("T%1:%2").arg(t.hour, 2, 10, QChar('0')).arg(t.minute, 2, 10, QChar('0'));
    if (precision == DatePrecision::Seconds)
        text += QString(":%1").arg(t.second, 2, 10, QChar('0'));
    return text;
}

std::optional<double> ParseDayCount(const QString& text, const QLocale& locale) {
    static const QRegularExpression iso(
        R"(^\s*(-?\d{1,6})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)");
    if (const QRegularExpressionMatch m = iso.match(text); m.hasMatch()) {
        const std::optional<std::int64_t> day =
            DayCountOf(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const int hour = m.captured(4).toInt(), minute = m.captured(5).toInt();
        const int second = m.captured(6).toInt();
        if (!day || hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
        return double(*day) + double(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    }
    const QDate date = LocaleDate(text.trimmed(), locale);
    if (!date.isValid())
        return std::nullopt;
    const std::optional<std::int64_t> day = DayCountOf(date.year(), date.month(), date.day());
    return day ? std::optional<double>(double(*day)) : std::nullopt;
}

} // namespace kurvana
