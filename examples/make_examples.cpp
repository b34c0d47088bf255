// Writes the bundled sample charts and their known data:
//   make_examples FOLDER                  level_linear, log_scale, tilted_scan
//   make_examples --large FOLDER [SCALE]  large_scan (7016 x 4961 at scale 1)
#include <cstdio>

#include <QGuiApplication>
#include <QStringList>

#include "samples.h"

using namespace examples;

namespace {

int usage() {
    std::fputs("usage: make_examples FOLDER\n"
               "       make_examples --large FOLDER [SCALE]\n",
               stderr);
    return 2;
}

bool write(const ChartSpec& spec, const QString& folder) {
    const QString error = WriteChart(spec, RenderChart(spec), folder);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "make_examples: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool large = !args.isEmpty() && args.first() == "--large";
    if (large)
        args.removeFirst();
    if (args.isEmpty() || args.size() > (large ? 2 : 1))
        return usage();
    const QString folder = args.first();
    if (large) {
        bool ok = true;
        const double scale = args.size() > 1 ? args.at(1).toDouble(&ok) : 1.0;
        if (!ok || scale <= 0.0 || scale > 1.0)
            return usage();
        return write(LargeSample(scale), folder) ? 0 : 1;
    }
    for (const ChartSpec& spec : StandardSamples())
        if (!write(spec, folder))
            return 1;
    return 0;
}
