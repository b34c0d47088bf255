#pragma once

#include <memory>

#include <QRgb>

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

/// A picture written band by band straight into an anonymous memory file, for a reader that
/// makes its pixels in bands of rows (a bitmap file read a chunk at a time).
///
/// Why: writing pixels into a mapping of fresh memory makes the system first take and clear
/// every 4 KB page, one fault at a time; writing them into the file hands the pages over
/// already filled, at about half the system time (on a virtual machine, where each fresh page
/// also costs the host's work, that is most of the time taken to open a large scan). The
/// picture it gives is the clean picture's read-only form (SealedPicture), so that the working
/// picture can share it (CopyOnWriteTwin).
class SharablePictureWriter {
public:
    /// A 32-bit RGB picture of `size`. Where the system gives no memory file, the rows go into
    /// a picture of the program's own (NewPicture) instead. Invalid when memory is short.
    explicit SharablePictureWriter(const QSize& size);
    ~SharablePictureWriter();
    SharablePictureWriter(const SharablePictureWriter&) = delete;
    SharablePictureWriter& operator=(const SharablePictureWriter&) = delete;

    bool isValid() const;
    /// Writes `rowCount` whole rows from `firstRow` on, `pixels` holding them top row first.
    /// False when the system refused (memory short): the picture is then of no use.
    bool writeRows(int firstRow, const QRgb* pixels, int rowCount);
    /// The picture, read-only, as SealedPicture gives it (or the picture of the program's own);
    /// rows not written are undefined. Null when invalid or a write failed. Ends the writing.
    QImage finish();

private:
    struct File;
    std::shared_ptr<File> file_;
    int width_ = 0, height_ = 0;
};

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

/// The memory the live memory files hold, in bytes (each page once, mapped or not).
long long MemoryFileBytes();

/// Everything of a picture but its pixels: resolution, device pixel ratio, offset, colour
/// space and texts.
void CopyPictureMetadata(const QImage& from, QImage& to);

} // namespace kurvana
