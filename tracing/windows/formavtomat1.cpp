#include "tracing/windows/formavtomat1.h"

namespace kurvana {

TFormAvtomat1::TFormAvtomat1(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("FormAvtomat1");
    setWindowTitle("FormAvtomat1");
    move(328, 260);
    resize(696, 480);
}

} // namespace kurvana
