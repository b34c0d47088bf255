#pragma once

#include <atomic>
#include <memory>

#include <QImage>
#include <QSizeF>
#include <QString>

#include "io/pdfengine.h"
#include "io/pdfpagerequest.h"

namespace kurvana {

/// Why a PDF could not be opened.
enum class PdfProblem { None, NotPdf, Damaged, Encrypted, NoModule };

/// An open PDF document: its pages' sizes, thumbnails and renderings. One object is used by one
/// thread at a time (Poppler's rule); the page chooser and the renderer take turns. Poppler
/// works in the PDF module (kPdfModuleFile), loaded with the first document; without the
/// module every document has the problem NoModule.
class PdfFile {
public:
    /// Opens `path`; problem() tells why when it could not be.
    explicit PdfFile(const QString& path);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    PdfProblem problem() const { return problem_; }
    const QString& path() const { return path_; }
    int pageCount() const;
    /// Size of page `page` (1-based) in points, as it is shown (its rotation applied).
    QSizeF pageSize(int page) const;

    /// The requested part of the page, anti-aliased and laid on white, as 32-bit RGB. Returns a
    /// null picture when `cancel` became true during the rendering or Poppler failed.
    QImage render(const PdfPageRequest& request, const std::atomic_bool& cancel) const;
    /// The whole page scaled to fit a `box`-sized square, for the chooser's grid and preview.
    QImage thumbnail(int page, int box) const;

private:
    QString path_;
    std::unique_ptr<PdfEngine> engine_;
    PdfProblem problem_ = PdfProblem::None;
};

} // namespace kurvana
