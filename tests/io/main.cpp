#include <QGuiApplication>
#include <QtTest>

int RunDataFileTests(int argc, char** argv);
int RunDataCommandTests(int argc, char** argv);
int RunPictureCommandTests(int argc, char** argv);
int RunPlainBitmapTests(int argc, char** argv);
int RunPdfPageTests(int argc, char** argv);
int RunExportTests(int argc, char** argv);

// One executable for the files-and-exchange area; the palette mapping needs a GUI application.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int failures = 0;
    failures += RunDataFileTests(argc, argv);
    failures += RunDataCommandTests(argc, argv);
    failures += RunPictureCommandTests(argc, argv);
    failures += RunPlainBitmapTests(argc, argv);
    failures += RunPdfPageTests(argc, argv);
    failures += RunExportTests(argc, argv);
    return failures;
}
