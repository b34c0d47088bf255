#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

namespace kurvana {

struct Workspace;

/// TformClipboard: previews the clipboard's picture each time it becomes active; "Copy" takes
/// the preview as the picture, "Cancel" closes.
class TformClipboard : public QWidget {
    Q_OBJECT
public:
    TformClipboard(Workspace& ws, QWidget* parent = nullptr);

    /// The window became active: the preview takes the clipboard's picture, or M14 is shown.
    void FormActivate();
    void ButtonOKClick();
    void ButtonCancelClick();
    const QImage& preview() const { return preview_; }

protected:
    bool event(QEvent* event) override;

private:
    Workspace& ws_;
    QLabel* imgClipboard_;
    QImage preview_;
};

} // namespace kurvana
