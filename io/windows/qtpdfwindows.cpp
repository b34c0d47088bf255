#include "io/windows/qtpdfwindows.h"

#include <atomic>
#include <memory>

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include "core/texts.h"
#include "io/pdffile.h"
#include "io/windows/pagechooserwindow.h"

namespace kurvana {

namespace {

/// A render shorter than this shows no progress box at all.
constexpr int kProgressDelayMs = 300;
constexpr int kProgressWidth = 460;

} // namespace

std::optional<PdfPageRequest> QtPdfWindows::choosePage(const PdfFile& pdf,
                                                       const PdfPageRequest& proposal) {
    PageChooserWindow chooser(pdf, proposal, texts_, parent_);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.request();
}

std::optional<QImage> QtPdfWindows::renderPage(const PdfFile& pdf, const PdfPageRequest& request) {
    std::atomic_bool cancel{false};
    QImage picture;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { picture = pdf.render(request, cancel); }));

    // Poppler tells nothing of its progress: the box runs as a busy bar until the page is done.
    QProgressDialog progress(texts_.extra(ExtraText::PdfRendering)
                                 .arg(QString::number(request.page), QString::number(request.dpi)),
                             texts_.extra(ExtraText::PdfCancelButton), 0, 0, parent_);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setMinimumWidth(kProgressWidth); // the message in full, in either language
    progress.setAutoClose(false);
    progress.setAutoReset(false);

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancel = true; // Poppler asks between drawing operations and stops soon after
    });
    worker->start();
    loop.exec();
    worker->wait();
    if (cancel)
        return std::nullopt;
    return picture;
}

} // namespace kurvana
