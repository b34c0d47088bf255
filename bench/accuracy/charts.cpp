#include "bench/accuracy/charts.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include "core/projective.h"

namespace kurvana::accuracy {

namespace {

double axisT(double value, bool log) {
    return log ? std::log10(value) : value;
}

double fromT(double t, bool log) {
    return log ? std::pow(10.0, t) : t;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

QPoint rounded(QPointF p) {
    return {int(std::lround(p.x())), int(std::lround(p.y()))};
}

QString colourText(QRgb c) {
    return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0'));
}

QString screen(double pixels, double size) {
    return QString::number(pixels / size, 'g', 17);
}

/// The gnuplot script of a chart of curves, every curve sampled finer than a pixel.
QString gnuplotScript(const ChartLayout& s, const QString& output) {
    QString text = GnuplotFrame(s, output);
    QTextStream out(&text);
    out << "set samples " << 4 * s.width << "\n"
        << "plot ";
    for (std::size_t i = 0; i < s.curves.size(); ++i) {
        const Curve& c = s.curves[i];
        out << (i ? ", " : "") << c.gnuplot << " with lines lw " << c.width << " lc rgb '"
            << colourText(c.colour) << "'";
    }
    out << "\n";
    return text;
}

QRgb bilinear(const QImage& image, double x, double y) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    double sum[3] = {0, 0, 0};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const double w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            const int px = x0 + i, py = y0 + j;
            const QRgb c = image.rect().contains(px, py) ? image.pixel(px, py) : 0xFFFFFFFFu;
            sum[0] += w * qRed(c);
            sum[1] += w * qGreen(c);
            sum[2] += w * qBlue(c);
        }
    return qRgb(int(std::lround(sum[0])), int(std::lround(sum[1])), int(std::lround(sum[2])));
}

/// The picture turned as ChartLayout::tilted says, resampled bilinearly, white where nothing
/// was.
QImage tiltedPicture(const ChartLayout& s, const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    const double a = radians(s.tiltDegrees), c = std::cos(a), sn = std::sin(a);
    const double cx = s.width / 2.0, cy = s.height / 2.0;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const double dx = x - cx, dy = y - cy;
            line[x] = bilinear(image, cx + c * dx - sn * dy, cy + sn * dx + c * dy);
        }
    }
    return out;
}

/// Where an untilted chart position lies in the photograph: the plane turned about its centre
/// lines, then projected through a pinhole 1.5 widths in front of it.
QPointF photographedPoint(const ChartLayout& s, QPointF p) {
    const double ax = radians(s.viewDegreesX), ay = radians(s.viewDegreesY);
    const double cx = s.width / 2.0, cy = s.height / 2.0, distance = 1.5 * s.width;
    const double x = p.x() - cx, y = p.y() - cy;
    // Turned about the vertical line (x into depth), then about the horizontal one.
    const double x1 = x * std::cos(ay), z1 = x * std::sin(ay);
    const double y2 = y * std::cos(ax) - z1 * std::sin(ax);
    const double z2 = y * std::sin(ax) + z1 * std::cos(ax);
    const double k = distance / (distance + z2);
    return {cx + k * x1, cy + k * y2};
}

/// The photograph of the chart: each picture pixel takes the chart where the inverse of the
/// (projective) camera mapping puts it, bilinearly, white where nothing was.
QImage photographedPicture(const ChartLayout& s, const QImage& image) {
    const QPointF corners[] = {
        {0, 0}, {double(s.width), 0}, {double(s.width), double(s.height)}, {0, double(s.height)}};
    std::array<PlanePoint, 4> from, to;
    for (int i = 0; i < 4; ++i) {
        const QPointF q = photographedPoint(s, corners[i]);
        from[i] = {q.x(), q.y()};
        to[i] = {corners[i].x(), corners[i].y()};
    }
    const auto back = Projective::Through(from, to);
    if (!back)
        throw std::runtime_error("the camera mapping has no inverse");
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const auto source = back->apply({Widened(x), Widened(y)});
            line[x] = source ? bilinear(image, double(source->x), double(source->y)) : 0xFFFFFFFFu;
        }
    }
    return out;
}

QImage throughJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    QImage back;
    back.loadFromData(bytes, "JPEG");
    return back.convertToFormat(QImage::Format_RGB32);
}

Curve curve(const char* gnuplot, std::function<double(double)> f, QRgb colour, int width,
            const char* name) {
    return {gnuplot, std::move(f), colour, width, name};
}

} // namespace

