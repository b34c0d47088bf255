#include "tracing/tesseractreader.h"

#include <string>
#include <vector>

#include <QImage>
#include <QRegularExpression>

#include <tesseract/baseapi.h>

namespace kurvana {

struct TesseractReader::Engine {
    tesseract::TessBaseAPI api;
    bool ready = false;
};

TesseractReader::TesseractReader() : engine_(std::make_unique<Engine>()) {
    // The word lists only get in the way of numbers; they can be switched off only at start.
    std::vector<std::string> names{"load_system_dawg", "load_freq_dawg"};
    std::vector<std::string> values{"0", "0"};
    engine_->ready = engine_->api.Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &names,
                                       &values, false) == 0;
    if (!engine_->ready)
        return;
    engine_->api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    engine_->api.SetVariable("tessedit_char_whitelist", "0123456789-+.,eE");
    engine_->api.SetVariable("user_defined_dpi", "300");
    engine_->api.SetVariable("debug_file", "/dev/null");
}

TesseractReader::~TesseractReader() {
    if (engine_->ready)
        engine_->api.End();
}

bool TesseractReader::available() const {
    return engine_->ready;
}

QString TesseractReader::read(const QImage& label) {
    if (!engine_->ready || label.isNull())
        return {};
    const QImage gray = label.convertToFormat(QImage::Format_Grayscale8);
    engine_->api.SetImage(gray.constBits(), gray.width(), gray.height(), 1,
                          int(gray.bytesPerLine()));
    const std::unique_ptr<char[]> text(engine_->api.GetUTF8Text());
    QString result = text ? QString::fromUtf8(text.get()) : QString();
    result.remove(QRegularExpression("\\s"));
    if (result.isEmpty()) {
        // A lone character is often not taken for a line; try it as one character.
        engine_->api.SetPageSegMode(tesseract::PSM_SINGLE_CHAR);
        const std::unique_ptr<char[]> single(engine_->api.GetUTF8Text());
        engine_->api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
        result = single ? QString::fromUtf8(single.get()).simplified().remove(' ') : QString();
    }
    return result;
}

} // namespace kurvana
