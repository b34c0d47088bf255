#pragma once

#include <QString>

class QImage;

namespace kurvana {

/// What the label module does: Tesseract's reading of one label (LabelReader::read).
class TextLineEngine {
public:
    virtual ~TextLineEngine() = default;
    /// The text read in a non-null picture, without spaces; empty when nothing was read.
    virtual QString read(const QImage& label) = 0;
    /// Words in one line of text (a legend entry, a category or month label): any letters,
    /// words separated by single spaces; empty when nothing was read.
    virtual QString readWords(const QImage& line) = 0;
};

/// The module's entry: a started engine, or null when Tesseract's English data are missing.
using OpenTextLineEngineEntry = TextLineEngine* (*)();
constexpr const char* kLabelModuleFile = "kurvana2-ocr.so";
constexpr const char* kLabelModuleEntry = "kurvana_open_label_reader";

} // namespace kurvana
