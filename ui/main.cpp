#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QLocale>

#include "core/document.h"
#include "core/workspace.h"
#include "io/exportcommandline.h"
#include "platform/windows/qtdialogs.h"
#include "settings/settingsfile.h"
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

/// kurvana2 --export ...: the digitised data of saved charts, without a window or a display.
int exportDataFiles(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    const QString folder = programDir();
    const QChar separator = systemDecimalSeparator();
    QFile out, err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return kurvana::RunExportCommand(
        arguments,
        [&](kurvana::Document& doc) {
            doc.programDir = folder;
            doc.decimalSeparator = separator;
            kurvana::WindowPlacements placements;
            kurvana::LoadSettings(doc, placements);
        },
        out, err);
}

bool displayAvailable() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && qstrcmp(argv[1], "--export") == 0)
        return exportDataFiles(argc, argv);
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
