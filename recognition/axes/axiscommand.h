#pragma once

class QString;

namespace kurvana {

struct Workspace;
struct AxisProposal;

/// Puts a proposed calibration in place exactly as the user would: the scale kinds chosen in
/// Setup, the axis values typed into the Input window, then the zero point, the X max point and
/// the Y max point clicked, each click ending in RefreshValues. Only what was found is applied:
/// an unknown value keeps its text, an axis without a rule keeps its scale kind, and without
/// both axis lines no point moves. One function, so that it can become one undoable step.
void ApplyCalibrationProposal(Workspace& ws, const AxisProposal& proposal);

/// The text that lists a proposal for the user: the points with their values, the scale
/// kinds, and what was not found.
QString ProposalSummary(const Workspace& ws, const AxisProposal& proposal);

/// The review of the "Find axes" command: nothing found is reported and changes nothing;
/// otherwise the proposal is marked on the picture (reference points, ticks, label outlines)
/// and listed in a question; Yes applies it, No leaves everything as it was. The marks are
/// taken off again either way.
void ReviewAxisProposal(Workspace& ws, const AxisProposal& proposal);

} // namespace kurvana
