#include "recognition/axes/findaxes.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "core/document.h"

#include "recognition/axes/axisgray.h"
#include "recognition/axes/axislabels.h"
#include "recognition/axes/datelabels.h"
#include "recognition/ocr/labelreader.h"

namespace kurvana {

namespace {

/// The user's Cancel, looked at between the steps of the search (each a fraction of a second
/// on the largest scans): a cancelled search unwinds to FindAxes.
struct Cancellation {
    const std::atomic_bool* flag = nullptr;
    struct Cancelled {};
    void check() const {
        if (flag != nullptr && flag->load())
            throw Cancelled{};
    }
};

/// A label blob beside the tick it names.
struct Match {
    const LabelStrip::Blob* blob;
    double along;
};

std::vector<double> alongsOf(const std::vector<AxisTick>& ticks) {
    std::vector<double> alongs;
    for (const AxisTick& tick : ticks)
        alongs.push_back(tick.along);
    return alongs;
}

/// Pairs label blobs with the nearest of the places (ticks), `slack` pixels further off than a
/// label centred on its tick would be. Only the row of labels nearest the axis counts: an axis
/// title further out, or text of the other axis, does not name ticks.
std::vector<Match> matchLabels(const LabelStrip& strip, const std::vector<double>& places,
                               double slack = 0) {
    std::vector<Match> matches;
    for (const LabelStrip::Blob& blob : strip.blobs()) {
        const auto nearest = std::min_element(places.begin(), places.end(), [&](auto a, auto b) {
            return std::abs(a - blob.along) < std::abs(b - blob.along);
        });
        if (places.empty()) // a bare line: the labels are all there is
            matches.push_back({&blob, blob.along});
        else if (std::abs(*nearest - blob.along) <= std::max(2.0, 0.6 * blob.reach + 1) + slack)
            matches.push_back({&blob, *nearest});
    }
    if (matches.empty())
        return matches;
    std::vector<int> distances, heights;
    for (const Match& m : matches) {
        distances.push_back(m.blob->distance);
        heights.push_back(m.blob->box.height());
    }
    std::nth_element(distances.begin(), distances.begin() + std::ptrdiff_t(distances.size() / 2),
                     distances.end());
    std::nth_element(heights.begin(), heights.begin() + std::ptrdiff_t(heights.size() / 2),
                     heights.end());
    const int row = distances[distances.size() / 2];
    const int band = std::max(3, heights[heights.size() / 2]);
    std::erase_if(matches, [&](const Match& m) { return std::abs(m.blob->distance - row) > band; });
    // One label per tick: the one nearest the axis.
    std::sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return a.along != b.along ? a.along < b.along : a.blob->distance < b.blob->distance;
    });
    matches.erase(std::unique(matches.begin(), matches.end(),
                              [](const Match& a, const Match& b) { return a.along == b.along; }),
                  matches.end());
    return matches;
}

QString readBlob(const LabelStrip& strip, const LabelStrip::Blob& blob, LabelReader& reader) {
    QString text = reader.read(strip.render(blob, false));
    if (text.isEmpty())
        return text;
    if (blob.minus)
        text.prepend('-');
    if (!blob.exponent.empty()) {
        const QString exponent = reader.read(strip.render(blob, true));
        if (!exponent.isEmpty())
            text += '^' + QString(blob.exponentMinus ? "-" : "") + exponent;
    }
    return text;
}

/// How wide the body of a label text prints, in digits: a "1" and the separators are narrow.
double printedDigits(const QString& text, bool minus) {
    QString body = text.section('^', 0, 0);
    if (minus && body.startsWith('-'))
        body.remove(0, 1);
    double digits = 0;
    for (const QChar c : body)
        digits += c == '1' ? 0.6 : (c == '.' || c == ',') ? 0.4 : 1.0;
    return digits;
}

/// Drops the values of labels whose text is too short or too long for their ink: all labels
/// of an axis print in one font, so a reader that lost a digit ("40" read as "4") shows up as
/// a label twice as wide per digit as the others. Such a misreading can be consistent over an
/// axis (every "0" at the end lost), where no rule check would catch it.
void dropMisreadLengths(std::vector<AxisLabel>& labels, const std::vector<Match>& matches) {
    std::vector<double> widths(labels.size(), 0);
    std::vector<double> known;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double digits = printedDigits(labels[i].text, matches[i].blob->minus);
        if (labels[i].value && digits > 0 && matches[i].blob->bodyWidth > 0) {
            widths[i] = matches[i].blob->bodyWidth / digits;
            known.push_back(widths[i]);
        }
    }
    if (known.size() < 3)
        return;
    std::nth_element(known.begin(), known.begin() + std::ptrdiff_t(known.size() / 2), known.end());
    const double typical = known[known.size() / 2];
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (widths[i] > 1.6 * typical || (widths[i] > 0 && widths[i] < 0.55 * typical))
            labels[i].value.reset();
}

