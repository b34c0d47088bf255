#include "platform/windows/stayontop.h"

#include <QWidget>

namespace kurvana {

void SetStayOnTop(QWidget& window, bool on) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        window.show(); // changing the flags hides a window
}

} // namespace kurvana
