#include <QGuiApplication>

int RunDataFileLimitTests(int argc, char** argv);
int RunPictureLimitTests(int argc, char** argv);
int RunTextFileLimitTests(int argc, char** argv);

// One executable for the stated limits of everything read from outside, and for every fault
// that fuzzing or the random-input run found; the palette mapping needs a GUI application.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int failures = 0;
    failures += RunDataFileLimitTests(argc, argv);
    failures += RunPictureLimitTests(argc, argv);
    failures += RunTextFileLimitTests(argc, argv);
    return failures;
}
