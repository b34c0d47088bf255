#pragma once

class QWidget;

namespace kurvana {

/// Applies or removes a window's stay-on-top style, keeping it shown when it was.
void SetStayOnTop(QWidget& window, bool on);

} // namespace kurvana
