// e2e_screen: the eyes of the end-to-end run. It finds things on screenshots of the running
// program (the picture, toolbar buttons by their image, captions by their text, colour swatches)
// and compares the exported table with a sample chart's known data.
//
//   e2e_screen picture SHOT.png PICTURE.bmp [X Y W H]   -> "x y" of picture pixel (0, 0)
//   e2e_screen icon SHOT.png INDEX [X Y W H]            -> centre of toolbar image INDEX
//   e2e_screen text SHOT.png TEXT [X Y W H]             -> centre of every place showing TEXT
//   e2e_screen block SHOT.png #rrggbb W H [X Y W H]     -> centre of a solid block of the colour
//   e2e_screen pick KNOWN.txt CURVE COUNT               -> "x y" pixels of the points to click
//   e2e_screen check KNOWN.txt CLIPBOARD.txt [--picked LINE COUNT] [--search LINE MIN MAX]...
//   e2e_screen checkgrid SHOT.png KNOWN.txt PICTURE.bmp PIC_X PIC_Y
//                                                       -> "v h": check-grid lines found, all
//                                                          on the chart's own grid lines
//
// SHOT.png may be "-": the screen as it is at that moment, taken from the X server directly.
// The optional X Y W H limits a search to that screen rectangle (a window's geometry). Searches
// print nothing and exit with 1 when they find nothing; a failed check lists its problems and
// exits with 1.

#include <cstdio>
#include <functional>
#include <map>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QStringList>

#include "gridcheck.h"
#include "knowndata.h"
#include "screensearch.h"
#include "tablecheck.h"
#include "ui/artwork.h"

namespace {

using Args = QStringList;

void print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
}

int fail(const QString& message) {
    std::fprintf(stderr, "e2e_screen: %s\n", qPrintable(message));
    return 2;
}

int printPoint(const std::optional<QPoint>& point) {
    if (!point)
        return 1;
    print(QString("%1 %2").arg(point->x()).arg(point->y()));
    return 0;
}

/// The screenshot in `path`, or the screen as it is now when `path` is "-".
QImage loadScreen(const QString& path) {
    if (path != "-")
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32)
                  : QImage();
}

/// The search rectangle from the four arguments after `first`, or the whole screen.
QRect area(const Args& args, int first, const QImage& screen) {
    if (args.size() < first + 4)
        return screen.rect();
    return QRect(args[first].toInt(), args[first + 1].toInt(), args[first + 2].toInt(),
                 args[first + 3].toInt());
}

int picture(const Args& args) {
    const QImage screen = loadScreen(args.value(0));
    const QImage chart = QImage(args.value(1)).convertToFormat(QImage::Format_RGB32);
    if (screen.isNull() || chart.isNull())
        return fail("cannot read the screenshot or the picture");
    return printPoint(e2e::LocatePicture(screen, chart, area(args, 2, screen)));
}

int icon(const Args& args) {
    const QImage screen = loadScreen(args.value(0));
    const QImage image = kurvana::ToolbarImage(args.value(1).toInt()).toImage();
    if (screen.isNull() || image.isNull())
        return fail("cannot read the screenshot or no such toolbar image");
    return printPoint(e2e::FindIcon(screen, image, area(args, 2, screen)));
}

int text(const Args& args) {
    const QImage screen = loadScreen(args.value(0));
    const std::vector<QImage> variants = e2e::TextVariants(args.value(1));
    if (screen.isNull() || variants.empty())
        return fail("cannot read the screenshot or the text has no ink");
    for (const QImage& glyphs : variants) {
        const std::vector<QPoint> found = e2e::FindText(screen, glyphs, area(args, 2, screen));
        for (const QPoint& p : found)
            print(QString("%1 %2").arg(p.x()).arg(p.y()));
        if (!found.empty())
            return 0;
    }
    return 1;
}