QPointF ChartLayout::untilted(double x, double y) const {
    const double fx =
        (axisT(x, logX) - axisT(xMin, logX)) / (axisT(xMax, logX) - axisT(xMin, logX));
    const double fy =
        (axisT(y, logY) - axisT(yMin, logY)) / (axisT(yMax, logY) - axisT(yMin, logY));
    return {left() + fx * (right() - left()), bottom() - fy * (bottom() - top())};
}

std::pair<double, double> ChartLayout::valuesAt(QPointF p) const {
    const double fx = (p.x() - left()) / (right() - left());
    const double fy = (bottom() - p.y()) / (bottom() - top());
    const double tx = axisT(xMin, logX) + fx * (axisT(xMax, logX) - axisT(xMin, logX));
    const double ty = axisT(yMin, logY) + fy * (axisT(yMax, logY) - axisT(yMin, logY));
    return {fromT(tx, logX), fromT(ty, logY)};
}

QPointF ChartLayout::tilted(QPointF p) const {
    const double a = radians(tiltDegrees), c = std::cos(a), s = std::sin(a);
    const double cx = width / 2.0, cy = height / 2.0;
    const double dx = p.x() - cx, dy = p.y() - cy;
    const QPointF turned(cx + c * dx + s * dy, cy - s * dx + c * dy);
    return photographed() ? photographedPoint(*this, turned) : turned;
}

std::array<QPoint, 4> ChartLayout::frameCorners() const {
    return {rounded(tilted(QPointF(left(), bottom()))), rounded(tilted(QPointF(right(), bottom()))),
            rounded(tilted(QPointF(right(), top()))), rounded(tilted(QPointF(left(), top())))};
}

QPoint ChartLayout::zeroPoint() const {
    return rounded(tilted(QPointF(left(), bottom())));
}

QPoint ChartLayout::xMaxPoint() const {
    return rounded(tilted(QPointF(right(), bottom())));
}

QPoint ChartLayout::yMaxPoint() const {
    return rounded(tilted(QPointF(left(), top())));
}

std::vector<ChartLayout> AccuracyCharts(bool quick) {
    const auto sinLike = [](double level, double amplitude, double k) {
        return [=](double x) { return level + amplitude * std::sin(k * x); };
    };
    const auto cosLike = [](double level, double amplitude, double k) {
        return [=](double x) { return level + amplitude * std::cos(k * x); };
    };
    const std::vector<Curve> three{
        curve("1.5+0.8*sin(x)", sinLike(1.5, 0.8, 1), qRgb(255, 0, 0), 2, "red 2 px"),
        curve("-1.5+0.8*cos(0.7*x)", cosLike(-1.5, 0.8, 0.7), qRgb(0, 0, 255), 2, "blue 2 px"),
        curve("0.3*sin(2*x)", sinLike(0, 0.3, 2), qRgb(0, 0, 0), 1, "black 1 px")};
    std::vector<ChartLayout> charts;
    ChartLayout small{"800 x 600, linear", 800, 600, false, false, 0, 10, -3, 3, three};
    charts.push_back(small);
    ChartLayout tilted = small;
    tilted.name = "1200 x 900, tilted 3 degrees";
    tilted.width = 1200;
    tilted.height = 900;
    tilted.tiltDegrees = 3;
    // Not black: the search's upright rectangle crosses the tilted black frame, where any
    // search for black takes the frame.
    tilted.curves[2] =
        curve("0.3*sin(2*x)", sinLike(0, 0.3, 2), qRgb(0, 110, 0), 2, "dark green 2 px");
    ChartLayout photo = tilted;
    photo.name = "1200 x 900, seen 20 degrees off square (upright)";
    photo.tiltDegrees = 0;
    photo.viewDegreesX = 20;
    if (quick) {
        charts.push_back(tilted);
        charts.push_back(photo);
        return charts;
    }
    ChartLayout log{"1600 x 1200, log-log",
                    1600,
                    1200,
                    true,
                    true,
                    1,
                    1000,
                    0.001,
                    100,
                    {curve(
                         "0.02*x**0.8", [](double x) { return 0.02 * std::pow(x, 0.8); },
                         qRgb(0, 160, 0), 3, "green 3 px"),
                     curve(
                         "50*x**-0.2", [](double x) { return 50 * std::pow(x, -0.2); },
                         qRgb(0, 0, 0), 2, "black 2 px"),
                     curve(
                         "0.0015*x**0.8", [](double x) { return 0.0015 * std::pow(x, 0.8); },
                         qRgb(200, 0, 200), 1, "magenta 1 px")}};
    charts.push_back(log);
    ChartLayout wide{
        "3000 x 2000, linear",
        3000,
        2000,
        false,
        false,
        0,
        10,
        -3,
        3,
        {curve("1.5+0.8*sin(x)", sinLike(1.5, 0.8, 1), qRgb(255, 128, 0), 4, "orange 4 px"),
         curve("-1.5+0.8*cos(0.7*x)", cosLike(-1.5, 0.8, 0.7), qRgb(128, 0, 160), 1, "purple 1 px"),
         curve("0.3*sin(2*x)", sinLike(0, 0.3, 2), qRgb(0, 0, 0), 3, "black 3 px")}};
    charts.push_back(wide);
    ChartLayout large{"7000 x 5000, linear", 7000, 5000, false, false, 0, 10, -3, 3, three};
    charts.push_back(large);
    charts.push_back(tilted);
    ChartLayout jpeg = tilted;
    jpeg.name = "1200 x 900, JPEG quality 75";
    jpeg.tiltDegrees = 0;
    jpeg.jpeg = true;
    jpeg.curves[2] = curve("0.3*sin(2*x)", sinLike(0, 0.3, 2), qRgb(0, 0, 0), 2, "black 2 px");
    charts.push_back(jpeg);
    charts.push_back(photo);
    ChartLayout oblique = photo;
    oblique.name = "1200 x 900, seen 15 and 12 degrees off square, tilted 2";
    oblique.viewDegreesX = -15;
    oblique.viewDegreesY = 12;
    oblique.tiltDegrees = 2;
    charts.push_back(oblique);
    ChartLayout logPhoto = log;
    logPhoto.name = "1600 x 1200, log-log, seen 20 degrees off square (sideways)";
    logPhoto.viewDegreesY = 20;
    charts.push_back(logPhoto);
    return charts;
}

