#pragma once

class QString;

namespace kurvana {

struct Workspace;
struct ChartReading;
struct ChartApplyOptions;

/// The text that lists a whole-chart proposal for the user: the calibration as Find axes lists
/// it (or that the calibration was kept), one line per series (line, kind, colour, points,
/// name), and what could not be done.
QString ChartReadingSummary(const Workspace& ws, const ChartReading& reading);

/// The review of "Digitise whole chart": nothing found is reported and changes nothing;
/// otherwise the calibration and each series' points are marked on the picture in their
/// line's colour and listed in a question; Yes applies it all as one undoable step, No leaves
/// everything as it was. The marks are taken off again either way. Returns whether it was
/// applied.
bool ReviewChartReading(Workspace& ws, const ChartReading& reading,
                        const ChartApplyOptions& options);

} // namespace kurvana