/// Whether the two labels read are decades with the minor ticks of a logarithmic axis between.
bool logDecadesByMinorTicks(const AxisReading& axis, const std::vector<LabelledTick>& two) {
    const bool rising = two[0].value < two[1].value;
    return LogMinorTicksBetween(rising ? two[0] : two[1], rising ? two[1] : two[0],
                                alongsOf(axis.ticks));
}

/// Whether the texts name months or days: plain years are numbers as much as dates.
bool namesMonths(const std::vector<QString>& texts) {
    return std::any_of(texts.begin(), texts.end(), [](const QString& text) {
        const std::optional<DateLabel> d = ReadDateLabel(text);
        return d && d->month != 0;
    });
}

/// Gives the labels their day counts when they are dates, and says so. Labels that read as no
/// date are left without a value (the rule check passes over them as over a misread number);
/// most labels must be dates, and at least one must name a month or a day.
bool datesOf(AxisReading& axis, const std::vector<QString>& texts) {
    std::vector<QString> dateTexts;
    std::vector<std::size_t> dated;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (ReadDateLabel(texts[i])) {
            dateTexts.push_back(texts[i]);
            dated.push_back(i);
        }
    if (dated.size() < 2 || dated.size() * 2 <= texts.size() || !namesMonths(dateTexts))
        return false;
    const std::optional<std::vector<double>> counts = DayCountsOfLabels(dateTexts);
    if (!counts)
        return false;
    for (AxisLabel& label : axis.labels)
        label.value.reset();
    for (std::size_t k = 0; k < dated.size(); ++k) {
        AxisLabel& label = axis.labels[dated[k]];
        label.text = texts[dated[k]];
        label.value = (*counts)[k];
    }
    axis.date = true;
    return true;
}

/// Date labels: the number read already shows `2021-06` or `2021-06-15`; month names need
/// the reader's words, asked for only where the numbers read make no axis, since a word read
/// is slower and a number axis is the common case.
void readAsDates(AxisReading& axis, const LabelStrip& strip, const std::vector<Match>& matches,
                 LabelReader& reader, const Cancellation& cancel) {
    std::vector<QString> texts;
    std::vector<LabelledTick> numbers;
    for (const AxisLabel& label : axis.labels) {
        texts.push_back(label.text);
        if (label.value)
            numbers.push_back({label.along, *label.value});
    }
    if (datesOf(axis, texts))
        return;
    // "Jan 2021" read as a number is its year: numbers that all could be years may be dates
    // whose month the number read passed over, and the words tell.
    const bool yearsOnly = std::all_of(numbers.begin(), numbers.end(), [](const LabelledTick& t) {
        return t.value == std::round(t.value) && t.value >= 1000 && t.value <= 2999;
    });
    const std::optional<AxisRule> rule = FitAxisRule(numbers);
    const std::size_t fitting = rule ? rule->fitting.size() : 0;
    const bool numberAxis = fitting * 2 > texts.size() && (fitting >= 3 || fitting == texts.size());
    if (numberAxis && !yearsOnly)
        return;
    texts.clear();
    for (const Match& m : matches) {
        cancel.check();
        texts.push_back(reader.readWords(strip.renderWords(*m.blob)));
    }
    if (!datesOf(axis, texts))
        for (std::size_t i = 0; i < texts.size(); ++i)
            axis.labels[i].words = texts[i];
}

