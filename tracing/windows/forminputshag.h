#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace kurvana {

struct Workspace;
class NumericEdit;

/// TFormInputShag, the fixed-step search window: the search copy with the current line drawn
/// upright, the step and the X range, and the list of (X, Y) pairs found. Modeless; closed only
/// by its Cancel button.
class TFormInputShag : public QWidget {
    Q_OBJECT
public:
    explicit TFormInputShag(Workspace& ws, QWidget* parent = nullptr);

    /// ButtonOnDeltaXClick: prepares the search copy and shows the window; a line with fewer
    /// than three points only shows message M21.
    void openFromMain();
    /// ButtonFindPointClick: the list of the search goes into Memo1; a refused input leaves
    /// everything as it was.
    void findPoints();
    /// imgBufer shows the search copy as it is now.
    void showSearchCopy();

    QScrollArea* ScrollBox1;
    QLabel* imgBufer;
    NumericEdit* EditShagX;
    NumericEdit* EditFromX;
    NumericEdit* EditToX;
    QPushButton* ButtonFindPoint;
    QPushButton* ButtonCancel;
    QPlainTextEdit* Memo1;

private:
    Workspace& ws_;
};

} // namespace kurvana
