#pragma once

#include <QFrame>

#include "platform/colour.h"

namespace kurvana {

/// A colour swatch (the Shape controls of the colour windows): a framed rectangle filled with
/// one colour. A press with any mouse button emits pressed().
class ColourSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColourSwatch(const QString& name, int width, int height, QWidget* parent = nullptr);

    Colour colour() const { return colour_; }
    void setColour(Colour colour);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Colour colour_ = 0xFFFFFF; // white until something sets it
};

} // namespace kurvana
