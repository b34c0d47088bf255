#include "recognition/axes/axislabels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <numeric>

#include "recognition/axes/axisgray.h"
#include "recognition/axes/axislines.h"
#include "recognition/axes/axisticks.h"

namespace kurvana {

namespace {

/// Union-find over component indices.
struct Groups {
    std::vector<int> parent;
    explicit Groups(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int find(int i) {
        while (parent[std::size_t(i)] != i)
            i = parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
        return i;
    }
    void join(int a, int b) { parent[std::size_t(find(a))] = find(b); }
};

int overlap(int a0, int a1, int b0, int b1) {
    return std::min(a1, b1) - std::max(a0, b0);
}

} // namespace

// Strip layout. Level axis: column = along from along0_, row = distance below the axis from
// near_. Upright axis: row = along from along0_, column counts towards the axis, so the column
// next to the axis is width_ - 1 and the text stays upright.
LabelStrip::LabelStrip(const GrayPicture& gray, const AxisLine& line) : line_(line) {
    const double length = line.length();
    const double margin = 0.08 * length + 20;
    const int alongSize = line.upright ? gray.height : gray.width;
    const int acrossSize = line.upright ? gray.width : gray.height;
    along0_ = std::max(0.0, std::floor(line.start - margin));
    const int alongCount = int(std::min(double(alongSize), std::ceil(line.end + margin)) - along0_);
    near_ = int(line.thickness / 2) + 1;
    const double centre = line.acrossAt((line.start + line.end) / 2);
    const double room = LabelSide(line.upright) > 0 ? acrossSize - centre : centre;
    const int depth = int(std::clamp(std::min(room, 0.15 * acrossSize + 60), 0.0, 4000.0));
    width_ = line.upright ? depth : alongCount;
    height_ = line.upright ? alongCount : depth;
    if (width_ <= 0 || height_ <= 0) {
        width_ = height_ = 0;
        return;
    }
    sample(gray);
    findComponents();
    groupBlobs();
}

// Sampled between pixels (bilinear): on a tilted scan, taking the nearest pixel would jag the
// strokes of small digits enough to change how they read. The strip is an affine view of the
// picture, so each row starts at one picture point and steps by one fixed offset per column:
// no per-pixel geometry, and the pixels read straight from the picture's rows away from its
// edges.
void LabelStrip::sample(const GrayPicture& gray) {
    gray_.resize(std::size_t(width_) * std::size_t(height_));
    // Positions in fixed point, 16 bits of fraction: the weights of the four pixels are the
    // top 8 bits of it, finer than a stroke's grey edge needs.
    constexpr double kOne = 65536;
    const QPointF origin = toPicture(0, 0);
    const QPointF perColumn = toPicture(1, 0) - origin;
    const QPointF perRow = toPicture(0, 1) - origin;
    const std::int64_t stepX = std::llround(perColumn.x() * kOne);
    const std::int64_t stepY = std::llround(perColumn.y() * kOne);
    const std::size_t stride = std::size_t(gray.width);
    for (int row = 0; row < height_; ++row) {
        std::uint8_t* out = gray_.data() + std::size_t(row) * std::size_t(width_);
        // Shifted by one whole picture so that the positions stay positive at the edges.
        std::int64_t px = std::llround((origin.x() + row * perRow.x() + 1) * kOne);
        std::int64_t py = std::llround((origin.y() + row * perRow.y() + 1) * kOne);
        for (int column = 0; column < width_; ++column, px += stepX, py += stepY) {
            const int x = int(px >> 16) - 1, y = int(py >> 16) - 1;
            const int fx = int((px >> 8) & 0xFF), fy = int((py >> 8) & 0xFF);
            int p00, p10, p01, p11;
            if (x >= 0 && y >= 0 && x + 1 < gray.width && y + 1 < gray.height) {
                const std::uint8_t* at = gray.pixels.data() + std::size_t(y) * stride + x;
                p00 = at[0], p10 = at[1], p01 = at[stride], p11 = at[stride + 1];
            } else {
                p00 = gray.at(x, y), p10 = gray.at(x + 1, y);
                p01 = gray.at(x, y + 1), p11 = gray.at(x + 1, y + 1);
            }
            const int top = p00 * 256 + (p10 - p00) * fx;
            const int bottom = p01 * 256 + (p11 - p01) * fx;
            out[column] = std::uint8_t((top * 256 + (bottom - top) * fy + 32768) >> 16);
        }
    }
    ink_ = std::uint8_t(gray.ink);
    paper_ = std::max(1, int(*std::max_element(gray_.begin(), gray_.end())));
}

QPointF LabelStrip::toPicture(double column, double row) const {
    const int side = LabelSide(line_.upright);
    if (line_.upright)
        return line_.offsetPoint(along0_ + row, side * (near_ + (width_ - 1 - column)));
    return line_.offsetPoint(along0_ + column, side * (near_ + row));
}

void LabelStrip::findComponents() {
    // Zeroed memory from the system: the pages of plain paper are never written (nor, on a
    // large strip, even mapped), and most of a strip is paper.
    component_.reset(
        static_cast<int*>(std::calloc(std::max<std::size_t>(gray_.size(), 1), sizeof(int))));
    if (!component_)
        throw std::bad_alloc();
    std::vector<int> stack;
    for (int start = 0; start < int(gray_.size()); ++start) {
        if (gray_[std::size_t(start)] >= ink_ || component_[std::size_t(start)] != 0)
            continue;
        const int id = int(components_.size());
        Component c;
        c.box = QRect(start % width_, start / width_, 1, 1);
        component_[std::size_t(start)] = id + 1;
        stack.push_back(start);
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int x = i % width_, y = i / width_;
            ++c.pixels;
            c.box |= QRect(x, y, 1, 1);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_)
                        continue;
                    const int n = ny * width_ + nx;
                    if (gray_[std::size_t(n)] < ink_ && component_[std::size_t(n)] == 0) {
                        component_[std::size_t(n)] = id + 1;
                        stack.push_back(n);
                    }
                }
        }
        components_.push_back(c);
    }
}

