#include "recognition/ocr/tesseractreader.h"

#include <QImage>

#include "platform/programmodule.h"
#include "recognition/ocr/textlineengine.h"

namespace kurvana {

TesseractReader::TesseractReader() {
    const auto open = reinterpret_cast<OpenTextLineEngineEntry>(
        ProgramModuleSymbol(kLabelModuleFile, kLabelModuleEntry));
    if (open != nullptr)
        engine_.reset(open());
}

TesseractReader::~TesseractReader() = default;

bool TesseractReader::available() const {
    return engine_ != nullptr;
}

QString TesseractReader::read(const QImage& label) {
    return engine_ && !label.isNull() ? engine_->read(label) : QString();
}

QString TesseractReader::readWords(const QImage& line) {
    return engine_ && !line.isNull() ? engine_->readWords(line) : QString();
}

} // namespace kurvana
