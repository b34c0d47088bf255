#include "io/windows/qtpdfwindows.h"

#include "core/texts.h"
#include "io/pdffile.h"
#include "io/windows/pagechooserwindow.h"
#include "platform/windows/workerprogress.h"

namespace kurvana {

namespace {
/// A render shorter than this shows no progress box at all.
constexpr int kProgressDelayMs = 300;
} // namespace

std::optional<PdfPageRequest> QtPdfWindows::choosePage(const PdfFile& pdf,
                                                       const PdfPageRequest& proposal) {
    PageChooserWindow chooser(pdf, proposal, texts_, parent_);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.request();
}

std::optional<QImage> QtPdfWindows::renderPage(const PdfFile& pdf, const PdfPageRequest& request) {
    QImage picture;
    // Poppler asks for the flag between drawing operations and stops soon after Cancel.
    const bool rendered = RunWithProgress(
        parent_,
        texts_.extra(ExtraText::PdfRendering)
            .arg(QString::number(request.page), QString::number(request.dpi)),
        texts_.extra(ExtraText::PdfCancelButton), kProgressDelayMs,
        [&](const std::atomic_bool& cancel) { picture = pdf.render(request, cancel); });
    if (!rendered)
        return std::nullopt;
    return picture;
}

} // namespace kurvana
