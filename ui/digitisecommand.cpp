#include "ui/digitisecommand.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include "core/document.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/calibrationsource.h"
#include "io/exportformats.h"
#include "io/filepair.h"
#include "io/pdfcommands.h"
#include "io/pdffile.h"
#include "io/picturecommands.h"
#include "platform/headlessdialogs.h"
#include "recognition/chart/chartapply.h"
#include "recognition/chart/wholechart.h"

namespace kurvana {

namespace {

constexpr char kUsage[] =
    "usage: kurvana2 --digitise [--format csv|tsv|json] [-o OUT] [--calibration CAL] [--step DX]\n"
    "                [--page N] [--dpi D] [--pages all] PICTURE|PDF [PICTURE|PDF ...]\n";

struct DigitiseRequest {
    ExportFormat format = ExportFormat::Clipboard;
    std::optional<QString> output;
    QString calibration;
    std::optional<double> stepX;
    PdfOpenOptions pdf;
    bool allPages = false;
    QStringList files;
};

/// A step as typed on the command line ('.' decimal point): a positive number.
std::optional<double> positiveNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

/// Takes one option (and its value) into the request; false when it is not understood.
bool takeOption(DigitiseRequest& request, const QString& option,
                const std::optional<QString>& value) {
    if (!value)
        return false;
    if (option == "--format") {
        const auto format = ExportFormatNamed(*value);
        request.format = format.value_or(request.format);
        return format.has_value();
    }
    if (option == "-o" || option == "--output")
        request.output = *value;
    else if (option == "--calibration")
        request.calibration = *value;
    else if (option == "--step")
        return (request.stepX = positiveNumber(*value)).has_value();
    else if (option == "--page")
        request.pdf.page = *value;
    else if (option == "--dpi")
        request.pdf.dpi = *value;
    else if (option == "--pages")
        return (request.allPages = *value == "all");
    else
        return false;
    return true;
}

/// The request, or nothing when the arguments are not understood.
std::optional<DigitiseRequest> parseArguments(const QStringList& arguments) {
    DigitiseRequest request;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            request.files << argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf('=');
        const QString option = equals > 0 ? argument.left(equals) : argument;
        std::optional<QString> value;
        if (equals > 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        if (!takeOption(request, option, value))
            return std::nullopt;
    }
    const bool onePageAsked = !request.pdf.page.isEmpty();
    const bool severalOutputs = request.files.size() > 1 || request.allPages;
    if (request.files.isEmpty() || (onePageAsked && request.allPages) ||
        (severalOutputs && request.output == "-"))
        return std::nullopt;
    return request;
}

/// One chart to digitise: a picture, or one page of a PDF.
struct Chart {
    QString file;
    QString page; ///< of a PDF: as typed, or empty when none is named
    QString name; ///< what its output is called, without the extension
};

/// The charts an input holds: a picture is one; a PDF the page named, every page with
/// --pages all, or its only page; a PDF of several pages with none named is left to the page
/// reading, which says that a page must be named.
std::vector<Chart> chartsOf(const QString& file, const DigitiseRequest& request) {
    const QString name = QFileInfo(file).completeBaseName();
    if (!IsPdfPath(file) || !request.pdf.page.isEmpty())
        return {{file, request.pdf.page, name}};
    const PdfFile pdf(file);
    const int pages = pdf.problem() == PdfProblem::None ? pdf.pageCount() : 0;
    if (!request.allPages || pages == 0)
        return {{file, pages == 1 ? "1" : QString(), name}};
    std::vector<Chart> charts;
    for (int page = 1; page <= pages; ++page)
        charts.push_back({file, QString::number(page), name + "-p" + QString::number(page)});
    return charts;
}

QString chartLabel(const Chart& chart) {
    const QString file = QDir::toNativeSeparators(chart.file);
    return chart.page.isEmpty() ? file : file + ':' + chart.page;
}

/// What a reading left undone, for the user.
QStringList problemTexts(const ChartReading& reading, const Texts& texts) {
    QStringList said;
    for (const ChartProblem problem : reading.problems) {
        switch (problem) {
        case ChartProblem::NoAxes:
            said << texts.extra(ExtraText::ChartNoAxes);
            break;
        case ChartProblem::PartialAxes:
            said << texts.extra(ExtraText::ChartPartialAxes);
            break;
        case ChartProblem::NoSeries:
            said << texts.extra(ExtraText::BatchNoSeries);
            break;
        case ChartProblem::TooManySeries:
            said << texts.extra(ExtraText::BatchTooManySeries).arg(reading.seriesLeftOut);
            break;
        case ChartProblem::CurveLost: {
            QStringList lines;
            for (std::size_t i = 0; i < reading.series.size() && i < std::size_t(kLineCount); ++i)
                if (reading.series[i].followed < 1)
                    lines << QString::number(i + 1);
            said << texts.extra(ExtraText::BatchCurveLost).arg(lines.join(", "));
            break;
        }
        }
    }
    said.removeDuplicates();
    return said;
}

/// A chart's export text and what it lacked.
struct Digitised {
    QByteArray text;
    QStringList lacking;
};

/// Opens the chart as the window opens it, reads it whole and puts the reading into the
/// document. Throws CommandError when it cannot be opened or holds no calibration.
Digitised digitise(Workspace& ws, const Chart& chart, const DigitiseRequest& request,
                   LabelReader& reader) {
    Document& doc = ws.doc;
    if (IsPdfPath(chart.file))
        LoadPdfPage(ws, chart.file, {chart.page, request.pdf.dpi});
    else
        LoadPictureFile(ws, chart.file);
    ChartReadingOptions options;
    if (!request.calibration.isEmpty()) {
        LoadCalibration(doc, request.calibration);
        options.plotArea = CalibratedArea(doc) & doc.cleanPicture.rect();
        options.polarRays = PlanPolarRays(doc, kPolarFollowRays);
    }
    const ChartReading reading = ReadWholeChart(doc.cleanPicture, reader, options);
    const auto& problems = reading.problems;
    if (std::find(problems.begin(), problems.end(), ChartProblem::NoAxes) != problems.end())
        throw CommandError(doc.texts.extra(ExtraText::ChartNoAxes));
    ApplyChartReading(ws, reading, {request.stepX});
    Digitised digitised{ExportText(doc, request.format), problemTexts(reading, doc.texts)};
    if (digitised.lacking.isEmpty() && ExportedPointCount(doc) == 0)
        digitised.lacking << doc.texts.extra(ExtraText::BatchNoSeries);
    return digitised;
}

/// One line per chart on standard error, so that a batch's reasons can be told apart.
void report(QIODevice& err, QString text) {
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    err.write(("kurvana2: " + text + '\n').toLocal8Bit());
}

enum class Outcome { Complete, Partial, Failed };

/// Digitises the charts one after the other, each in a document of its own.
class Batch {
public:
    Batch(const DigitiseRequest& request, const std::function<void(Document&)>& prepare,
          LabelReader& reader, QIODevice& out, QIODevice& err)
        : request_(request), prepare_(prepare), reader_(reader), out_(out), err_(err) {}