/// Reads the labels of one axis line and checks them against one rule.
void readLabels(AxisReading& axis, const LabelStrip& strip, const std::vector<Match>& matches,
                LabelReader& reader, const Cancellation& cancel) {
    for (const Match& m : matches) {
        cancel.check();
        AxisLabel label;
        label.text = readBlob(strip, *m.blob, reader);
        label.value = ParseLabelNumber(label.text);
        label.along = m.along;
        label.outline = strip.outline(*m.blob);
        axis.labels.push_back(label);
    }
    dropMisreadLengths(axis.labels, matches);
    readAsDates(axis, strip, matches, reader, cancel);
    std::vector<LabelledTick> parsed;
    std::vector<std::size_t> parsedLabel;
    for (std::size_t i = 0; i < axis.labels.size(); ++i)
        if (axis.labels[i].value) {
            parsed.push_back({axis.labels[i].along, *axis.labels[i].value});
            parsedLabel.push_back(i);
        }
    auto rule = FitAxisRule(parsed);
    if (rule && axis.date && rule->logarithmic)
        rule.reset(); // dates run evenly
    if (parsed.size() < 2 || !rule) {
        axis.status = AxisStatus::NoLabels;
        return;
    }
    const std::size_t fitting = rule->fitting.size();
    if (fitting == 2 && parsed.size() == 2 && logDecadesByMinorTicks(axis, parsed)) {
        rule->logarithmic = true;
        axis.status = AxisStatus::Found;
    } else if (fitting == 2 && parsed.size() == 2)
        axis.status = AxisStatus::Unchecked;
    else if (fitting >= 3 && fitting * 2 > parsed.size())
        axis.status = AxisStatus::Found;
    else {
        axis.status = AxisStatus::LabelsDisagree;
        return;
    }
    axis.logarithmic = rule->logarithmic;
    const LabelledTick* first = nullptr;
    const LabelledTick* last = nullptr;
    for (int i : rule->fitting) {
        const LabelledTick& t = parsed[std::size_t(i)];
        axis.labels[parsedLabel[std::size_t(i)]].used = true;
        if (!first || t.along < first->along)
            first = &t;
        if (!last || t.along > last->along)
            last = &t;
    }
    axis.firstAlong = first->along;
    axis.lastAlong = last->along;
    axis.firstValue = InputValue(first->value, rule->logarithmic);
    axis.lastValue = InputValue(last->value, rule->logarithmic);
}

/// Where an upright line crosses a level one, as along positions on each.
std::pair<double, double> crossing(const AxisLine& level, const AxisLine& upright) {
    const double x =
        (upright.offset + upright.slope * level.offset) / (1 - upright.slope * level.slope);
    return {x, level.acrossAt(x)};
}

/// The ticks of `line` with the lines crossing it counted as ticks: where the other axis (or
/// the frame) meets it, the tick search sees the crossing stroke merged with whatever curve
/// starts in the corner, while the crossing itself is the exact position of that tick.
std::vector<AxisTick> ticksWithCrossings(const GrayPicture& gray, const AxisLine& line,
                                         const std::vector<AxisLine>& others) {
    std::vector<AxisTick> ticks = FindTicks(gray, line);
    for (const AxisLine& other : others) {
        const auto [levelAlong, uprightAlong] =
            line.upright ? crossing(other, line) : crossing(line, other);
        const double at = line.upright ? uprightAlong : levelAlong;
        const double atOther = line.upright ? levelAlong : uprightAlong;
        const bool meets = at >= line.start - 3 && at <= line.end + 3 &&
                           atOther >= other.start - 3 && atOther <= other.end + 3;
        if (!meets)
            continue;
        std::erase_if(ticks, [&](const AxisTick& t) {
            return std::abs(t.along - at) <= other.thickness + 3;
        });
        ticks.push_back(AxisTick{at, 0, 0});
    }
    std::sort(ticks.begin(), ticks.end(),
              [](const AxisTick& a, const AxisTick& b) { return a.along < b.along; });
    return ticks;
}

/// The feet of bars with the centres of their groups: grouped bars stand closer within a group
/// than between groups, and a group's label names the middle between its bars.
std::vector<double> withGroupCentres(std::vector<double> feet) {
    double widest = 0;
    for (std::size_t i = 1; i < feet.size(); ++i)
        widest = std::max(widest, feet[i] - feet[i - 1]);
    const std::size_t count = feet.size();
    for (std::size_t i = 1; i < count; ++i)
        if (feet[i] - feet[i - 1] < 0.75 * widest)
            feet.push_back((feet[i] + feet[i - 1]) / 2);
    std::sort(feet.begin(), feet.end());
    return feet;
}

