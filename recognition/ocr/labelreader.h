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
};

} // namespace kurvana
