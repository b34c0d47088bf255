#include "core/picture.h"

#include <cstring>

#include <QColorSpace>
#include <QImage>

#include "core/document.h"
#include "core/drawing.h"
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

} // namespace

void ShowCleanPicture(Document& doc) {
    // The working picture keeps its own buffer when it can: a fresh buffer for a scan of tens
    // of megapixels costs the system more than copying the pixels into the one it has, and
    // the first drawing would have to unshare it anyway.
    if (SameLayout(doc.workingPicture, doc.cleanPicture)) {
        std::memcpy(doc.workingPicture.bits(), doc.cleanPicture.constBits(),
                    std::size_t(doc.cleanPicture.sizeInBytes()));
        return;
    }
    doc.workingPicture = doc.cleanPicture;
}

void ResetForNewPicture(Workspace& ws) {
    ws.doc.resetForNewPicture();
    ws.view.applyViewScale();
    ToggleAxes(ws.doc);
    ws.view.pictureChanged();
    ws.view.controlsChanged();
    ws.view.fillTable();
}

void InstallNewPicture(Workspace& ws, const QImage& picture) {
    Document& doc = ws.doc;
    doc.cleanPicture = NormalizedPicture(picture);
    ShowCleanPicture(doc);
    doc.searchCopy = doc.cleanPicture;
    ResetForNewPicture(ws);
}

} // namespace kurvana