void LabelStrip::groupBlobs() {
    // Components that touch the axis side are ticks; huge ones are frames or curves.
    std::vector<int> text;
    for (int i = 0; i < int(components_.size()); ++i) {
        const QRect& b = components_[std::size_t(i)].box;
        const bool touchesAxis = line_.upright ? b.right() >= width_ - 2 : b.top() <= 1;
        const bool huge = b.height() > std::max(height_ / 3, 60) || b.width() > width_ / 3;
        if (!touchesAxis && !huge && components_[std::size_t(i)].pixels >= 2)
            text.push_back(i);
    }
    // Characters of one label share rows and stand closer than about a character's height.
    Groups groups(components_.size());
    std::sort(text.begin(), text.end(), [&](int a, int b) {
        return components_[std::size_t(a)].box.left() < components_[std::size_t(b)].box.left();
    });
    for (std::size_t i = 0; i < text.size(); ++i) {
        const QRect& a = components_[std::size_t(text[i])].box;
        for (std::size_t j = i + 1; j < text.size(); ++j) {
            const QRect& b = components_[std::size_t(text[j])].box;
            const int tall = std::max(a.height(), b.height());
            if (b.left() - a.right() - 1 > tall)
                break;
            const int gap = b.left() - std::max(a.right(), b.left() - 1) - 1;
            const bool sameRow = overlap(a.top(), a.bottom() + 1, b.top(), b.bottom() + 1) > 0;
            if (sameRow && gap <= std::max(2, tall * 7 / 10))
                groups.join(text[i], text[j]);
        }
    }
    std::vector<int> blobOf(components_.size(), -1);
    for (int i : text) {
        const int root = groups.find(i);
        if (blobOf[std::size_t(root)] < 0) {
            blobOf[std::size_t(root)] = int(blobs_.size());
            blobs_.push_back(
                Blob{components_[std::size_t(i)].box, {}, {}, false, false, 0, 0, 0, 0});
        }
        Blob& blob = blobs_[std::size_t(blobOf[std::size_t(root)])];
        blob.box |= components_[std::size_t(i)].box;
        blob.main.push_back(i);
    }
    for (Blob& blob : blobs_) {
        splitBlob(blob);
        const QRect& b = blob.box;
        if (line_.upright) {
            blob.along = along0_ + (b.top() + b.bottom()) / 2.0;
            blob.reach = b.height() / 2.0;
            blob.distance = width_ - 1 - b.right();
        } else {
            blob.along = along0_ + (b.left() + b.right()) / 2.0;
            blob.reach = b.width() / 2.0;
            blob.distance = b.top();
        }
    }
}

