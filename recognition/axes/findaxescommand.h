#pragma once

class QIODevice;
class QString;

namespace kurvana {

class LabelReader;

/// The exit statuses of `kurvana2 --find-axes PICTURE`.
enum FindAxesExit : int {
    FindAxesFull = 0,         ///< a full proposal
    FindAxesPartial = 1,      ///< a partial one: something was found, not everything
    FindAxesNothing = 2,      ///< no axis line at all
    FindAxesUnreadable = 3,   ///< the picture cannot be read (or is too large)
    FindAxesOutputFailed = 4, ///< the answer could not be written, or a usage error
};

/// `kurvana2 --find-axes PICTURE`: reads the picture exactly as the window opens it
/// (TryReadPicture: the same size limits, a transparent background laid on white), looks for
/// its axes with `reader` and writes the proposal as JSON to `out`. Why the picture cannot be
/// read, or the answer not written, goes to `err`. Returns a FindAxesExit.
int RunFindAxesCommand(const QString& path, LabelReader& reader, QIODevice& out, QIODevice& err);

} // namespace kurvana
