#include "io/pdffile.h"

#include <QFile>
#include <QPainter>
#include <poppler-qt6.h>

#include "core/picture.h"

namespace kurvana {

namespace {

/// A PDF starts with "%PDF-" within its first kilobyte (some writers put junk before it).
bool StartsLikePdf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-");
}

bool AbortRequested(const QVariant& closure) {
    return static_cast<const std::atomic_bool*>(closure.value<void*>())->load();
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
    document_ = Poppler::Document::load(path);
    // A locked document has no catalog to count pages in: ask about the lock first.
    if (document_ && document_->isLocked())
        problem_ = PdfProblem::Encrypted;
    else if (!document_ || document_->numPages() < 1)
        problem_ = PdfProblem::Damaged;
    if (problem_ != PdfProblem::None) {
        document_.reset();
        return;
    }
    document_->setRenderHint(Poppler::Document::Antialiasing);
    document_->setRenderHint(Poppler::Document::TextAntialiasing);
    document_->setPaperColor(Qt::white);
}

PdfFile::~PdfFile() = default;

int PdfFile::pageCount() const {
    return document_ ? document_->numPages() : 0;
}

QSizeF PdfFile::pageSize(int page) const {
    const std::unique_ptr<Poppler::Page> p = document_->page(page - 1);
    return p ? p->pageSizeF() : QSizeF();
}

QImage PdfFile::render(const PdfPageRequest& request, const std::atomic_bool& cancel) const {
    const std::unique_ptr<Poppler::Page> page = document_->page(request.page - 1);
    if (!page)
        return {};
    const QRect pixels = PdfPixelRect(page->pageSizeF(), request);
    const QVariant closure =
        QVariant::fromValue(static_cast<void*>(const_cast<std::atomic_bool*>(&cancel)));
    const QImage rendered = page->renderToImage(
        request.dpi, request.dpi, pixels.x(), pixels.y(), pixels.width(), pixels.height(),
        Poppler::Page::Rotate0, nullptr, nullptr, AbortRequested, closure);
    if (rendered.isNull() || cancel.load())
        return {};
    return OnWhite(rendered);
}

QImage PdfFile::thumbnail(int page, int box) const {
    const std::unique_ptr<Poppler::Page> p = document_->page(page - 1);
    if (!p)
        return {};
    const QSizeF size = p->pageSizeF();
    const double longest = std::max(size.width(), size.height());
    if (longest <= 0)
        return {};
    const double dpi = 72.0 * box / longest;
    return OnWhite(p->renderToImage(dpi, dpi));
}

} // namespace kurvana
