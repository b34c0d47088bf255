#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QCoreApplication>

#include "fuzzinput.h"
#include "fuzzworkspace.h"

namespace kurvana::fuzz {

void PropertyFailed(const char* what, const QString& detail) {
    std::fprintf(stderr, "property failed: %s %s\n", what, qPrintable(detail));
    std::abort();
}

Document& FreshDocument() {
    static const auto pristine = std::make_unique<const Document>();
    static const auto document = std::make_unique<Document>();
    *document = *pristine;
    return *document;
}

FuzzWorkspace::FuzzWorkspace(const QImage& picture) {
    for (int slot = 1; slot <= 21; ++slot)
        doc->texts.setMessage(slot, QString("M%1").arg(slot));
    InstallNewPicture(ws, picture);
}

QImage WhitePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

} // namespace kurvana::fuzz

// Qt's text codecs and picture readers want an application object; the fuzzer makes one
// before the first input.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    return 0;
}
