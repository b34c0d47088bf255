#include "bench/accuracy/charts.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

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

/// The gnuplot script: the frame of GnuplotFrame, every curve sampled finer than a pixel.
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
    return {cx + c * dx + s * dy, cy - s * dx + c * dy};
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
    if (quick) {
        charts.push_back(tilted);
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
    return charts;
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
    const QString scriptPath = folder + "/chart.gp";
    QFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the gnuplot script");
    script.write(scriptText.toUtf8());
    script.close();
    QProcess gnuplot;
    gnuplot.start("gnuplot", {scriptPath});
    if (!gnuplot.waitForFinished(120000) || gnuplot.exitCode() != 0)
        throw std::runtime_error("gnuplot failed: " + gnuplot.readAllStandardError().toStdString());
    QImage image(png);
    if (image.isNull())
        throw std::runtime_error("gnuplot wrote no picture");
    image = image.convertToFormat(QImage::Format_RGB32);
    if (chart.tiltDegrees != 0)
        image = tiltedPicture(chart, image);
    if (chart.jpeg)
        image = throughJpeg(image);
    return image;
}

} // namespace kurvana::accuracy
