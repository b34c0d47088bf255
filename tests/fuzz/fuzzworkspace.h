#pragma once

#include <QImage>

#include "core/document.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"

namespace kurvana::fuzz {

/// A document as the program starts with it. Its tables are large: one lives for the whole
/// fuzzing process and is set back to the start-up state for every input, which costs a copy
/// instead of fresh pages.
Document& FreshDocument();

/// The fresh document with scripted dialogs and silent windows, its picture put in place by
/// the new-picture reset as the program does on loading.
struct FuzzWorkspace {
    Document* doc = &FreshDocument();
    platform::ScriptedDialogs dialogs;
    ViewHooks view;
    Workspace ws{*doc, dialogs, view};

    explicit FuzzWorkspace(const QImage& picture);
};

/// A white 32-bit picture.
QImage WhitePicture(int width, int height);

} // namespace kurvana::fuzz
