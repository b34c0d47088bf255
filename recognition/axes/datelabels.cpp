#include "recognition/axes/datelabels.h"

#include <QRegularExpression>

#include "core/datetime.h"

namespace kurvana {

namespace {

/// 1..12 for an English month name or its first three letters, 0 otherwise.
int MonthOfName(const QString& word) {
    static const char* const kNames[] = {"january",   "february", "march",    "april",
                                         "may",       "june",     "july",     "august",
                                         "september", "october",  "november", "december"};
    const QString lower = word.toLower();
    for (int m = 0; m < 12; ++m) {
        const QString name = QString::fromLatin1(kNames[m]);
        if (lower == name || (lower.size() >= 3 && name.startsWith(lower)))
            return m + 1;
    }
    return 0;
}

bool Valid(const DateLabel& d) {
    if (d.month < 0 || d.month > 12 || (d.year && (*d.year < 1000 || *d.year > 2999)))
        return false;
    return d.day == 0 || DayCountOf(d.year.value_or(2000), d.month, d.day).has_value();
}

} // namespace

std::optional<DateLabel> ReadDateLabel(const QString& text) {
    const QString t = text.simplified();
    static const QRegularExpression numeric(R"(^(\d{4})(?:[-/.](\d{1,2})(?:[-/.](\d{1,2}))?)?$)");
    static const QRegularExpression named(
        R"(^(?:(\d{1,2})\s+)?([A-Za-z]{3,9})\.?(?:\s+(\d{4}))?$)");
    DateLabel d;
    if (const auto m = numeric.match(t); m.hasMatch()) {
        d.year = m.captured(1).toInt();
        d.month = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        d.day = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        if (d.month == 0 && !m.captured(3).isEmpty())
            return std::nullopt;
    } else if (const auto n = named.match(t); n.hasMatch()) {
        d.month = MonthOfName(n.captured(2));
        if (d.month == 0)
            return std::nullopt;
        d.day = n.captured(1).isEmpty() ? 0 : n.captured(1).toInt();
        if (!n.captured(3).isEmpty())
            d.year = n.captured(3).toInt();
        if (d.day != 0 && !d.year)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if ((d.month == 0 && d.day != 0) || !Valid(d))
        return std::nullopt;
    return d;
}

std::optional<std::vector<double>> DayCountsOfLabels(const std::vector<QString>& labels) {
    std::vector<DateLabel> dates;
    bool onlyYears = true;
    for (const QString& label : labels) {
        const std::optional<DateLabel> d = ReadDateLabel(label);
        if (!d)
            return std::nullopt;
        onlyYears = onlyYears && d->month == 0;
        dates.push_back(*d);
    }
    if (dates.size() < 2)
        return std::nullopt;
    // Month names without a year: forwards from the first labelled year, and backwards for the
    // ones before it; a month that does not follow on from the one before starts a new year.
    const auto firstYear = std::find_if(dates.begin(), dates.end(),
                                        [](const DateLabel& d) { return d.year.has_value(); });
    if (firstYear == dates.end())
        return std::nullopt;
    for (auto it = firstYear + 1; it != dates.end(); ++it)
        if (!it->year)
            it->year = *(it - 1)->year + (it->month <= (it - 1)->month ? 1 : 0);
    for (auto it = std::make_reverse_iterator(firstYear); it != dates.rend(); ++it)
        it->year = *(it - 1)->year - (it->month >= (it - 1)->month ? 1 : 0);
    std::vector<double> counts;
    for (const DateLabel& d : dates) {
        const std::optional<std::int64_t> day =
            DayCountOf(*d.year, std::max(1, d.month), std::max(1, d.day));
        if (!day)
            return std::nullopt;
        counts.push_back(double(*day));
    }
    const bool rising = counts.back() > counts.front();
    for (std::size_t i = 1; i < counts.size(); ++i)
        if ((counts[i] > counts[i - 1]) != rising || counts[i] == counts[i - 1])
            return std::nullopt;
    if (onlyYears && counts.size() < 3)
        return std::nullopt;
    return counts;
}

} // namespace kurvana
