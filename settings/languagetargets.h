#pragma once

#include <span>

#include "core/texts.h"

namespace kurvana {

/// What an entry of the language file sets.
enum class TextKind {
    Caption,     ///< the text of a menu, menu item, button, check box, label or group box
    Hint,        ///< the tooltip of a toolbar button
    WindowTitle, ///< the caption of the window itself
};

/// Where the text of one entry goes: a control (or two) of a window, both by object name. A
/// window title has no control.
struct TextTarget {
    int entry;
    const char* window;
    const char* control = nullptr;
    const char* secondControl = nullptr; ///< entries 78..80 name the X and the Y button
    TextKind kind = TextKind::Caption;
};

/// The targets of entries 1..111 in file order; entries 112..132 are the messages M01..M21.
std::span<const TextTarget> LanguageTargets();

/// A caption that came after the original entries: an extra text of the language file.
struct ExtraCaptionTarget {
    ExtraText text;
    const char* window;
    const char* control;
};

/// The captions among the extra texts. A file without them leaves these captions as they are.
std::span<const ExtraCaptionTarget> ExtraCaptionTargets();

} // namespace kurvana
