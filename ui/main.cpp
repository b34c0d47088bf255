#include <QApplication>
#include <QLocale>

#include "core/document.h"
#include "platform/windows/qtdialogs.h"
#include "ui/application.h"
#include "ui/kurvana.h"

namespace {

/// The decimal separator of the system's default locale, read once at start-up.
QChar systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar('.') : point.front();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("\"Kurvana II\"");

    kurvana::Document doc;
    kurvana::platform::QtDialogs dialogs;
    kurvana::KurvanaApplication program(doc, dialogs);
    dialogs.setParentWindow(&program.mainWindow());

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    program.start(QApplication::applicationDirPath(), arguments, systemDecimalSeparator());
    return QApplication::exec();
}