QImage RunGnuplot(const QString& scriptText, const QString& png, const QString& folder) {
    const QString scriptPath = folder + "/chart.gp";
    QFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly) || script.write(scriptText.toUtf8()) < 0)
        throw std::runtime_error("cannot write the gnuplot script");
    script.close();
    QProcess gnuplot;
    gnuplot.start("gnuplot", {scriptPath});
    if (!gnuplot.waitForFinished(120000) || gnuplot.exitCode() != 0)
        throw std::runtime_error("gnuplot failed: " + gnuplot.readAllStandardError().toStdString());
    QImage image(png);
    if (image.isNull())
        throw std::runtime_error("gnuplot wrote no picture");
    return image.convertToFormat(QImage::Format_RGB32);
}

QString GnuplotFrame(const ChartLayout& s, const QString& output) {
    QString text;
    QTextStream out(&text);
    out << "set term pngcairo size " << s.width << "," << s.height
        << " background rgb 'white' font 'sans," << std::max(8, s.width / 90) << "'\n"
        << "set output '" << output
        << "'\n"
        // gnuplot's pngcairo puts screen position f at pixel index f x (size - 1), rows
        // counted from the bottom, and rounds every vertex to a whole pixel.
        << "set lmargin at screen " << screen(s.left(), s.width - 1) << "\n"
        << "set rmargin at screen " << screen(s.right(), s.width - 1) << "\n"
        << "set bmargin at screen " << screen(s.height - 1 - s.bottom(), s.height - 1) << "\n"
        << "set tmargin at screen " << screen(s.height - 1 - s.top(), s.height - 1) << "\n"
        << "set xrange [" << s.xMin << ":" << s.xMax << "]\n"
        << "set yrange [" << s.yMin << ":" << s.yMax << "]\n"
        << (s.logX ? "set logscale x\n" : "") << (s.logY ? "set logscale y\n" : "")
        << "set tics out nomirror\n"
        << "set grid xtics ytics lc rgb '#d8d8d8' lw 1 dt 1\n"
        << "unset key\n";
    return text;
}

QImage RenderChart(const ChartLayout& chart, const QString& folder) {
    return RenderScript(chart, gnuplotScript(chart, folder + "/chart.png"), folder);
}

QImage RenderScript(const ChartLayout& chart, const QString& scriptText, const QString& folder) {
    const QString png = folder + "/chart.png";
    QImage image = RunGnuplot(scriptText, png, folder);
    if (chart.tiltDegrees != 0)
        image = tiltedPicture(chart, image);
    if (chart.photographed())
        image = photographedPicture(chart, image);
    if (chart.jpeg)
        image = throughJpeg(image);
    return image;
}

} // namespace kurvana::accuracy
