#pragma once

#include <QWidget>

class QPushButton;
class QSpinBox;

namespace kurvana {

struct Workspace;

/// TFormAvtomat: holds the neighbour threshold of automatic digitising (SpinEditSummaOkr,
/// 0..8, 3) and a button that runs it. No command shows this window.
class TFormAvtomat : public QWidget {
    Q_OBJECT
public:
    explicit TFormAvtomat(Workspace& ws, QWidget* parent = nullptr);

    /// The neighbour threshold S.
    int threshold() const;

    /// ButtonWorkAvtomatClick.
    void work();

    QSpinBox* SpinEditSummaOkr;
    QPushButton* ButtonWorkAvtomat;

private:
    Workspace& ws_;
};

} // namespace kurvana