    void setCharts(std::vector<Chart> charts) {
        charts_ = std::move(charts);
        const bool folderNamed = request_.output && QFileInfo(*request_.output).isDir();
        toStandardOutput_ = charts_.size() == 1 && !request_.allPages &&
                            (!request_.output || *request_.output == "-");
        intoFolder_ = request_.output && !toStandardOutput_ && (folderNamed || charts_.size() > 1);
        if (intoFolder_)
            QDir().mkpath(*request_.output);
    }
    const std::vector<Chart>& charts() const { return charts_; }

    Outcome run(const Chart& chart) {
        auto doc = std::make_unique<Document>();
        platform::HeadlessDialogs dialogs;
        ViewHooks view;
        Workspace ws{*doc, dialogs, view};
        Digitised digitised;
        try {
            prepare_(*doc);
            digitised = digitise(ws, chart, request_, reader_);
        } catch (const CommandError& error) {
            report(err_, chartLabel(chart) + ": " + error.text());
            return Outcome::Failed;
        }
        if (!write(chart, digitised.text, doc->texts))
            return Outcome::Failed;
        if (digitised.lacking.isEmpty())
            return Outcome::Complete;
        report(err_, chartLabel(chart) + ": " + digitised.lacking.join("; "));
        return Outcome::Partial;
    }

private:
    QString target(const Chart& chart) const {
        const QString file = chart.name + '.' + ExportSuffix(request_.format);
        if (intoFolder_)
            return QDir(*request_.output).filePath(file);
        if (request_.output)
            return *request_.output;
        return QFileInfo(chart.file).dir().filePath(file);
    }

