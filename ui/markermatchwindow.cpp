#include "ui/markermatchwindow.h"

#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/document.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "recognition/markers/inkmask.h"

namespace kurvana {

namespace {
/// The tolerance in per cent of the search's own: from a strict half to two and a half times.
constexpr int kLeastPercent = 50, kMostPercent = 250, kPercentStep = 10;
} // namespace

MarkerMatchWindow::MarkerMatchWindow(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Tool), ws_(ws), toleranceLabel_(new QLabel), hint_(new QLabel),
      tolerance_(new QSpinBox) {
    setObjectName("MarkerMatch");
    tolerance_->setRange(kLeastPercent, kMostPercent);
    tolerance_->setSingleStep(kPercentStep);
    tolerance_->setValue(100);
    hint_->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(toleranceLabel_, tolerance_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint_);
    connect(tolerance_, &QSpinBox::valueChanged, this, [this] { showPreview(); });
    showExtraTexts();
}

double MarkerMatchWindow::tolerance() const {
    return tolerance_->value() / 100.0;
}

void MarkerMatchWindow::setSample(const RgbVector& paper, const RgbVector& ink) {
    sample_ = Sample{paper, ink};
    showPreview();
}

void MarkerMatchWindow::showExtraTexts() {
    const Texts& texts = ws_.doc.texts;
    setWindowTitle(texts.extra(ExtraText::MarkerMatchCaption));
    toleranceLabel_->setText(texts.extra(ExtraText::MarkerMatchTolerance));
    hint_->setText(texts.extra(ExtraText::MarkerMatchHint));
}

void MarkerMatchWindow::showPreview() {
    if (!isVisible() || !sample_)
        return;
    // The same weighing of colours as the search's: a pixel it would count as the marker's ink.
    const markers::InkWeight weight(sample_->paper, sample_->ink, tolerance());
    ws_.view.showMatchPreview(
        [weight](Colour c) {
            return weight(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)) >=
                   markers::kInkHalf;
        },
        true);
}

void MarkerMatchWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    showPreview();
}

void MarkerMatchWindow::hideEvent(QHideEvent* event) {
    ws_.view.showMatchPreview({}, false);
    QWidget::hideEvent(event);
}

} // namespace kurvana
