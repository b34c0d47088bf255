#include "recognition/markers/findmarkers.h"

#include <algorithm>
#include <cmath>

#include <QImage>

#include "recognition/markers/errorbars.h"
#include "recognition/markers/markerfit.h"
#include "recognition/markers/markersample.h"

namespace kurvana {

namespace {

/// The marker's ink box (the template's box less its paper margin) where a marker centred at
/// `centre` lies.
QRect inkBoxAt(const markers::MarkerTemplate& shape, QPointF centre) {
    const QPoint anchor(int(std::lround(centre.x() - shape.centreOffset.x())),
                        int(std::lround(centre.y() - shape.centreOffset.y())));
    return shape.box.adjusted(1, 1, -1, -1).translated(anchor);
}

} // namespace

std::optional<MarkerFinding> FindMarkers(const QImage& picture, QPoint click,
                                         const MarkerSearchOptions& options) {
    const auto sample = markers::CutSample(picture, click, options.tolerance);
    if (!sample)
        return std::nullopt;
    const markers::InkMask mask = markers::MatchColour(picture, picture.rect(), sample->weight);
    const markers::InkMask cleaned =
        markers::WithoutLines(mask, sample->lineLength, markers::kWidestLine);
    const markers::PaperView paper{&picture, sample->paper};
    const std::vector<QPointF> centres =
        markers::FitMarkers(mask, cleaned, sample->shape, options.tolerance, options.leastShowing,
                            paper, options.cancel);
    if (options.cancel && options.cancel->load())
        return std::nullopt;
    MarkerFinding finding{sample->kind, {}, sample->paper, sample->ink};
    for (const QPointF& centre : centres) {
        const QRect box = inkBoxAt(sample->shape, centre);
        finding.markers.push_back({centre, markers::ErrorBar(mask, centre, box, true, paper),
                                   markers::ErrorBar(mask, centre, box, false, paper)});
    }
    return finding;
}

} // namespace kurvana
