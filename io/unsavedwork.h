#pragma once

namespace kurvana {

struct Workspace;

/// Before work not saved to a data file is dropped (exit, closing the window, opening a picture
/// or a data file, taking a clipboard picture): asks whether to save it, with Save, Discard and
/// Cancel. Returns true when the caller may go on: nothing unsaved, Discard, or Save that
/// saved; Cancel, Escape, and a Save abandoned in its name boxes keep the work and return false. A
/// failed save throws its CommandError, so the caller stops with the work kept.
bool ConfirmDropOfUnsavedWork(Workspace& ws);

} // namespace kurvana