    bool write(const Chart& chart, const QByteArray& text, const Texts& texts) {
        if (toStandardOutput_) {
            if (out_.write(text) == text.size())
                return true;
            report(err_, texts.extra(ExtraText::ExportOutputFailed).arg(out_.errorString()));
            return false;
        }
        const QString path = target(chart);
        // A picture may carry any name: its output must never take the picture's place.
        const QFileInfo input(chart.file), output(path);
        if (output.exists() && output.canonicalFilePath() == input.canonicalFilePath()) {
            report(err_, texts.extra(ExtraText::DigitiseOverInput).arg(chartLabel(chart)));
            return false;
        }
        const QString reason = WriteFileAtomically(path, text);
        if (reason.isEmpty())
            return true;
        report(err_,
               texts.extra(ExtraText::ExportFailed).arg(QDir::toNativeSeparators(path), reason));
        return false;
    }

    const DigitiseRequest& request_;
    const std::function<void(Document&)>& prepare_;
    LabelReader& reader_;
    QIODevice& out_;
    QIODevice& err_;
    std::vector<Chart> charts_;
    bool toStandardOutput_ = false;
    bool intoFolder_ = false;
};

/// A document readied as each chart's is, for the texts of the batch; a calibration file that
/// cannot be used fails every chart alike, so it is tried here once, before any. Nothing (the
/// reason said) when it cannot be used.
std::unique_ptr<Document> batchDocument(const DigitiseRequest& request,
                                        const std::function<void(Document&)>& prepare,
                                        QIODevice& err) {
    auto doc = std::make_unique<Document>();
    try {
        prepare(*doc);
        if (!request.calibration.isEmpty())
            LoadCalibration(*doc, request.calibration);
        return doc;
    } catch (const CommandError& error) {
        report(err, error.text());
        return nullptr;
    }
}

} // namespace

int RunDigitiseCommand(const QStringList& arguments, const std::function<void(Document&)>& prepare,
                       LabelReader& reader, QIODevice& out, QIODevice& err, bool progress) {
    const std::optional<DigitiseRequest> request = parseArguments(arguments);
    if (!request) {
        err.write(kUsage);
        return DigitiseNothing;
    }
    const std::unique_ptr<Document> settings = batchDocument(*request, prepare, err);
    if (!settings)
        return DigitiseNothing;
    Batch batch(*request, prepare, reader, out, err);
    std::vector<Chart> charts;
    for (const QString& file : request->files)
        for (Chart& chart : chartsOf(file, *request))
            charts.push_back(std::move(chart));
    batch.setCharts(std::move(charts));

    const Texts& texts = settings->texts;
    int complete = 0, failed = 0;
    const int count = int(batch.charts().size());
    for (int i = 0; i < count; ++i) {
        const Chart& chart = batch.charts()[std::size_t(i)];
        if (progress)
            report(err, texts.extra(ExtraText::DigitiseProgress)
                            .arg(i + 1)
                            .arg(count)
                            .arg(chartLabel(chart)));
        const Outcome outcome = batch.run(chart);
        complete += outcome == Outcome::Complete;
        failed += outcome == Outcome::Failed;
    }
    if (complete == count)
        return DigitiseComplete;
    return failed == count ? DigitiseNothing : DigitisePartial;
}

} // namespace kurvana
