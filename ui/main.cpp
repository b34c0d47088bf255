#include <cstdio>
#include <optional>

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QLocale>

#include "core/document.h"
#include "core/workspace.h"
#include "io/exportcommandline.h"
#include "io/picturereadahead.h"
#include "platform/standardoutput.h"
#include "platform/windows/qtdialogs.h"
#include "recognition/axes/findaxescommand.h"
#include "recognition/ocr/tesseractreader.h"
#include "settings/settingsfile.h"
#include "settings/settingslocation.h"
#include "ui/application.h"
#include "ui/digitisecommand.h"
#include "ui/findmarkerscommand.h"
#include "ui/kurvana.h"

namespace {

/// The name the user's configuration and data folders are called after, whatever the program
/// file is called.
constexpr char kApplicationName[] = "kurvana2";

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

/// Readies a document as the program's own start does: program folder, decimal separator,
/// settings.
void prepareDocument(kurvana::Document& doc, const QString& folder, QChar separator) {
    doc.programDir = folder;
    kurvana::LocateProgramFiles(doc);
    doc.decimalSeparator = separator;
    kurvana::WindowPlacements placements;
    kurvana::LoadSettings(doc, placements);
}

/// kurvana2 --export ...: the digitised data of saved charts, without a window or a display.
int exportDataFiles(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kApplicationName);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    const QString folder = programDir();
    const QChar separator = systemDecimalSeparator();
    kurvana::StandardOutput out;
    QFile err;
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return kurvana::RunExportCommand(
        arguments, [&](kurvana::Document& doc) { prepareDocument(doc, folder, separator); }, out,
        err);
}

/// kurvana2 --find-markers X,Y PICTURE [--calibration DATA.gra]: the markers like the one at
/// (X, Y), as JSON, without a window or a display.
int findMarkers(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kApplicationName);
    const QString folder = programDir();
    const QChar separator = systemDecimalSeparator();
    return kurvana::RunFindMarkersCommand(
        QCoreApplication::arguments().mid(2),
        [&](kurvana::Document& doc) { prepareDocument(doc, folder, separator); });
}

/// Says on standard error when labels cannot be read, so that a missing calibration is
/// explained.
void warnWithoutLabels(const kurvana::TesseractReader& reader) {
    if (!reader.available())
        std::fputs("kurvana2: labels cannot be read (the label module or Tesseract's English data "
                   "are missing)\n",
                   stderr);
}

/// kurvana2 --digitise ...: whole charts read into numbers, without a window or a display.
int digitiseCharts(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kApplicationName);
    const QString folder = programDir();
    const QChar separator = systemDecimalSeparator();
    kurvana::TesseractReader reader;
    warnWithoutLabels(reader);
    kurvana::StandardOutput out;
    QFile err;
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return kurvana::RunDigitiseCommand(
        QCoreApplication::arguments().mid(2),
        [&](kurvana::Document& doc) { prepareDocument(doc, folder, separator); }, reader, out, err,
        isatty(STDERR_FILENO) != 0);
}

