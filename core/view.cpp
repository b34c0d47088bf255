#include "core/view.h"

#include <array>

#include "core/clicks.h"
#include "core/document.h"
#include "core/workspace.h"

namespace kurvana {

namespace {
constexpr std::array<long double, 8> kScales{0, 8, 4, 2, 1, 0.5L, 0.25L, 0.125L};
constexpr std::array<int, 8> kScaleImages{0, 33, 32, 31, 27, 28, 29, 30};
} // namespace

long double ViewScaleOfItem(int item) {
    return kScales.at(item);
}

int ScaleImageOfItem(int item) {
    return kScaleImages.at(item);
}

void ChooseViewScale(Workspace& ws, int item) {
    ws.doc.checkedScaleItem = item;
    ws.doc.viewScale = ViewScaleOfItem(item);
    ws.view.applyViewScale();
    ws.doc.scaleButtonImage = ScaleImageOfItem(item);
    ws.view.controlsChanged();
}

void ChooseCursor(Workspace& ws, int item) {
    ws.doc.pictureCursor = item;
    ws.doc.cursorIndex = item + 1;
    ws.doc.checkedCursorItem = item;
    ws.view.controlsChanged();
}

void ButtonHandleClick(Workspace& ws) {
    SetInputMode(ws, ModeHandScroll);
}

ScrollStep HandScrollStep(Workspace& ws, int x, int y) {
    Document& doc = ws.doc;
    const ScrollStep step{10 * (x - doc.handLastX), 10 * (y - doc.handLastY)};
    doc.handLastX = x;
    doc.handLastY = y;
    return step;
}

void ToggleCheckGrid(Workspace& ws) {
    ws.doc.checkGridOn = !ws.doc.checkGridOn;
    ws.view.controlsChanged();
    ws.view.pictureChanged();
}

} // namespace kurvana
