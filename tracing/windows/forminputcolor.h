#pragma once

#include <QWidget>

#include "platform/colour.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kurvana {

struct Workspace;
class ColourSwatch;

/// TFormInputColor, the search-colour window: while it is open (input mode 7) the user takes a
/// colour from the picture with the pipette and makes it the line colour; OK stores the line
/// colour as the search colour. Modeless and on top of the other windows.
class TFormInputColor : public QWidget {
    Q_OBJECT
public:
    explicit TFormInputColor(Workspace& ws, QWidget* parent = nullptr);

    /// ButtonInputColorClick: takes the axes drawing off, starts the colour pick (mode 7),
    /// resets the line and background swatches to black and white and shows the window. When
    /// the window is already open it is only brought forward: a second toggle would leave the
    /// axes drawing off for good.
    void openFromMain();
    /// The colour under the cursor in mode 7: its components in the edits, the colour in
    /// ShapeEkran.
    void showColourUnderCursor(Colour colour);
    /// A click on the picture in mode 7: the sample takes the colour under the cursor.
    void takeSample();
    /// The line colour swatch, which OK stores as the search colour.
    Colour lineColour() const;

    /// ButtonOkClick and ButtonCancelClick.
    void ok();
    void cancel();

    ColourSwatch* ShapeLineGrafik;
    ColourSwatch* ShapeBackground;
    ColourSwatch* ShapeSample;
    ColourSwatch* ShapeEkran;
    QLineEdit* EditRedComp;
    QLineEdit* EditGreenComp;
    QLineEdit* EditBlueComp;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

protected:
    /// The title-bar close acts as Cancel, so the colour pick ends and the axes come back.
    void closeEvent(QCloseEvent* event) override;

private:
    void endColourPick();

    Workspace& ws_;
};

} // namespace kurvana