/// kurvana2 --version and --help: answered on standard output without a display; the exit
/// status (1 when the answer could not be written), or nothing for any other first argument.
std::optional<int> printVersionOrHelp(const char* option) {
    if (qstrcmp(option, "--version") == 0)
        return kurvana::PrintToStandardOutput("kurvana2 " KURVANA_VERSION "\n") ? 0 : 1;
    if (qstrcmp(option, "--help") != 0 && qstrcmp(option, "-h") != 0)
        return std::nullopt;
    constexpr char kHelp[] =
        "Usage: kurvana2 [PICTURE | DATA.gra]\n"
        "       kurvana2 --page N --dpi D PAPER.pdf\n"
        "       kurvana2 --export [--format csv|tsv|json] [-o OUT] DATA.gra...\n"
        "       kurvana2 --find-axes PICTURE\n"
        "       kurvana2 --find-markers X,Y PICTURE [--calibration DATA.gra]\n"
        "       kurvana2 --digitise [--format csv|tsv|json] [-o OUT] [--calibration CAL]\n"
        "                [--step DX] [--page N] [--dpi D] [--pages all] PICTURE|PDF...\n"
        "       kurvana2 --version | --help\n"
        "\n"
        "Kurvana II turns a picture of a chart into numbers.\n"
        "\n"
        "  PICTURE            open a chart picture (BMP, PNG, JPEG, GIF, TIFF)\n"
        "  DATA.gra           open a data file together with its picture copy\n"
        "  PAPER.pdf          open a page of a PDF document (a page chooser opens;\n"
        "                     --page N and --dpi D open page N at D dots per inch)\n"
        "  --export DATA.gra  print the table of a data file as tab-separated text,\n"
        "                     without a window or a display; --format csv, tsv or\n"
        "                     json chooses another form, -o OUT writes it to a file;\n"
        "                     several files each get NAME.csv/.tsv/.json beside them;\n"
        "                     -o naming a pipe or device writes into it (exit 0, 1 when\n"
        "                     any file could not be read or written, 2 usage error)\n"
        "  --find-axes PICTURE  print the calibration proposed from the chart's axes as\n"
        "                     JSON; exit 0 full, 1 partial, 2 no axis found, 3 the\n"
        "                     picture cannot be read, 4 a usage error or the answer\n"
        "                     cannot be written\n"
        "  --find-markers X,Y PICTURE  print every marker like the one at pixel X,Y\n"
        "                     (its shape, size, colour; each centre and error bar\n"
        "                     ends in pixels) as JSON; --calibration DATA.gra adds\n"
        "                     their axis values (exit 0 found, 2 none or unreadable)\n"
        "  --digitise PICTURE|PDF...  read each whole chart (axes, up to five series,\n"
        "                     legend names) into numbers in the forms of --export;\n"
        "                     one chart goes to standard output or -o OUT, several\n"
        "                     each to NAME.ext beside it or in the folder -o names;\n"
        "                     --calibration CAL reuses the calibration of a .gra\n"
        "                     file or of JSON (an export or its calibration object)\n"
        "                     instead of finding the axes; --step DX samples curves\n"
        "                     every DX along X; a PDF takes --page N and --dpi D, or\n"
        "                     every page with --pages all (NAME-pN.ext), which also\n"
        "                     reads each chart of a page of several (NAME-pN-cJ.ext,\n"
        "                     NAME-cJ.ext of a picture); inputs of one stem (a.png,\n"
        "                     a.pdf) keep their extension (a.png.csv, a.pdf.csv), and\n"
        "                     no output of a run replaces an earlier one (NAME-2.ext);\n"
        "                     exit 0 every chart gave a calibration and a series, 1\n"
        "                     some gave less (the reason per chart on standard\n"
        "                     error), 2 none could be read or a usage error\n"
        "  --version          print the version and exit\n"
        "  --help             print this help and exit\n"
        "\n"
        "Every answer on standard output is checked: when it cannot be written (a full\n"
        "disk, /dev/full) the reason goes to standard error and the exit status is\n"
        "non-zero.\n";
    return kurvana::PrintToStandardOutput(kHelp) ? 0 : 1;
}

/// kurvana2 --find-axes PICTURE: the calibration the axis finder proposes, as JSON on standard
/// output, the picture read as the window reads it; exit statuses in FindAxesExit.
int findAxes(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<QString> file = optionFile("--find-axes PICTURE");
    if (!file)
        return kurvana::FindAxesOutputFailed;
    kurvana::TesseractReader reader;
    warnWithoutLabels(reader);
    QFile out, err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return kurvana::RunFindAxesCommand(*file, reader, out, err);
}

/// The file named alone on the command line, or nothing.
QString soleCommandLineFile() {
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments[1].startsWith('-'))
        return {};
    return arguments[1];
}

bool displayAvailable() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2)
        if (const std::optional<int> status = printVersionOrHelp(argv[1]))
            return *status;
    if (argc >= 2 && qstrcmp(argv[1], "--export") == 0)
        return exportDataFiles(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--find-axes") == 0)
        return findAxes(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--find-markers") == 0)
        return findMarkers(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--digitise") == 0)
        return digitiseCharts(argc, argv);
    if (!displayAvailable()) {
        std::fputs("kurvana2: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it from "
                   "a desktop session or under xvfb-run.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationName);
    // A picture named on the command line is read while the windows are made.
    kurvana::PictureReadAhead readAhead(soleCommandLineFile());
    // Lets the desktop match the windows with the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName("org.example.kurvana.kurvana2");
    // No application display name: on X11 Qt appends it to every window caption ("Table of
    // Data — Kurvana II"). The application title captions the message boxes (QtDialogs).

    kurvana::Document doc;
    kurvana::platform::QtDialogs dialogs;
    kurvana::KurvanaApplication program(doc, dialogs);
    dialogs.setParentWindow(&program.mainWindow());

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    program.start(programDir(), arguments, systemDecimalSeparator());
    readAhead.drop(); // not taken when the file was not opened
    return QApplication::exec();
}
