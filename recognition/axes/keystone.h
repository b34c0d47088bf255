#pragma once

#include <array>
#include <vector>

#include <QPoint>
#include <QPointF>

namespace kurvana {

struct AxisLine;
struct AxisProposal;
struct Workspace;

/// A calibration from four reference points for a chart seen at an angle: the four corners of
/// the labelled range, their values as typed into the Input window (exponents on logarithmic
/// axes), in the order zero corner, X max corner, far corner, Y max corner.
struct PerspectiveProposal {
    std::array<QPoint, 4> points;
    std::array<QPointF, 4> values;
};

/// Looks at the two axes read: when the chart is seen at an angle (the spacing of the labelled
/// ticks changes along an axis, as it does only under perspective, or the axes are not
/// perpendicular), fits each axis's labels with the rule of a line seen in perspective, marks
/// the axes found, and proposes the four corners of the labelled range. The other long lines
/// found (`level`, `upright`: the opposite frame sides, grid lines) place the vanishing points
/// where they agree with the labels. A chart seen square on (tilted or not) keeps its proposal
/// as it was.
void ProposePerspectiveFrame(AxisProposal& proposal, const std::vector<AxisLine>& level,
                             const std::vector<AxisLine>& upright);

/// Puts a four-point proposal into the document as the perspective frame (points, values, scale
/// kinds), with its nearest three-point calibration. The caller recomputes the values.
void ApplyPerspectiveProposal(Workspace& ws, const AxisProposal& proposal);

} // namespace kurvana
