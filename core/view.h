#pragma once

namespace kurvana {

struct Workspace;

/// The view scale of scale-menu item 1..7 ("8:1" .. "1:8").
long double ViewScaleOfItem(int item);
/// The image of ButtonChangeMashtab for scale-menu item 1..7.
int ScaleImageOfItem(int item);

/// mastab1Click .. mastab7Click: check item, set the scale, size the picture, set the image.
void ChooseViewScale(Workspace& ws, int item);

/// Diag/vert/Handle/Circle/StrelaClick (item 1..5): the picture shows cursor `item`, the next
/// right click shows item + 1, the item gets the check mark.
void ChooseCursor(Workspace& ws, int item);

/// ButtonCheckGrid / menuCheckGrid: shows or hides the calibration check grid over the picture.
/// Only the view changes; no picture is touched.
void ToggleCheckGrid(Workspace& ws);

/// ButtonHandleClick: hand scrolling mode.
void ButtonHandleClick(Workspace& ws);

/// Scroll change of one hand-scroll move to picture pixel (x, y): ten scroll units per pixel
/// of travel since the last position, which becomes (x, y).
struct ScrollStep {
    int dx = 0;
    int dy = 0;
};
ScrollStep HandScrollStep(Workspace& ws, int x, int y);

} // namespace kurvana