int block(const Args& args) {
    const QImage screen = loadScreen(args.value(0));
    const QColor colour(args.value(1));
    if (screen.isNull() || !colour.isValid())
        return fail("cannot read the screenshot or the colour");
    const QSize size(args.value(2).toInt(), args.value(3).toInt());
    return printPoint(e2e::FindSolidBlock(screen, colour.rgb(), size, area(args, 4, screen)));
}

std::optional<e2e::KnownChart> knownChart(const QString& path) {
    QString error;
    auto chart = e2e::ReadKnownChart(path, &error);
    if (!chart)
        fail(error);
    return chart;
}

int pick(const Args& args) {
    const auto chart = knownChart(args.value(0));
    if (!chart)
        return 2;
    const auto points = e2e::PointsToPick(*chart, args.value(1).toInt(), args.value(2).toInt());
    if (points.empty())
        return fail("the curve has too few points clear of the others");
    for (const e2e::KnownPoint& p : points)
        print(QString("%1 %2").arg(p.pixel.x()).arg(p.pixel.y()));
    return 0;
}

int check(const Args& args) {
    const auto chart = knownChart(args.value(0));
    QFile clipboard(args.value(1));
    if (!chart || !clipboard.open(QIODevice::ReadOnly))
        return fail("cannot read the known data or the clipboard text");
    std::vector<e2e::LineExpectation> expected;
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == "--picked" && i + 2 < args.size()) {
            const int line = args[i + 1].toInt();
            const int count = args[i + 2].toInt();
            expected.push_back({line, count, count, e2e::PointsToPick(*chart, line, count)});
            i += 2;
        } else if (args[i] == "--search" && i + 3 < args.size()) {
            expected.push_back({args[i + 1].toInt(), args[i + 2].toInt(), args[i + 3].toInt(), {}});
            i += 3;
        } else {
            return fail("unknown check option " + args[i]);
        }
    }
    QStringList problems;
    QStringList report;
    const e2e::ClipboardLines lines =
        e2e::ParseClipboardText(QString::fromUtf8(clipboard.readAll()), problems);
    problems << e2e::CheckLines(*chart, lines, expected, report);
    for (const QString& line : report)
        print(line);
    for (const QString& problem : problems)
        print("PROBLEM: " + problem);
    return problems.isEmpty() ? 0 : 1;
}

/// Succeeds when the screenshot shows at least five check-grid lines each way inside the plot
/// and every one of them lies on a grid line of the chart itself.
int checkgrid(const Args& args) {
    const QImage screen = loadScreen(args.value(0));
    const auto chart = knownChart(args.value(1));
    const QImage picture = QImage(args.value(2)).convertToFormat(QImage::Format_RGB32);
    if (screen.isNull() || !chart || picture.isNull())
        return fail("cannot read the screenshot, the known data or the picture");
    const e2e::GridMatch m = e2e::MatchCheckGrid(
        screen, picture, *chart, QPoint(args.value(3).toInt(), args.value(4).toInt()));
    std::fprintf(stderr, "e2e_screen: grid lines %d/%d vertical, %d/%d horizontal on the chart's\n",
                 m.verticalOnChart, m.vertical, m.horizontalOnChart, m.horizontal);
    if (m.vertical < 5 || m.horizontal < 5 || m.verticalOnChart != m.vertical ||
        m.horizontalOnChart != m.horizontal)
        return 1;
    print(QString("%1 %2").arg(m.vertical).arg(m.horizontal));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Fonts and toolbar images need the same platform as the program on the screen.
    QGuiApplication app(argc, argv);
    Args args = QGuiApplication::arguments().mid(1);
    const QString command = args.value(0);
    args.removeFirst();
    const std::map<QString, std::function<int(const Args&)>> commands{
        {"picture", picture}, {"icon", icon},   {"text", text},          {"block", block},
        {"pick", pick},       {"check", check}, {"checkgrid", checkgrid}};
    const auto found = commands.find(command);
    if (found == commands.end())
        return fail("unknown command '" + command + "'; see the head of main.cpp");
    return found->second(args);
}
