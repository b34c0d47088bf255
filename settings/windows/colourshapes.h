#pragma once

#include <QWidget>

#include "platform/colour.h"

namespace kurvana {

/// A circle outline drawn with a pen three pixels wide: the Setup window's sample of a line
/// colour or of the axes-drawing colour.
class SampleCircle : public QWidget {
    Q_OBJECT
public:
    explicit SampleCircle(const QString& name, QWidget* parent);

    Colour penColour() const { return pen_; }
    void setPenColour(Colour colour);

    QSize sizeHint() const override { return {26, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour pen_ = 255;
};

/// A rectangle filled with one colour.
class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    ColourSwatch(const QString& name, Colour fill, QWidget* parent);

    Colour fillColour() const { return fill_; }

    QSize sizeHint() const override { return {53, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour fill_;
};

} // namespace kurvana
