#pragma once

#include <optional>

#include <QImage>

#include "io/pdfpagerequest.h"

namespace kurvana {

class PdfFile;

/// The windows opening a PDF page needs: the page chooser and the rendering with its progress.
/// The program shows real windows; tests script the choice.
class PdfWindows {
public:
    virtual ~PdfWindows() = default;
    /// The page, resolution and region to open, starting from `proposal`; nothing when the user
    /// cancelled.
    virtual std::optional<PdfPageRequest> choosePage(const PdfFile& pdf,
                                                     const PdfPageRequest& proposal) = 0;
    /// Renders the request (PdfFile::render) off the interface thread while the window stays
    /// responsive; nothing when the user cancelled, a null picture when Poppler failed.
    virtual std::optional<QImage> renderPage(const PdfFile& pdf, const PdfPageRequest& request) = 0;
};

} // namespace kurvana
