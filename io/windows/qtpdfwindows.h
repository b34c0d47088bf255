#pragma once

#include <QPointer>
#include <QWidget>

#include "io/pdfwindows.h"

namespace kurvana {

class Texts;

/// The PDF windows of the running program: the page chooser as a modal dialog and the
/// rendering on a worker thread behind a progress box with Cancel.
class QtPdfWindows : public PdfWindows {
public:
    explicit QtPdfWindows(const Texts& texts) : texts_(texts) {}
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    std::optional<PdfPageRequest> choosePage(const PdfFile& pdf,
                                             const PdfPageRequest& proposal) override;
    std::optional<QImage> renderPage(const PdfFile& pdf, const PdfPageRequest& request) override;

private:
    const Texts& texts_;
    QPointer<QWidget> parent_;
};

} // namespace kurvana