void LabelStrip::splitBlob(Blob& blob) const {
    auto box = [&](int i) { return components_[std::size_t(i)].box; };
    std::sort(blob.main.begin(), blob.main.end(),
              [&](int a, int b) { return box(a).left() < box(b).left(); });
    // The body's characters are the tallest; its baseline is their lowest row. An exponent is
    // printed smaller and raised by a third or so of that height, right of the body.
    int tall = 0;
    for (int i : blob.main)
        tall = std::max(tall, box(i).height());
    int baseline = 0;
    for (int i : blob.main)
        if (box(i).height() * 5 >= tall * 4)
            baseline = std::max(baseline, box(i).bottom());
    const int raisedBottom = baseline - tall / 4;
    auto flatDash = [&](const QRect& d, int height) {
        return d.height() * 3 <= height && d.width() >= d.height() * 3 / 2 && d.width() >= 2;
    };
    std::vector<int> body;
    for (std::size_t k = 0; k < blob.main.size(); ++k) {
        const QRect b = box(blob.main[k]);
        const bool raisedDigit = k > 0 && b.bottom() < raisedBottom &&
                                 b.height() * 10 >= tall * 4 && b.height() * 10 < tall * 9;
        (raisedDigit ? blob.exponent : body).push_back(blob.main[k]);
    }
    if (!blob.exponent.empty()) {
        // A raised dash just left of the exponent's digits is its minus.
        const int first = blob.exponent.front();
        for (auto it = body.begin(); it != body.end(); ++it) {
            const QRect d = box(*it);
            if (d.right() <= box(first).left() && d.bottom() < raisedBottom &&
                flatDash(d, box(first).height()) && it != body.begin()) {
                blob.exponentMinus = true;
                body.erase(it);
                break;
            }
        }
    }
    blob.main = body;
    if (blob.main.size() >= 2 && flatDash(box(blob.main.front()), tall)) {
        blob.minus = true;
        blob.main.erase(blob.main.begin());
    }
    if (!blob.main.empty())
        blob.bodyWidth = box(blob.main.back()).right() - box(blob.main.front()).left() + 1;
}

QImage LabelStrip::render(const Blob& blob, bool exponent) const {
    return renderParts(exponent ? blob.exponent : blob.main);
}

QImage LabelStrip::renderWords(const Blob& blob) const {
    std::vector<int> parts = blob.main;
    parts.insert(parts.end(), blob.exponent.begin(), blob.exponent.end());
    return renderParts(parts);
}

QImage LabelStrip::renderParts(const std::vector<int>& parts) const {
    if (parts.empty())
        return {};
    QRect area = components_[std::size_t(parts.front())].box;
    for (int i : parts)
        area |= components_[std::size_t(i)].box;
    const int pad = std::max(2, area.height() / 3);
    QImage image(area.width() + 2 * pad, area.height() + 2 * pad, QImage::Format_Grayscale8);
    image.fill(255);
    // The paper's own shade becomes white, so that the reader sees the usual contrast.
    const int paper = paper_;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar* out = image.scanLine(y - area.top() + pad);
        for (int x = area.left(); x <= area.right(); ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width_) + std::size_t(x);
            const int c = component_[i] - 1;
            const bool ours = c < 0 || std::find(parts.begin(), parts.end(), c) != parts.end();
            if (ours)
                out[x - area.left() + pad] = uchar(std::min(255, gray_[i] * 255 / paper));
        }
    }
    const int target = 40 + 2 * 40 / 3;
    return image.scaledToHeight(std::max(target, image.height()), Qt::SmoothTransformation);
}

QPolygonF LabelStrip::outline(const Blob& blob) const {
    const QRectF b = QRectF(blob.box).adjusted(-0.5, -0.5, 0.5, 0.5);
    return QPolygonF({toPicture(b.left(), b.top()), toPicture(b.right(), b.top()),
                      toPicture(b.right(), b.bottom()), toPicture(b.left(), b.bottom()),
                      toPicture(b.left(), b.top())});
}

} // namespace kurvana
