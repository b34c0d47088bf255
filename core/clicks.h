#pragma once

namespace kurvana {

struct Workspace;

/// The exact set of buttons and keys held at a press.
enum ShiftFlag : unsigned {
    ShiftKey = 1u << 0,
    AltKey = 1u << 1,
    CtrlKey = 1u << 2,
    LeftButton = 1u << 3,
    RightButton = 1u << 4,
    MiddleButton = 1u << 5,
    DoubleClick = 1u << 6,
};

/// Picture pixel of a position on the shown image: divided by viewScale, truncated toward zero.
int ScreenToPicture(int screen, long double viewScale);

/// Mouse down on the picture at (screenX, screenY) of the shown image, with the shift state.
void PictureMouseDown(Workspace& ws, int screenX, int screenY, unsigned shiftState);

/// Mouse up on the picture: ends hand scrolling.
void PictureMouseUp(Workspace& ws);

/// The mode commands: set the input mode, its pressed button and its cursor.
void SetInputMode(Workspace& ws, int mode);

/// The line menu: line n becomes current; nothing else changes.
void SelectLine(Workspace& ws, int line);

/// ButtonAvtoCorrect / MenuAutocorrection.
void ToggleAutoCorrect(Workspace& ws);

/// One removal pass over the current line: rows within +-tolerance in x and y go; the row that
/// moves up into an examined place is not examined again in this pass. Ends with RedrawMarks
/// and ToggleAxes.
void RemoveNearPoints(Workspace& ws, int x, int y, int tolerance);

/// The three reference points, placed at a picture pixel (modes 2, 3, 4).
void PlaceZeroPoint(Workspace& ws, int x, int y);
void PlaceXMaxPoint(Workspace& ws, int x, int y);
void PlaceYMaxPoint(Workspace& ws, int x, int y);

/// A plain click in marks mode: the 999-point limit, the duplicate test, the snap, the mark.
void AddPoint(Workspace& ws, int x, int y);

/// A click in eraser mode: two removal passes with tolerance 9.
void ErasePoints(Workspace& ws, int x, int y);

/// A move with the button held in eraser mode: one removal pass with tolerance 9.
void EraseOnMove(Workspace& ws, int x, int y);

} // namespace kurvana
