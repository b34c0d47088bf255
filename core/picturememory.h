#pragma once

class QImage;
class QSize;

namespace kurvana {

/// A new 32-bit RGB picture of `size` whose pixels live in an anonymous memory file, so that
/// a copy-on-write twin can later share them (SealedPicture, CopyOnWriteTwin). Its pixels are
/// not set yet. Null when the system gives no memory file; the caller then takes NewPicture.
///
/// Why: a scan of tens of megapixels is held twice, as the clean and the working picture,
/// which are equal but for the axes drawing. A second private buffer means the system hands
/// out and zero-fills the whole picture's memory once more before anything is shown, which on
/// a virtual machine costs more than everything else start-up does. A twin maps the same
/// pages and copies only the 4 KB pages that are drawn on.
QImage NewSharablePicture(const QSize& size);

/// The picture as the clean picture holds it: read-only, so that the memory its twins read
/// through can never change under them. A picture from NewSharablePicture is write-protected
/// from now on and comes back as a read-only image of the same pixels (writing to a copy of it
/// copies the whole picture first, as for any shared QImage); any other picture comes back
/// as it is. The writable image it was made from must not be written to afterwards.
QImage SealedPicture(const QImage& picture);

/// A writable picture equal to `sealed` (pixels, size, format and the metadata) that shares
/// its memory until it is written to, page by page. Null when `sealed` did not come from
/// SealedPicture.
QImage CopyOnWriteTwin(const QImage& sealed);

/// Whether `picture`'s pixels live in a memory file (a sealed picture or a twin): then they are
/// not a buffer of its own that a restore may simply overwrite.
bool InMemoryFile(const QImage& picture);

/// Everything of a picture but its pixels: resolution, device pixel ratio, offset, colour
/// space and texts.
void CopyPictureMetadata(const QImage& from, QImage& to);

} // namespace kurvana
