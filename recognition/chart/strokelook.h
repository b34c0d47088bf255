#pragma once

#include <vector>

namespace kurvana::chart {

/// How a stroke is drawn, from which of its columns hold ink: the share of them that do (1
/// solid, less dashed, least dotted) and the mean length of the inked runs between its gaps
/// (a dash's or a dot's), in columns. Tells curves of one colour and their legend samples
/// apart.
struct StrokeLook {
    double inkAlong = 1;
    double dashLength = 0;
};

/// The look of a stroke whose columns, in order, hold ink where `inked` says.
StrokeLook LookOf(const std::vector<bool>& inked);

/// How far apart two looks are: below 1 for one look drawn twice (a curve and its legend
/// sample), above it between solid, dashed and dotted.
double LookDistance(const StrokeLook& a, const StrokeLook& b);

} // namespace kurvana::chart
