#include "io/exportcommandline.h"

#include <memory>
#include <optional>

#include <QDir>
#include <QIODevice>

#include "core/document.h"
#include "core/workspace.h"
#include "io/commandarguments.h"
#include "io/export.h"
#include "io/exportformats.h"
#include "io/filepair.h"

namespace kurvana {

namespace {

constexpr int kUsageError = 2;
constexpr char kUsage[] =
    "usage: kurvana2 --export [--format csv|tsv|json] [-o OUT] FILE.gra [FILE.gra ...]\n";

struct ExportRequest : ExportOptions {
    QStringList files;
};

/// The request, or nothing when the arguments are not understood.
std::optional<ExportRequest> parseArguments(const QStringList& arguments) {
    ExportRequest request;
    const auto files = ParseCommandArguments(
        arguments, [&](const QString& option, const std::optional<QString>& value) {
            return TakeExportOption(request, option, value).value_or(false);
        });
    if (!files || files->isEmpty() || (request.output && files->size() > 1))
        return std::nullopt;
    request.files = *files;
    return request;
}

/// Where the output of a data file goes in a batch: beside it, its .gra replaced.
QString besidePath(const QString& dataFile, ExportFormat format) {
    QString stem = dataFile;
    if (stem.endsWith(".gra", Qt::CaseInsensitive))
        stem.chop(4);
    return stem + '.' + ExportSuffix(format);
}

} // namespace

int RunExportCommand(const QStringList& arguments, const std::function<void(Document&)>& prepare,
                     QIODevice& out, QIODevice& err) {
    const std::optional<ExportRequest> request = parseArguments(arguments);
    if (!request) {
        err.write(kUsage);
        return kUsageError;
    }
    const bool toStandardOutput =
        request->files.size() == 1 && (!request->output || *request->output == "-");
    int status = 0;
    for (const QString& file : request->files) {
        // Each file starts from the settings alone, as if it were opened at start-up.
        auto doc = std::make_unique<Document>();
        QByteArray contents;
        try {
            prepare(*doc);
            LoadDataFileForExport(*doc, file);
            contents = ExportText(*doc, request->format);
        } catch (const CommandError& error) {
            ReportCommandProblem(err, error.text());
            status = 1;
            continue;
        }
        if (toStandardOutput) {
            if (out.write(contents) != contents.size()) {
                ReportCommandProblem(
                    err, doc->texts.extra(ExtraText::ExportOutputFailed).arg(out.errorString()));
                status = 1;
            }
            continue;
        }
        const QString target =
            request->output ? *request->output : besidePath(file, request->format);
        const QString reason = WriteFileAtomically(target, contents);
        if (!reason.isEmpty()) {
            ReportCommandProblem(err, doc->texts.extra(ExtraText::ExportFailed)
                                          .arg(QDir::toNativeSeparators(target), reason));
            status = 1;
        }
    }
    return status;
}

} // namespace kurvana
