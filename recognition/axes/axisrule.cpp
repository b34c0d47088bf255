#include "recognition/axes/axisrule.h"

#include <algorithm>
#include <cmath>

#include <QLocale>
#include <QRegularExpression>

namespace kurvana {

namespace {

/// A plain decimal number in C notation after the separators were sorted out.
std::optional<double> parsePlain(const QString& text) {
    static const QRegularExpression number("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?$");
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

/// Commas as thousands separators when every comma is followed by exactly three digits and
/// the text holds no point ("1,000", "12,500,000"); otherwise one comma is a decimal comma.
QString sortSeparators(QString text) {
    static const QRegularExpression thousands("^[-+]?\\d{1,3}(,\\d{3})+$");
    if (thousands.match(text).hasMatch())
        return text.remove(',');
    if (text.count(',') == 1 && !text.contains('.'))
        text.replace(',', '.');
    return text;
}

double positionOf(const AxisRule& rule, double value) {
    return rule.offset + rule.scale * (rule.logarithmic ? std::log10(value) : value);
}

/// The rule through two labels, when both can be on it.
std::optional<AxisRule> ruleThrough(const LabelledTick& a, const LabelledTick& b, bool log) {
    if (log && (a.value <= 0 || b.value <= 0))
        return std::nullopt;
    const double fa = log ? std::log10(a.value) : a.value;
    const double fb = log ? std::log10(b.value) : b.value;
    if (fa == fb || std::abs(a.along - b.along) < 2)
        return std::nullopt;
    AxisRule rule;
    rule.logarithmic = log;
    rule.scale = (b.along - a.along) / (fb - fa);
    rule.offset = a.along - rule.scale * fa;
    return rule;
}

/// The least-squares rule through the fitting labels (positions as a function of values).
void refit(AxisRule& rule, const std::vector<LabelledTick>& labels) {
    double s1 = 0, sf = 0, sp = 0, sff = 0, sfp = 0;
    for (int i : rule.fitting) {
        const double f = rule.logarithmic ? std::log10(labels[std::size_t(i)].value)
                                          : labels[std::size_t(i)].value;
        const double p = labels[std::size_t(i)].along;
        s1 += 1, sf += f, sp += p, sff += f * f, sfp += f * p;
    }
    const double det = s1 * sff - sf * sf;
    if (s1 < 2 || det == 0)
        return;
    rule.scale = (s1 * sfp - sf * sp) / det;
    rule.offset = (sp - rule.scale * sf) / s1;
}

} // namespace

std::optional<double> ParseLabelNumber(const QString& raw) {
    QString text = raw;
    text.remove(' ');
    text.replace(QChar(0x2212), '-'); // the typographic minus
    text.replace(QChar(0x2013), '-');
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype power = text.indexOf('^');
    if (power >= 0) {
        const auto base = parsePlain(sortSeparators(text.left(power)));
        const auto exponent = parsePlain(text.mid(power + 1));
        if (!base || !exponent)
            return std::nullopt;
        const double value = std::pow(*base, *exponent);
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    return parsePlain(sortSeparators(text));
}

std::optional<AxisRule> FitAxisRule(const std::vector<LabelledTick>& labels) {
    if (labels.size() < 2)
        return std::nullopt;
    double low = labels.front().along, high = low;
    for (const LabelledTick& l : labels)
        low = std::min(low, l.along), high = std::max(high, l.along);
    const double tolerance = std::max(1.5, 0.002 * (high - low));
    std::optional<AxisRule> best;
    double bestError = 0;
    for (bool log : {false, true})
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j) {
                auto rule = ruleThrough(labels[i], labels[j], log);
                if (!rule)
                    continue;
                double error = 0;
                for (std::size_t k = 0; k < labels.size(); ++k) {
                    const LabelledTick& l = labels[k];
                    const double miss = log && l.value <= 0
                                            ? tolerance * 2
                                            : std::abs(positionOf(*rule, l.value) - l.along);
                    if (miss <= tolerance) {
                        rule->fitting.push_back(int(k));
                        error += miss;
                    } else {
                        rule->outliers.push_back(int(k));
                    }
                }
                // More agreeing labels win; linear is tried first and kept on a tie, and
                // among equals the smaller total miss.
                const bool better = !best || rule->fitting.size() > best->fitting.size() ||
                                    (rule->fitting.size() == best->fitting.size() &&
                                     rule->logarithmic == best->logarithmic && error < bestError);
                if (better) {
                    best = rule;
                    bestError = error;
                }
            }
    if (best)
        refit(*best, labels);
    return best;
}

bool LogMinorTicksBetween(const LabelledTick& first, const LabelledTick& last,
                          const std::vector<double>& tickAlongs) {
    if (first.value <= 0 || last.value <= first.value)
        return false;
    const double from = std::log10(first.value), to = std::log10(last.value);
    const double decades = std::nearbyint(to - from);
    if (std::abs(from - std::nearbyint(from)) > 1e-9 || std::abs(to - from - decades) > 1e-9 ||
        decades < 1 || decades > 6)
        return false;
    const double perDecade = (last.along - first.along) / decades;
    // The minor ticks are printed at the same precision as the labelled ones, whatever their
    // length; on a short axis they stand a few pixels apart (the last two of a decade 5 % of it).
    const double tolerance = std::max(1.0, 0.006 * std::abs(last.along - first.along));
    if (std::abs(perDecade) * (1 - std::log10(9.0)) < 2 * tolerance)
        return false;
    int present = 0, expected = 0;
    for (int decade = 0; decade < int(decades); ++decade)
        for (int m = 2; m <= 9; ++m) {
            ++expected;
            const double along = first.along + perDecade * (decade + std::log10(double(m)));
            present += std::any_of(tickAlongs.begin(), tickAlongs.end(),
                                   [&](double t) { return std::abs(t - along) <= tolerance; });
        }
    return present * 10 >= expected * 9;
}

double InputValue(double value, bool logarithmic) {
    if (!logarithmic)
        return value;
    const double exponent = std::log10(value);
    const double whole = std::nearbyint(exponent);
    return std::abs(exponent - whole) < 1e-9 ? whole : exponent;
}

} // namespace kurvana
