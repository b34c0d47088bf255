#pragma once

class QImage;
class QSize;

namespace kurvana {

struct Document;
struct Workspace;

/// A picture in the form every picture of the document has: 32-bit RGB, opaque.
QImage NormalizedPicture(const QImage& image);

/// A new 32-bit RGB picture of `size`, its pixels not yet set. The memory of a large one is
/// asked to be backed by huge pages: a scan of tens of megapixels then costs the system a few
/// hundred page faults instead of tens of thousands, and passes over it miss the address
/// translation cache far less.
QImage NewPicture(const QSize& size);

/// A buffer for a picture about to be read from a file: one the working picture can share
/// page by page later (NewSharablePicture), or NewPicture where the system has none.
QImage NewPictureForReading(const QSize& size);

/// Working picture := clean picture: every mark and the axes drawing vanish. A working
/// picture of the same size and layout is overwritten in place rather than reallocated. A
/// new picture's first working picture shares the clean picture's pages where it can.
void ShowCleanPicture(Document& doc);

/// Puts a successfully read picture in place as the clean, working and search picture and runs
/// the new-picture reset: view 1:1, marks mode, all lines empty, the default reference points
/// with the axes drawn through them.
void InstallNewPicture(Workspace& ws, const QImage& picture);

/// The whole new-picture reset on the picture now shown (document steps, view, axes drawing).
void ResetForNewPicture(Workspace& ws);

} // namespace kurvana
