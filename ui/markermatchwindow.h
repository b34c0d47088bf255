#pragma once

#include <optional>

#include <QWidget>

#include "core/paper.h"

class QLabel;
class QSpinBox;

namespace kurvana {

struct Workspace;

/// The marker match window beside Find markers: the tolerance of shape and colour the next
/// click searches with, and, while the window shows, a tint over what the colour of the marker
/// clicked last would take at that tolerance, following every change of it. Closing it keeps
/// the tolerance for the run of the program.
class MarkerMatchWindow : public QWidget {
public:
    MarkerMatchWindow(Workspace& ws, QWidget* parent);

    /// 1 as it comes: above 1 takes markers less like the one clicked, below 1 fewer.
    double tolerance() const;
    /// The marker clicked last, its colour on its paper: what the tint shows.
    void setSample(const RgbVector& paper, const RgbVector& ink);
    /// Puts the document's texts on the window.
    void showExtraTexts();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showPreview();

    struct Sample {
        RgbVector paper, ink;
    };

    Workspace& ws_;
    QLabel* toleranceLabel_;
    QLabel* hint_;
    QSpinBox* tolerance_;
    std::optional<Sample> sample_;
};

} // namespace kurvana
