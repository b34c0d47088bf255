#include "io/pdfcommands.h"

#include <QFileInfo>

#include "core/document.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/pdffile.h"
#include "io/pdfwindows.h"
#include "io/picturefile.h"

namespace kurvana {

namespace {

const QString kPageOption = "--page";
const QString kDpiOption = "--dpi";

/// The reason text of a PDF that could not be opened.
QString ProblemText(PdfProblem problem, const Texts& texts) {
    switch (problem) {
    case PdfProblem::NotPdf:
        return texts.extra(ExtraText::PdfNotPdf);
    case PdfProblem::Encrypted:
        return texts.extra(ExtraText::PdfEncrypted);
    case PdfProblem::NoModule:
        return texts.extra(ExtraText::PdfModuleMissing);
    case PdfProblem::Damaged:
    case PdfProblem::None:
        break;
    }
    return texts.extra(ExtraText::PdfDamaged);
}

CommandError Unreadable(const QString& path, const QString& reason, const Texts& texts) {
    return CommandError(texts.extra(ExtraText::PictureUnreadable).arg(path, reason));
}

int WholeNumberOption(const QString& option, const QString& text, const Texts& texts) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw CommandError(texts.extra(ExtraText::PdfBadOption).arg(option, text));
    return value;
}

/// The request the options describe, checked against the document.
PdfPageRequest RequestFromOptions(const PdfOpenOptions& options, const PdfFile& pdf,
                                  const Texts& texts) {
    PdfPageRequest request;
    if (!options.dpi.isEmpty()) {
        request.dpi = WholeNumberOption(kDpiOption, options.dpi, texts);
        if (request.dpi < kPdfMinDpi || request.dpi > kPdfMaxDpi)
            throw CommandError(texts.extra(ExtraText::PdfDpiRange)
                                   .arg(QString::number(kPdfMinDpi), QString::number(kPdfMaxDpi)));
    }
    if (!options.page.isEmpty()) {
        request.page = WholeNumberOption(kPageOption, options.page, texts);
        if (request.page < 1 || request.page > pdf.pageCount())
            throw Unreadable(
                pdf.path(),
                texts.extra(ExtraText::PdfNoSuchPage)
                    .arg(QString::number(request.page), QString::number(pdf.pageCount())),
                texts);
    }
    return request;
}

/// The size check of picture files, made on the size the request will render, before it does.
void RefuseTooLarge(const PdfFile& pdf, const PdfPageRequest& request, const QString& name,
                    const Texts& texts) {
    const PdfPixels size = PdfRenderPixels(pdf.pageSize(request.page), request);
    if (size.tooLarge())
        throw CommandError(texts.extra(ExtraText::PictureTooLarge)
                               .arg(QFileInfo(name).completeBaseName(), QString::number(size.width),
                                    QString::number(size.height)));
}

/// Renders with the windows' progress, or right here where there are none.
std::optional<QImage> Render(Workspace& ws, const PdfFile& pdf, const PdfPageRequest& request) {
    if (PdfWindows* windows = ws.view.pdfWindows())
        return windows->renderPage(pdf, request);
    const std::atomic_bool never{false};
    ws.view.setBusyCursor(true);
    QImage picture = pdf.render(request, never);
    ws.view.setBusyCursor(false);
    return picture;
}

} // namespace

PdfOpenOptions TakePdfOptions(QStringList& arguments) {
    PdfOpenOptions options;
    for (qsizetype i = 0; i + 1 < arguments.size();) {
        if (arguments[i] == kPageOption)
            options.page = arguments.takeAt(i + 1);
        else if (arguments[i] == kDpiOption)
            options.dpi = arguments.takeAt(i + 1);
        else {
            ++i;
            continue;
        }
        arguments.removeAt(i);
    }
    return options;
}

bool IsPdfPath(const QString& path) {
    return path.endsWith(".pdf", Qt::CaseInsensitive);
}

std::optional<OpenedPicture> ReadPdfPage(Workspace& ws, const QString& path,
                                         const PdfOpenOptions& options) {
    const Texts& texts = ws.doc.texts;
    if (!QFileInfo(path).isFile())
        throw Unreadable(path, texts.extra(ExtraText::PdfFileMissing), texts);
    const PdfFile pdf(path);
    if (pdf.problem() != PdfProblem::None)
        throw Unreadable(path, ProblemText(pdf.problem(), texts), texts);

    PdfPageRequest request = RequestFromOptions(options, pdf, texts);
    if (options.page.isEmpty()) {
        PdfWindows* windows = ws.view.pdfWindows();
        if (windows == nullptr)
            throw CommandError(texts.extra(ExtraText::PdfNoChooser).arg(path));
        const std::optional<PdfPageRequest> chosen = windows->choosePage(pdf, request);
        if (!chosen)
            return std::nullopt;
        request = *chosen;
    }
    const QString name = PdfPictureName(path, request.page);
    RefuseTooLarge(pdf, request, name, texts);

    const std::optional<QImage> picture = Render(ws, pdf, request);
    if (!picture)
        return std::nullopt;
    if (picture->isNull())
        throw Unreadable(path,
                         texts.extra(ExtraText::PdfRenderFailed).arg(QString::number(request.page)),
                         texts);
    const QString status = texts.extra(ExtraText::PdfStatus)
                               .arg(QFileInfo(path).fileName(), QString::number(request.page),
                                    QString::number(request.dpi));
    return OpenedPicture{*picture, name, status};
}

} // namespace kurvana
