#pragma once

#include <QDialog>

namespace kurvana {

struct Workspace;

/// TFormMoviPoint: moves the selected point one pixel per arrow; OK ends the nudging. There is
/// no cancel: moves already made stay.
class TFormMoviPoint : public QDialog {
    Q_OBJECT
public:
    TFormMoviPoint(Workspace& ws, QWidget* parent = nullptr);

    void BitBtnUpClick();
    void BitBtnDownClick();
    void BitBtnLeftClick();
    void BitBtnRightClick();
    void BitBtnCloseClick();

public slots:
    void reject() override {} // Escape does not end the nudging: only OK does

protected:
    /// The arrow keys do what the arrow buttons do (ten times with Shift), Enter is OK, so
    /// that nudging needs no aiming at the buttons.
    void keyPressEvent(QKeyEvent* event) override;

private:
    Workspace& ws_;
};

} // namespace kurvana
