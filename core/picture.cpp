#include "core/picture.h"

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

void ShowCleanPicture(Document& doc) {
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
