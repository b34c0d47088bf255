#pragma once

#include <cstdlib>
#include <memory>
#include <vector>

#include <QImage>
#include <QPolygonF>
#include <QRect>

namespace kurvana {

struct GrayPicture;
struct AxisLine;

/// The printed text beside an axis, cut into the blobs of its labels. The strip is the band
/// on the label side of the axis, resampled upright (text reads left to right whatever the
/// tilt), so that each label can be handed to a reader as it was printed.
class LabelStrip {
public:
    LabelStrip(const GrayPicture& gray, const AxisLine& line);

    /// One text blob: a label's characters, with a raised exponent and a leading minus told
    /// apart by their shape (readers confuse both).
    struct Blob {
        QRect box;                 ///< strip pixels
        std::vector<int> main;     ///< components of the label's body
        std::vector<int> exponent; ///< components raised above the body (10 with a raised 3)
        bool minus = false;        ///< the body starts with a minus dash
        bool exponentMinus = false;
        double along = 0;  ///< the label's centre projected on the axis
        double reach = 0;  ///< half its extent along the axis
        int distance = 0;  ///< gap between the axis and the label's near edge, strip pixels
        int bodyWidth = 0; ///< width of the body without its minus, strip pixels
    };

    const std::vector<Blob>& blobs() const { return blobs_; }
    /// The blob's body (or its exponent) alone, dark on white as printed (other characters
    /// whitened), scaled to about 40 pixels of
    /// height with a white margin: what a text reader reads best.
    QImage render(const Blob& blob, bool exponent) const;
    /// The whole blob as words: every character, raised or not (a word's short letters stand
    /// above the foot of its descenders and would pass for an exponent).
    QImage renderWords(const Blob& blob) const;
    /// The blob's outline in picture coordinates.
    QPolygonF outline(const Blob& blob) const;

private:
    struct Component {
        QRect box;
        int pixels = 0;
    };
    QPointF toPicture(double column, double row) const;
    void sample(const GrayPicture& gray);
    void findComponents();
    void groupBlobs();
    void splitBlob(Blob& blob) const;
    QImage renderParts(const std::vector<int>& parts) const;

    const AxisLine& line_;
    int width_ = 0, height_ = 0;
    double along0_ = 0;
    int near_ = 0; ///< distance of the strip's first row (column) from the axis centre
    std::vector<std::uint8_t> gray_; ///< luminance, sampled between pixels
    std::uint8_t ink_ = 0;           ///< strictly below this a strip pixel is ink
    int paper_ = 255;                ///< the lightest strip pixel: what the reader sees as white
    struct Free {
        void operator()(int* p) const { std::free(p); }
    };
    /// Per strip pixel: 1 + its component's index, 0 for paper.
    std::unique_ptr<int[], Free> component_;
    std::vector<Component> components_;
    std::vector<Blob> blobs_;
};

} // namespace kurvana
