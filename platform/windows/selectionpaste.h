#pragma once

class QPlainTextEdit;

namespace kurvana::platform {

/// Takes over the middle-button paste of the X selection into `edit`. Qt 6.4's own paste
/// (QWidgetTextControl::insertFromMimeData) crashes when the selection holds no data, which is
/// the case whenever no program owns it. The selection's text, if any, goes in at the click
/// position, as before; a read-only edit takes nothing.
void PasteSelectionSafely(QPlainTextEdit* edit);

} // namespace kurvana::platform
