// The PDF module: Poppler behind PdfEngine, loaded by the program when a PDF is first opened.

#include <memory>

#include <poppler-qt6.h>

#include "io/pdfengine.h"

namespace kurvana {

namespace {

bool AbortRequested(const QVariant& closure) {
    return static_cast<const std::atomic_bool*>(closure.value<void*>())->load();
}

class PopplerEngine : public PdfEngine {
public:
    explicit PopplerEngine(std::unique_ptr<Poppler::Document> document)
        : document_(std::move(document)) {}

    int pageCount() const override { return document_->numPages(); }

    QSizeF pageSize(int page) const override {
        const std::unique_ptr<Poppler::Page> p = document_->page(page - 1);
        return p ? p->pageSizeF() : QSizeF();
    }

    QImage render(int page, double dpi, const QRect& pixels,
                  const std::atomic_bool* cancel) const override {
        const std::unique_ptr<Poppler::Page> p = document_->page(page - 1);
        if (!p)
            return {};
        if (cancel == nullptr)
            return pixels.isNull() ? p->renderToImage(dpi, dpi)
                                   : p->renderToImage(dpi, dpi, pixels.x(), pixels.y(),
                                                      pixels.width(), pixels.height());
        const QVariant closure =
            QVariant::fromValue(static_cast<void*>(const_cast<std::atomic_bool*>(cancel)));
        const QRect part = pixels.isNull() ? QRect(-1, -1, -1, -1) : pixels;
        return p->renderToImage(dpi, dpi, part.x(), part.y(), part.width(), part.height(),
                                Poppler::Page::Rotate0, nullptr, nullptr, AbortRequested, closure);
    }

private:
    std::unique_ptr<Poppler::Document> document_;
};

} // namespace

} // namespace kurvana

extern "C" __attribute__((visibility("default"))) kurvana::PdfEngine*
kurvana_open_pdf(const QString& path, kurvana::PdfEngineOpening& opening) {
    using kurvana::PdfEngineOpening;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    // A locked document has no catalog to count pages in: ask about the lock first.
    if (document && document->isLocked()) {
        opening = PdfEngineOpening::Encrypted;
        return nullptr;
    }
    if (!document || document->numPages() < 1) {
        opening = PdfEngineOpening::Damaged;
        return nullptr;
    }
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    document->setPaperColor(Qt::white);
    opening = PdfEngineOpening::Opened;
    return new kurvana::PopplerEngine(std::move(document));
}
