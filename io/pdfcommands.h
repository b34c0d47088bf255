#pragma once

#include <optional>

#include <QImage>
#include <QString>
#include <QStringList>

namespace kurvana {

struct Workspace;

/// "--page N" and "--dpi N" of the command line, as typed; checked when the PDF is opened.
struct PdfOpenOptions {
    QString page; ///< empty: the page chooser asks
    QString dpi;  ///< empty: 300 dpi is proposed
};

/// Takes the PDF options out of the program's arguments, leaving the file name(s).
PdfOpenOptions TakePdfOptions(QStringList& arguments);

/// True when the name ends in ".pdf" (any letter case).
bool IsPdfPath(const QString& path);

/// A picture read and checked, ready to be installed, with the name it goes by.
struct OpenedPicture {
    QImage picture;
    QString name;       ///< pictureFileName: the file, or the PDF's stem plus the page
    QString statusText; ///< what the status bar shows for it
};

/// Opens the PDF, lets the user choose page, resolution and region (unless the options name
/// the page), refuses sizes beyond the picture limit before rendering, and renders off the
/// interface thread. Nothing when the user cancelled. Throws CommandError naming the reason
/// (not a PDF, damaged, encrypted, no such page, bad option, too large); the document is not
/// touched here either way.
std::optional<OpenedPicture> ReadPdfPage(Workspace& ws, const QString& path,
                                         const PdfOpenOptions& options = {});

} // namespace kurvana