/// The axis among the candidate lines: the first (lowest, leftmost) with at least two labelled
/// ticks; the first line at all when none has.
AxisReading readAxis(const GrayPicture& gray, const std::vector<AxisLine>& lines,
                     const std::vector<AxisLine>& others, LabelReader& reader,
                     const Cancellation& cancel) {
    AxisReading axis;
    for (const AxisLine& line : lines) {
        cancel.check();
        std::vector<AxisTick> ticks = ticksWithCrossings(gray, line, others);
        const LabelStrip strip(gray, line);
        std::vector<Match> matches = matchLabels(strip, alongsOf(ticks));
        // Bars standing on the axis hide the inward ticks of their categories (all of them, or
        // those a bar's edge happens to cover): the labels then name the centres of the bars'
        // feet. The labels' own centres are no substitute: the ink of a digit sits a few
        // pixels off the centre its font gives it.
        if (const std::vector<double> feet = FindBarFeet(gray, line); !feet.empty()) {
            std::vector<Match> byFeet = matchLabels(strip, withGroupCentres(feet), 3);
            if (byFeet.size() > matches.size())
                matches = std::move(byFeet);
        }
        if (matches.size() < 2) {
            if (!axis.line) {
                axis.line = line;
                axis.ticks = std::move(ticks);
                axis.status = AxisStatus::NoLabels;
            }
            continue;
        }
        axis = AxisReading{};
        axis.line = line;
        axis.ticks = std::move(ticks);
        readLabels(axis, strip, matches, reader, cancel);
        break;
    }
    if (axis.line && !axis.firstValue) {
        // Without a rule the reference points go on the outermost ticks (or the line's ends),
        // where the user can read the values off the chart.
        const bool ticked = axis.ticks.size() >= 2;
        axis.firstAlong = ticked ? axis.ticks.front().along : axis.line->start;
        axis.lastAlong = ticked ? axis.ticks.back().along : axis.line->end;
    }
    return axis;
}

/// Where the line through p along d meets the line through q along e.
QPointF meet(QPointF p, QPointF d, QPointF q, QPointF e) {
    const double det = d.x() * e.y() - d.y() * e.x();
    if (std::abs(det) < 1e-12)
        return p;
    const double t = ((q.x() - p.x()) * e.y() - (q.y() - p.y()) * e.x()) / det;
    return p + t * d;
}

QPoint clickPixel(QPointF p) {
    return QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
}

QPointF direction(const AxisLine& line) {
    return line.pointAt(1) - line.pointAt(0);
}

/// The zero point where the line of the first X reference tick (parallel to the Y axis) meets
/// the line of the first Y reference tick (parallel to the X axis); the X max point on the
/// X axis direction through it at the last X tick; the Y max point on the perpendicular
/// through it at the last Y tick, as the calibration keeps it.
void placeReferencePoints(AxisProposal& p) {
    const AxisLine& xl = *p.x.line;
    const AxisLine& yl = *p.y.line;
    const QPointF dx = direction(xl), dy = direction(yl);
    // The first Y tick is the lowest one: the largest picture y.
    const double yFirst = std::max(p.y.firstAlong, p.y.lastAlong);
    const double yLast = std::min(p.y.firstAlong, p.y.lastAlong);
    const QPointF zero = meet(xl.pointAt(p.x.firstAlong), dy, yl.pointAt(yFirst), dx);
    const QPointF xMax = meet(zero, dx, xl.pointAt(p.x.lastAlong), dy);
    const QPointF up(dx.y(), -dx.x()); // perpendicular to the X axis
    const QPointF yMax = meet(zero, up, yl.pointAt(yLast), dx);
    p.zero = clickPixel(zero);
    p.xMax = clickPixel(xMax);
    p.yMax = clickPixel(yMax);
    p.yMaxExact = yMax;
}

AxisProposal findAxes(const QImage& picture, LabelReader& reader, const Cancellation& cancel) {
    AxisProposal proposal;
    proposal.labelDataMissing = reader.dataMissing();
    const GrayPicture gray = ToGrayPicture(picture);
    cancel.check();
    const auto [level, upright] = FindAxisLines(gray);
    proposal.x = readAxis(gray, level, upright, reader, cancel);
    proposal.y = readAxis(gray, upright, level, reader, cancel);
    // Y labels count from the bottom: the first labelled Y tick has the largest picture y.
    if (proposal.y.firstValue && proposal.y.firstAlong < proposal.y.lastAlong) {
        std::swap(proposal.y.firstAlong, proposal.y.lastAlong);
        std::swap(proposal.y.firstValue, proposal.y.lastValue);
    }
    ProposePerspectiveFrame(proposal, level, upright);
    if (proposal.x.line && proposal.y.line)
        placeReferencePoints(proposal);
    return proposal;
}

} // namespace

void PlaceReferencePoints(AxisProposal& proposal) {
    if (proposal.x.line && proposal.y.line)
        placeReferencePoints(proposal);
}

ScaleKind ProposedScaleKind(const AxisReading& axis) {
    if (axis.date)
        return ScaleKind::Date;
    return axis.logarithmic ? ScaleKind::Log10 : ScaleKind::Linear;
}

AxisProposal FindAxes(const QImage& picture, LabelReader& reader, const std::atomic_bool* cancel) {
    if (picture.isNull())
        return {};
    try {
        return findAxes(picture, reader, Cancellation{cancel});
    } catch (const Cancellation::Cancelled&) {
        return {};
    }
}

} // namespace kurvana
