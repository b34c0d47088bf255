#pragma once

#include <QString>

class QImage;

namespace kurvana {

/// Reads the text of one axis label: an upright line of digits, signs, separators and exponent
/// marks, black on white. The axis finder asks it once per label (and once per raised
/// exponent); tests give it a reader that knows the answers.
class LabelReader {
public:
    virtual ~LabelReader() = default;
    /// The text read, without spaces; empty when nothing could be read.
    virtual QString read(const QImage& label) = 0;
    /// The words of one line of text that need not be a number (a legend entry, a category or
    /// a month name), words separated by single spaces; empty when nothing could be read.
    virtual QString readWords(const QImage& line) {
        (void)line;
        return {};
    }
    /// Whether the reader cannot read anything because what it reads with is not installed
    /// (the language data, or the module that holds the engine): every read is empty for that
    /// reason and not because of the labels, and the user is told so.
    virtual bool dataMissing() const { return false; }
};

} // namespace kurvana
