#pragma once

class QImage;

namespace kurvana {

struct Document;
struct Workspace;

/// A picture in the form every picture of the document has: 32-bit RGB, opaque.
QImage NormalizedPicture(const QImage& image);

/// Working picture := clean picture: every mark and the axes drawing vanish. A working
/// picture of the same size and layout is overwritten in place rather than reallocated.
void ShowCleanPicture(Document& doc);

/// Puts a successfully read picture in place as the clean, working and search picture and runs
/// the new-picture reset: view 1:1, marks mode, all lines empty, the default reference points
/// with the axes drawn through them.
void InstallNewPicture(Workspace& ws, const QImage& picture);

/// The whole new-picture reset on the picture now shown (document steps, view, axes drawing).
void ResetForNewPicture(Workspace& ws);

} // namespace kurvana
