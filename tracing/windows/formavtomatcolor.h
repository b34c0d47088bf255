#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kurvana {

struct Workspace;
class ColourSwatch;
class NumericEdit;
class TFormInputColor;

/// TFormAvtomatColor, the colour line search window: the count of points wanted, the search
/// kind (with the tolerance of kind 4), and the line colour of the search-colour window for
/// reference. Modal; it keeps the kind and tolerance for the run of the program.
class TFormAvtomatColor : public QDialog {
    Q_OBJECT
public:
    TFormAvtomatColor(Workspace& ws, const TFormInputColor& inputColor, QWidget* parent = nullptr);

    /// ButtonFindByColorClick: takes the axes drawing off, shows the picture 1:1 and runs the
    /// window modally.
    void openFromMain();
    /// The steps of openFromMain before the window runs.
    void prepareOpening();
    /// The search kind of the radio buttons: 1 to 4.
    int searchKind() const;
    /// The colour distance of kind 4.
    int tolerance() const;
    /// Puts the texts that the document holds (the newer captions) on their controls.
    void showExtraTexts();

    /// ButtonFindClick: a count that is refused leaves the window open and nothing changed;
    /// otherwise the search runs and the window closes.
    void find();

    ColourSwatch* ShapeLineGrafik;
    NumericEdit* EditNumberPointForFind;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QLabel* LabelTolerance;
    QSpinBox* SpinEditTolerance;
    QPushButton* ButtonFind;
    QPushButton* ButtonCancel;

public slots:
    /// ButtonCancelClick, also the title-bar close and Escape: the axes drawing comes back.
    void reject() override;

protected:
    /// FormActivate: the line swatch follows the search-colour window's line swatch.
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void takeLineColour();
    /// The picture tints what the chosen kind would match while the window is open.
    void showPreview();
    void hidePreview();

    Workspace& ws_;
    const TFormInputColor& inputColor_;
};

} // namespace kurvana
