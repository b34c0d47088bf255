// The label module: Tesseract behind TextLineEngine, loaded by the program when Find axes
// first reads a label.

#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QRegularExpression>

#include <tesseract/baseapi.h>

#include "recognition/ocr/textlineengine.h"

namespace kurvana {

namespace {

constexpr const char* kNumberCharacters = "0123456789-+.,eE";

class TesseractEngine : public TextLineEngine {
public:
    /// Starts the engine restricted to the characters of numbers (digits, minus and plus,
    /// decimal point and comma, e for exponents); false when its English data are missing.
    bool start() {
        // The word lists only get in the way of numbers; they can be switched off only at start.
        std::vector<std::string> names{"load_system_dawg", "load_freq_dawg"};
        std::vector<std::string> values{"0", "0"};
        if (api_.Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values,
                      false) != 0)
            return false;
        started_ = true;
        api_.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
        api_.SetVariable("tessedit_char_whitelist", kNumberCharacters);
        api_.SetVariable("user_defined_dpi", "300");
        api_.SetVariable("debug_file", "/dev/null");
        return true;
    }

    ~TesseractEngine() override {
        if (started_)
            api_.End();
    }

    QString read(const QImage& label) override {
        const QImage grey = label.convertToFormat(QImage::Format_Grayscale8);
        api_.SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
        const std::unique_ptr<char[]> text(api_.GetUTF8Text());
        QString result = text ? QString::fromUtf8(text.get()) : QString();
        result.remove(QRegularExpression("\\s"));
        if (result.isEmpty()) {
            // A lone character is often not taken for a line; try it as one character.
            api_.SetPageSegMode(tesseract::PSM_SINGLE_CHAR);
            const std::unique_ptr<char[]> single(api_.GetUTF8Text());
            api_.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
            result = single ? QString::fromUtf8(single.get()).simplified().remove(' ') : QString();
        }
        return result;
    }

    QString readWords(const QImage& line) override {
        // Words may hold any character; the number restriction is lifted for this one read.
        api_.SetVariable("tessedit_char_whitelist", "");
        const QImage grey = line.convertToFormat(QImage::Format_Grayscale8);
        api_.SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
        const std::unique_ptr<char[]> text(api_.GetUTF8Text());
        api_.SetVariable("tessedit_char_whitelist", kNumberCharacters);
        return text ? QString::fromUtf8(text.get()).simplified() : QString();
    }

private:
    tesseract::TessBaseAPI api_;
    bool started_ = false;
};

} // namespace

} // namespace kurvana

extern "C" __attribute__((visibility("default"))) kurvana::TextLineEngine*
kurvana_open_label_reader() {
    auto engine = std::make_unique<kurvana::TesseractEngine>();
    return engine->start() ? engine.release() : nullptr;
}
