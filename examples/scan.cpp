#include "scan.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace examples {

namespace {

struct Rotation {
    double cx, cy, c, s;
    Rotation(const QSize& size, double degrees)
        : cx(size.width() / 2.0), cy(size.height() / 2.0),
          c(std::cos(degrees * std::numbers::pi / 180.0)),
          s(std::sin(degrees * std::numbers::pi / 180.0)) {}
    // Paper position to picture position (y downwards, so counter-clockwise lifts +x).
    QPointF forward(QPointF p) const {
        const double dx = p.x() - cx, dy = p.y() - cy;
        return {cx + dx * c + dy * s, cy - dx * s + dy * c};
    }
    QPointF inverse(QPointF q) const {
        const double ex = q.x() - cx, ey = q.y() - cy;
        return {cx + ex * c - ey * s, cy + ex * s + ey * c};
    }
};

QRgb samplePaper(const QImage& paper, QPointF p) {
    // p is a continuous position; pixel centres sit at +0.5.
    const double fx = p.x() - 0.5, fy = p.y() - 0.5;
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const double ax = fx - x0, ay = fy - y0;
    double sum[3] = {0, 0, 0};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const int x = x0 + i, y = y0 + j;
            QRgb px = qRgb(255, 255, 255);
            if (x >= 0 && y >= 0 && x < paper.width() && y < paper.height())
                px = reinterpret_cast<const QRgb*>(paper.constScanLine(y))[x];
            const double w = (i ? ax : 1.0 - ax) * (j ? ay : 1.0 - ay);
            sum[0] += w * qRed(px);
            sum[1] += w * qGreen(px);
            sum[2] += w * qBlue(px);
        }
    return qRgb(int(std::lround(sum[0])), int(std::lround(sum[1])), int(std::lround(sum[2])));
}

bool lightAround(const QImage& picture, int x, int y) {
    for (int j = y - 1; j <= y + 1; ++j) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(j));
        for (int i = x - 1; i <= x + 1; ++i)
            if (qRed(row[i]) <= 200 || qGreen(row[i]) <= 200 || qBlue(row[i]) <= 200)
                return false;
    }
    return true;
}

} // namespace

QImage TiltPaper(const QImage& paper, double degrees) {
    const Rotation rotation(paper.size(), degrees);
    QImage picture(paper.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] = samplePaper(paper, rotation.inverse(QPointF(x + 0.5, y + 0.5)));
    }
    return picture;
}

QPoint TiltedPixel(const QSize& size, double degrees, const QPoint& paperPixel) {
    const QPointF q = Rotation(size, degrees).forward(QPointF(paperPixel) + QPointF(0.5, 0.5));
    return {int(std::floor(q.x())), int(std::floor(q.y()))};
}

void AddScanNoise(QImage& picture, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(0, 16);
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int d = grain(random);
            row[x] = qRgb(std::max(0, qRed(row[x]) - d), std::max(0, qGreen(row[x]) - d),
                          std::max(0, qBlue(row[x]) - d));
        }
    }
    // Dust: single dark pixels on clean paper, which the picture clean-up removes.
    std::uniform_int_distribution<int> column(2, picture.width() - 3);
    std::uniform_int_distribution<int> line(2, picture.height() - 3);
    std::uniform_int_distribution<int> darkness(20, 90);
    const int specks = picture.width() * picture.height() / 2000;
    for (int i = 0; i < specks; ++i) {
        const int x = column(random), y = line(random);
        if (!lightAround(picture, x, y))
            continue;
        const int v = darkness(random);
        reinterpret_cast<QRgb*>(picture.scanLine(y))[x] = qRgb(v, v, v);
    }
}

} // namespace examples
