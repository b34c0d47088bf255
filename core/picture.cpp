#include "core/picture.h"

#include "core/history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <QColorSpace>
#include <QImage>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/picturememory.h"
#include "core/workspace.h"

namespace kurvana {

QImage NormalizedPicture(const QImage& image) {
    if (image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

namespace {

/// True when `to` owns a buffer laid out exactly like `from`'s, so that copying the bytes
/// makes it an equal picture.
bool SameLayout(const QImage& to, const QImage& from) {
    return !from.isNull() && to.isDetached() && to.constBits() != from.constBits() &&
           to.size() == from.size() && to.format() == from.format() &&
           to.bytesPerLine() == from.bytesPerLine() &&
           to.devicePixelRatio() == from.devicePixelRatio() &&
           to.dotsPerMeterX() == from.dotsPerMeterX() &&
           to.dotsPerMeterY() == from.dotsPerMeterY() && to.colorSpace() == from.colorSpace();
}

/// Pictures from this size on get their own huge-page-backed buffers.
constexpr std::size_t kLargePictureBytes = std::size_t(8) << 20;
constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;

} // namespace

QImage NewPicture(const QSize& size) {
    const qsizetype bytesPerLine = qsizetype(size.width()) * qsizetype(sizeof(QRgb));
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(std::max(size.height(), 0));
    if (bytes < kLargePictureBytes)
        return QImage(size, QImage::Format_RGB32);
    const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    void* data = std::aligned_alloc(kHugePageBytes, rounded);
    if (data == nullptr)
        return QImage(size, QImage::Format_RGB32); // null as well when memory is short
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(data, rounded, MADV_HUGEPAGE); // advice only: without huge pages all still works
#endif
    return QImage(
        static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, QImage::Format_RGB32,
        [](void* memory) { std::free(memory); }, data);
}

QImage NewPictureForReading(const QSize& size) {
    QImage picture = NewSharablePicture(size);
    return picture.isNull() ? NewPicture(size) : picture;
}

void ShowCleanPicture(Document& doc) {
    const QImage& clean = doc.cleanPicture;
    // A picture just put in place has no working picture yet. When the clean one lives in a
    // memory file, the working picture borrows its pages and copies only those drawn on: a new
    // picture is shown without a second buffer, and drawing marks and axes, or restoring their
    // areas, copies a few pages. The first whole restore gives it a buffer of its own, below:
    // from then on every pass over it would otherwise fault its pages in again.
    if (doc.workingPicture.isNull())
        if (QImage twin = CopyOnWriteTwin(clean); !twin.isNull()) {
            doc.workingPicture = twin;
            return;
        }
    // A twin, or the sealed clean picture that a clean-up swapped in, is no buffer to overwrite.
    const bool ownBuffer =
        SameLayout(doc.workingPicture, clean) && !InMemoryFile(doc.workingPicture);
    // The working picture keeps its own buffer when it can: a fresh buffer for a scan of tens
    // of megapixels costs the system more than copying the pixels into the one it has, and
    // the first drawing would have to unshare it anyway. A large picture that has none of the
    // right size gets one at once, one the system can back with huge pages.
    if (!ownBuffer && clean.format() == QImage::Format_RGB32 &&
        std::size_t(clean.sizeInBytes()) >= kLargePictureBytes) {
        doc.workingPicture = QImage(); // the old buffer goes back before the new one is taken
        QImage working = NewPicture(clean.size());
        if (!working.isNull() && working.bytesPerLine() == clean.bytesPerLine()) {
            CopyPictureMetadata(clean, working);
            doc.workingPicture = working;
        }
    }
    if (SameLayout(doc.workingPicture, clean)) {
        std::memcpy(doc.workingPicture.bits(), clean.constBits(), std::size_t(clean.sizeInBytes()));
        return;
    }
    doc.workingPicture = clean;
}

void ResetForNewPicture(Workspace& ws) {
    // A series of identically laid-out charts: the next one keeps the calibration.
    const std::optional<CalibrationState> kept =
        ws.doc.keepCalibration ? std::optional(CalibrationState::of(ws.doc)) : std::nullopt;
    ws.doc.resetForNewPicture();
    if (kept)
        kept->applyTo(ws.doc);
    ws.view.applyViewScale();
    ToggleAxes(ws.doc);
    ws.view.pictureChanged();
    ws.view.controlsChanged();
    ws.view.fillTable();
}

void InstallNewPicture(Workspace& ws, const QImage& picture) {
    Document& doc = ws.doc;
    const QImage incoming = NormalizedPicture(picture); // `picture` may be one of the document's
    // The old pictures' memory goes back before the working picture is made. The search
    // copy shares the clean picture until the fixed-step search first draws on it.
    doc.workingPicture = QImage();
    doc.cleanPicture = SealedPicture(incoming);
    doc.searchCopy = doc.cleanPicture;
    ShowCleanPicture(doc);
    ResetForNewPicture(ws);
}

} // namespace kurvana
