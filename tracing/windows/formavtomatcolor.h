#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace kurvana {

struct Workspace;
class ColourSwatch;
class NumericEdit;
class TFormInputColor;

/// TFormAvtomatColor, the colour line search window: the count of points wanted, the search
/// kind, and the line colour of the search-colour window for reference. Modal.
class TFormAvtomatColor : public QDialog {
    Q_OBJECT
public:
    TFormAvtomatColor(Workspace& ws, const TFormInputColor& inputColor, QWidget* parent = nullptr);

    /// ButtonFindByColorClick: takes the axes drawing off, shows the picture 1:1 and runs the
    /// window modally.
    void openFromMain();
    /// The steps of openFromMain before the window runs.
    void prepareOpening();
    /// The search kind of the radio buttons: 1, 2 or 3.
    int searchKind() const;

    /// ButtonFindClick: a count that is refused leaves the window open and nothing changed;
    /// otherwise the search runs and the window closes.
    void find();

    ColourSwatch* ShapeLineGrafik;
    NumericEdit* EditNumberPointForFind;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QPushButton* ButtonFind;
    QPushButton* ButtonCancel;

public slots:
    /// ButtonCancelClick, also the title-bar close and Escape: the axes drawing comes back.
    void reject() override;

protected:
    /// FormActivate: the line swatch follows the search-colour window's line swatch.
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takeLineColour();

    Workspace& ws_;
    const TFormInputColor& inputColor_;
};

} // namespace kurvana
