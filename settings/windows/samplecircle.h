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

} // namespace kurvana
