#include "io/pdffile.h"

#include <QFile>
#include <QPainter>

#include "core/picture.h"
#include "platform/programmodule.h"

namespace kurvana {

namespace {

/// A PDF starts with "%PDF-" within its first kilobyte (some writers put junk before it).
bool StartsLikePdf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-");
}

/// Poppler's page bitmap as an opaque 32-bit picture: pixels it left transparent show white.
QImage OnWhite(const QImage& rendered) {
    if (!rendered.hasAlphaChannel())
        return NormalizedPicture(rendered);
    QImage picture = NewPicture(rendered.size());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, rendered);
    return picture;
}

} // namespace

PdfFile::PdfFile(const QString& path) : path_(path) {
    if (!StartsLikePdf(path)) {
        problem_ = PdfProblem::NotPdf;
        return;
    }
    const auto open =
        reinterpret_cast<OpenPdfEngineEntry>(ProgramModuleSymbol(kPdfModuleFile, kPdfModuleEntry));
    if (open == nullptr) {
        problem_ = PdfProblem::NoModule;
        return;
    }
    PdfEngineOpening opening = PdfEngineOpening::Damaged;
    engine_.reset(open(path, opening));
    if (opening == PdfEngineOpening::Encrypted)
        problem_ = PdfProblem::Encrypted;
    else if (!engine_ || opening != PdfEngineOpening::Opened)
        problem_ = PdfProblem::Damaged;
    if (problem_ != PdfProblem::None)
        engine_.reset();
}

PdfFile::~PdfFile() = default;

int PdfFile::pageCount() const {
    return engine_ ? engine_->pageCount() : 0;
}

QSizeF PdfFile::pageSize(int page) const {
    return engine_ ? engine_->pageSize(page) : QSizeF();
}

QImage PdfFile::render(const PdfPageRequest& request, const std::atomic_bool& cancel) const {
    const QSizeF size = pageSize(request.page);
    if (size.isEmpty())
        return {};
    // The size is checked here too, before anything is drawn: a null rectangle would ask the
    // engine for the whole page.
    const QRect pixels = PdfPixelRect(size, request);
    if (pixels.isEmpty())
        return {};
    const QImage rendered = engine_->render(request.page, request.dpi, pixels, &cancel);
    if (rendered.isNull() || cancel.load())
        return {};
    return OnWhite(rendered);
}

QImage PdfFile::thumbnail(int page, int box) const {
    const QSizeF size = pageSize(page);
    const double longest = std::max(size.width(), size.height());
    if (size.isEmpty() || longest <= 0)
        return {};
    const double dpi = 72.0 * box / longest;
    return OnWhite(engine_->render(page, dpi, QRect(), nullptr));
}

} // namespace kurvana
