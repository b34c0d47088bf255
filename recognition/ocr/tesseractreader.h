#pragma once

#include <memory>

#include "recognition/ocr/labelreader.h"
#include "recognition/ocr/textlineengine.h"

namespace kurvana {

/// Label reading with the Tesseract engine and its English data, restricted to the characters
/// of numbers (digits, minus and plus, decimal point and comma, e for exponents), one line per
/// call. Tesseract works in the label module (kLabelModuleFile), loaded with the first reader.
/// Without the engine's data or the module every read gives an empty text and available() is
/// false.
class TesseractReader : public LabelReader {
public:
    TesseractReader();
    ~TesseractReader() override;
    bool available() const;
    QString read(const QImage& label) override;
    QString readWords(const QImage& line) override;
    bool dataMissing() const override { return !available(); }

private:
    std::unique_ptr<TextLineEngine> engine_;
};

} // namespace kurvana
