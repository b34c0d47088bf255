#include "io/exportcommandline.h"

#include <memory>
#include <optional>

#include <QDir>
#include <QIODevice>

#include "core/document.h"
#include "core/workspace.h"
#include "io/export.h"
#include "io/exportformats.h"
#include "io/filepair.h"

namespace kurvana {

namespace {

constexpr int kUsageError = 2;
constexpr char kUsage[] =
    "usage: kurvana2 --export [--format csv|tsv|json] [-o OUT] FILE.gra [FILE.gra ...]\n";

struct ExportRequest {
    ExportFormat format = ExportFormat::Clipboard;
    std::optional<QString> output;
    QStringList files;
};

/// The request, or nothing when the arguments are not understood.
std::optional<ExportRequest> parseArguments(const QStringList& arguments) {
    ExportRequest request;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&](const QString& option) -> std::optional<QString> {
            if (argument.startsWith(option + '='))
                return argument.mid(option.size() + 1);
            if (argument == option && i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            request.files << argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--format" || argument.startsWith("--format=")) {
            const auto name = value("--format");
            const auto format = name ? ExportFormatNamed(*name) : std::nullopt;
            if (!format)
                return std::nullopt;
            request.format = *format;
        } else if (argument == "-o" || argument == "--output" || argument.startsWith("--output=")) {
            request.output = value(argument == "-o" ? "-o" : "--output");
            if (!request.output)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (request.files.isEmpty() || (request.output && request.files.size() > 1))
        return std::nullopt;
    return request;
}

/// Where the output of a data file goes in a batch: beside it, its .gra replaced.
QString besidePath(const QString& dataFile, ExportFormat format) {
    QString stem = dataFile;
    if (stem.endsWith(".gra", Qt::CaseInsensitive))
        stem.chop(4);
    return stem + '.' + ExportSuffix(format);
}

/// One line per file on standard error, so that a batch's reasons can be told apart.
void report(QIODevice& err, QString text) {
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    err.write(("kurvana2: " + text + '\n').toLocal8Bit());
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
            report(err, error.text());
            status = 1;
            continue;
        }
        if (toStandardOutput) {
            if (out.write(contents) != contents.size()) {
                report(err, doc->texts.extra(ExtraText::ExportOutputFailed).arg(out.errorString()));
                status = 1;
            }
            continue;
        }
        const QString target =
            request->output ? *request->output : besidePath(file, request->format);
        const QString reason = WriteFileAtomically(target, contents);
        if (!reason.isEmpty()) {
            report(err, doc->texts.extra(ExtraText::ExportFailed)
                            .arg(QDir::toNativeSeparators(target), reason));
            status = 1;
        }
    }
    return status;
}

} // namespace kurvana
