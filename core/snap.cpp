#include "core/snap.h"

#include <cmath>

#include "core/document.h"
#include "core/probestar.h"

namespace kurvana {

QPoint SnapToInk(Document& doc, int x, int y) {
    int n = 0;
    long long sumX = 0;
    long long sumY = 0;
    for (const ProbeRay& ray : kProbeStar) {
        bool found = false;
        for (int s = 1; s <= kProbesPerRay; ++s) {
            const int px = x + ray.startX + s * ray.stepX;
            const int py = y + ray.startY + s * ray.stepY;
            doc.probe(px, py); // the ray is walked to its end, as the probe fields show
            // Outside the picture is never ink, whatever the thresholds: the mean of ink
            // pixels then always lies inside the picture.
            const bool inside = px >= 0 && py >= 0 && px < doc.workingPicture.width() &&
                                py < doc.workingPicture.height();
            if (inside && doc.probeIsInk() && !found) {
                ++n;
                sumX += px;
                sumY += py;
                found = true;
            }
        }
    }
    if (n == 0)
        return {x, y};
    // The means in extended precision, truncated toward zero.
    return {static_cast<int>(std::trunc(static_cast<long double>(sumX) / n)),
            static_cast<int>(std::trunc(static_cast<long double>(sumY) / n))};
}

} // namespace kurvana
