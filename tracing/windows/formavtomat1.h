#pragma once

#include <QWidget>

namespace kurvana {

/// TFormAvtomat1: an empty window, created with the others and never shown.
class TFormAvtomat1 : public QWidget {
    Q_OBJECT
public:
    explicit TFormAvtomat1(QWidget* parent = nullptr);
};

} // namespace kurvana
