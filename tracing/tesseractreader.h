#pragma once

#include <memory>

#include "tracing/labelreader.h"

namespace kurvana {

/// Label reading with the Tesseract engine and its English data, restricted to the characters
/// of numbers (digits, minus and plus, decimal point and comma, e for exponents), one line per
/// call. Without the engine's data every read gives an empty text and available() is false.
class TesseractReader : public LabelReader {
public:
    TesseractReader();
    ~TesseractReader() override;
    bool available() const;
    QString read(const QImage& label) override;

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace kurvana
