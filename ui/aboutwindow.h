#pragma once

#include <QDialog>

namespace kurvana {

/// TFormAbout: product name, version, comments and the project's contact addresses.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
};

} // namespace kurvana
