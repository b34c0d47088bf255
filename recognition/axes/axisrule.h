#pragma once

#include <optional>
#include <vector>

#include <QString>

namespace kurvana {

/// The number a label shows: "-5", "0.5", "1,5" (decimal comma), "1,000" and "10 000"
/// (thousands), "1e-3", and "10^3" (an exponent printed raised, read apart and joined with ^).
/// Nothing when the text is not one number.
std::optional<double> ParseLabelNumber(const QString& text);

/// A read label at its tick.
struct LabelledTick {
    double along = 0; ///< the tick's position along the axis, pixels
    double value = 0; ///< the number the label shows
};

/// How the values of an axis's labels follow their positions.
struct AxisRule {
    bool logarithmic = false; ///< log10(value) is linear in the position
    double offset = 0;        ///< position = offset + scale * f(value)
    double scale = 0;
    std::vector<int> fitting;  ///< indices of the labels that follow the rule
    std::vector<int> outliers; ///< indices of the labels that do not (misread or misplaced)
};

/// The one linear or decimal-logarithmic rule that most labels follow, each within 1.5 pixels
/// (or 0.2 % of the labelled length) of its tick; linear wins a tie. Nothing when fewer than two
/// labels agree. The rule is only checked when at least three labels follow it.
std::optional<AxisRule> FitAxisRule(const std::vector<LabelledTick>& labels);

/// Whether the unlabelled ticks between two labelled powers of ten show the minor ticks of a
/// decimal-logarithmic axis: a tick at 2, 3, .. 9 times each decade, where a linear axis would
/// space them evenly. On an axis that labels only its decades this tells the scale by itself,
/// so that two labels suffice.
bool LogMinorTicksBetween(const LabelledTick& first, const LabelledTick& last,
                          const std::vector<double>& tickAlongs);

/// The number typed into the Input window for a label value: the value itself on a linear
/// axis, its decimal exponent on a logarithmic one (exact for powers of ten).
double InputValue(double value, bool logarithmic);

} // namespace kurvana
