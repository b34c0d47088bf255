#pragma once

#include <atomic>

#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>

namespace kurvana {

/// What the PDF module does with an open document: Poppler's calls and nothing else, so that
/// everything the program decides about pages stays in the program (PdfFile).
class PdfEngine {
public:
    virtual ~PdfEngine() = default;
    virtual int pageCount() const = 0;
    /// Size of page `page` (1-based) in points, as it is shown; empty when there is none.
    virtual QSizeF pageSize(int page) const = 0;
    /// The `pixels` part of page `page` at `dpi` (the whole page when `pixels` is null), as
    /// Poppler renders it, anti-aliased on white paper. Null when `cancel` (if given) became
    /// true during the rendering, or Poppler failed.
    virtual QImage render(int page, double dpi, const QRect& pixels,
                          const std::atomic_bool* cancel) const = 0;
};

/// How the module's opening of a document ended.
enum class PdfEngineOpening { Opened = 0, Encrypted = 1, Damaged = 2 };

/// The module's entry: opens `path`, telling how in `opening`; null unless opened.
using OpenPdfEngineEntry = PdfEngine* (*)(const QString& path, PdfEngineOpening& opening);
constexpr const char* kPdfModuleFile = "kurvana2-pdf.so";
constexpr const char* kPdfModuleEntry = "kurvana_open_pdf";

} // namespace kurvana
