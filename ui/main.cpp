#include <cstdio>
#include <optional>

#include <QApplication>
#include <QImage>
#include <QLocale>

#include "core/document.h"
#include "core/workspace.h"
#include "io/export.h"
#include "platform/windows/qtdialogs.h"
#include "settings/settingsfile.h"
#include "tracing/findaxes.h"
#include "tracing/tesseractreader.h"
#include "ui/application.h"
#include "ui/kurvana.h"

namespace {

/// The decimal separator of the system's default locale, read once at start-up.
QChar systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar('.') : point.front();
}

QString programDir() {
    return QCoreApplication::applicationDirPath() + '/';
}

/// The one file named after a command-line option, or nothing (and the usage on standard
/// error) when there is not exactly one.
std::optional<QString> optionFile(const char* usage) {
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3)
        return arguments[2];
    std::fprintf(stderr, "usage: kurvana2 %s\n", usage);
    return std::nullopt;
}

/// kurvana2 --export FILE.gra: the clipboard text the program would give right after opening
/// the file at start-up, on standard output. No window, no display, no file written.
int exportDataFile(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<QString> file = optionFile("--export FILE.gra");
    if (!file)
        return 2;
    kurvana::Document doc;
    doc.programDir = programDir();
    doc.decimalSeparator = systemDecimalSeparator();
    try {
        kurvana::WindowPlacements placements;
        kurvana::LoadSettings(doc, placements);
        const QByteArray text = kurvana::ExportDataFileText(doc, *file).toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return 0;
    } catch (const kurvana::CommandError& error) {
        std::fprintf(stderr, "kurvana2: %s\n", error.text().toLocal8Bit().constData());
        return 1;
    }
}

/// kurvana2 --find-axes PICTURE: the calibration the axis finder proposes, as JSON on standard
/// output. Exit status 0 for a full proposal, 1 for a partial one, 2 when no axis was found or
/// the picture cannot be read.
int findAxes(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<QString> file = optionFile("--find-axes PICTURE");
    if (!file)
        return 2;
    const QImage picture(*file);
    if (picture.isNull()) {
        std::fprintf(stderr, "kurvana2: %s cannot be read as a picture\n",
                     file->toLocal8Bit().constData());
        return 2;
    }
    kurvana::TesseractReader reader;
    if (!reader.available())
        std::fputs("kurvana2: the Tesseract English data are missing; labels cannot be read\n",
                   stderr);
    const kurvana::AxisProposal proposal = kurvana::FindAxes(picture, reader);
    const QByteArray json = kurvana::ProposalJson(proposal);
    std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
    return proposal.complete() ? 0 : proposal.empty() ? 2 : 1;
}

bool displayAvailable() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && qstrcmp(argv[1], "--export") == 0)
        return exportDataFile(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--find-axes") == 0)
        return findAxes(argc, argv);
    if (!displayAvailable()) {
        std::fputs("kurvana2: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it from "
                   "a desktop session or under xvfb-run.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("\"Kurvana II\"");

    kurvana::Document doc;
    kurvana::platform::QtDialogs dialogs;
    kurvana::KurvanaApplication program(doc, dialogs);
    dialogs.setParentWindow(&program.mainWindow());

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    program.start(programDir(), arguments, systemDecimalSeparator());
    return QApplication::exec();
}
