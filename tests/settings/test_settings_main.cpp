// The settings file and the language file run in one executable without widgets.
#include <QCoreApplication>

int RunSettingsFileTests(int argc, char** argv);
int RunLanguageFileTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failures = 0;
    failures += RunSettingsFileTests(argc, argv);
    failures += RunLanguageFileTests(argc, argv);
    return failures;
}
