#pragma once

#include <functional>

#include <QStringList>

class QIODevice;

namespace kurvana {

struct Document;
class LabelReader;

/// The exit statuses of `kurvana2 --digitise`.
enum DigitiseExit : int {
    DigitiseComplete = 0, ///< every chart gave a calibration and at least one series
    DigitisePartial = 1,  ///< some chart gave less (or nothing, or its output failed)
    DigitiseNothing = 2,  ///< no chart gave anything, or a usage error
};

/// `kurvana2 --digitise [--format csv|tsv|json] [-o OUT] [--calibration CAL] [--step DX]
/// [--page N] [--dpi D] [--pages all] PICTURE|PDF...`, given the arguments after "--digitise".
/// Each picture, or PDF page, goes into a fresh document readied by `prepare` as the window
/// opens it; the calibration comes from CAL (LoadCalibration) or is found; the whole chart is
/// read with `reader` for the labels and legend and its series put into the lines; the result
/// is written in the forms of --export. One chart goes to `out` (or OUT); several each get
/// NAME.ext beside their input (NAME-pN.ext per page with --pages all, NAME-pN-cJ.ext per
/// chart where a page holds several), or in the folder OUT; inputs of one stem are told apart
/// by their extension (NAME.png.ext), and no output replaces one written earlier in the run.
/// What a chart lacked goes to `err`, one line per chart, and with `progress` a line before
/// each chart. Returns a DigitiseExit.
int RunDigitiseCommand(const QStringList& arguments, const std::function<void(Document&)>& prepare,
                       LabelReader& reader, QIODevice& out, QIODevice& err, bool progress);

} // namespace kurvana
