#pragma once

#include <optional>
#include <vector>

#include <QString>

namespace kurvana {

/// What a tick label says when it is a date: a year, a month with or without its year, a day.
struct DateLabel {
    std::optional<int> year;
    int month = 0; ///< 1..12, 0 when the label names only a year
    int day = 0;   ///< 1..31, 0 when it names no day
};

/// Reads a tick label as a date: `2021`, `2021-06`, `2021/06`, `Jun 2021`, `June 2021`, `Jun`,
/// `2021-06-15`, `15 Jun 2021` (English month names, any case; a year is 1000..2999). Nothing for
/// any other text.
std::optional<DateLabel> ReadDateLabel(const QString& text);

/// The day counts (core/datetime.h) of an axis's labels in the order along the axis, when every
/// label is a date and the dates grow or fall throughout: month names without a year take the
/// year of the labels before them (the first labelled year, counted back for those before it)
/// and pass into the next year where the months start again. Plain years count only when there
/// are several, all in the same direction. Nothing otherwise.
std::optional<std::vector<double>> DayCountsOfLabels(const std::vector<QString>& labels);

} // namespace kurvana
