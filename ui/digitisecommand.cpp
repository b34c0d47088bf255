#include "ui/digitisecommand.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSet>

#include "core/document.h"
#include "core/picture.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/calibrationsource.h"
#include "io/commandarguments.h"
#include "io/exportformats.h"
#include "io/filepair.h"
#include "io/pdfcommands.h"
#include "io/pdffile.h"
#include "io/picturecommands.h"
#include "platform/headlessdialogs.h"
#include "recognition/chart/chartapply.h"
#include "recognition/chart/chartregions.h"
#include "recognition/chart/wholechart.h"

namespace kurvana {

namespace {

constexpr char kUsage[] =
    "usage: kurvana2 --digitise [--format csv|tsv|json] [-o OUT] [--calibration CAL] [--step DX]\n"
    "                [--page N] [--dpi D] [--pages all] PICTURE|PDF [PICTURE|PDF ...]\n";

struct DigitiseRequest : ExportOptions {
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
    if (const auto taken = TakeExportOption(request, option, value))
        return *taken;
    if (!value)
        return false;
    if (option == "--calibration")
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
    const auto files = ParseCommandArguments(
        arguments, [&](const QString& option, const std::optional<QString>& value) {
            return takeOption(request, option, value);
        });
    if (!files)
        return std::nullopt;
    request.files = *files;
    const bool onePageAsked = !request.pdf.page.isEmpty();
    const bool severalOutputs = request.files.size() > 1 || request.allPages;
    if (request.files.isEmpty() || (onePageAsked && request.allPages) ||
        (severalOutputs && request.output == "-"))
        return std::nullopt;
    return request;
}

/// One input page to digitise: a picture, or one page of a PDF.
struct Chart {
    QString file;
    QString page; ///< of a PDF: as typed, or empty when none is named
    QString name; ///< what its output is called, without the extension
};

/// The pages an input holds: a picture is one; a PDF the page named, every page with
/// --pages all, or its only page; a PDF of several pages with none named is left to the page
/// reading, which says that a page must be named.
std::vector<Chart> chartsOf(const QString& file, const QString& name,
                            const DigitiseRequest& request) {
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

/// The name each input's outputs start with: its stem, or where another input of the run has
/// the same stem (a.png and a.pdf) and its outputs would go to the same folder, its whole
/// file name (a.png.csv, a.pdf.csv).
QStringList outputStems(const DigitiseRequest& request) {
    const auto folderOf = [&](const QString& file) {
        return request.output ? QString() : QFileInfo(file).absolutePath();
    };
    QStringList stems;
    for (const QString& file : request.files) {
        const QFileInfo info(file);
        bool shared = false;
        for (const QString& other : request.files)
            shared = shared || (QFileInfo(other).absoluteFilePath() != info.absoluteFilePath() &&
                                QFileInfo(other).completeBaseName() == info.completeBaseName() &&
                                folderOf(other) == folderOf(file));
        stems << (shared ? info.fileName() : info.completeBaseName());
    }
    return stems;
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

/// Opens the page as the window opens it. Throws CommandError when it cannot be opened.
void openPage(Workspace& ws, const Chart& chart, const DigitiseRequest& request) {
    if (IsPdfPath(chart.file))
        LoadPdfPage(ws, chart.file, {chart.page, request.pdf.dpi});
    else
        LoadPictureFile(ws, chart.file);
}

/// Reads the document's picture whole and puts the reading into the document. Throws
/// CommandError when it holds no calibration.
Digitised digitise(Workspace& ws, const DigitiseRequest& request, LabelReader& reader) {
    Document& doc = ws.doc;
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

enum class Outcome { Complete, Partial, Failed };

/// The outcome of a page from those of its charts: some failing and some not is partial.
Outcome together(Outcome a, Outcome b) {
    return a == b ? a : Outcome::Partial;
}

/// A document of its own for each chart, readied as the window readies one.
struct ChartDocument {
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    platform::HeadlessDialogs dialogs;
    ViewHooks view;
    Workspace ws{*doc, dialogs, view};
};

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
        intoFolder_ = request_.output && !toStandardOutput_ &&
                      (folderNamed || charts_.size() > 1 || request_.allPages);
        if (intoFolder_)
            QDir().mkpath(*request_.output);
    }
    const std::vector<Chart>& charts() const { return charts_; }

    /// The page's chart, or with --pages all each chart found on it (NAME-cJ for the J-th
    /// where it holds several).
    Outcome run(const Chart& chart) {
        ChartDocument page;
        try {
            prepare_(*page.doc);
            openPage(page.ws, chart, request_);
        } catch (const CommandError& error) {
            report(chartLabel(chart) + ": " + error.text());
            return Outcome::Failed;
        }
        const std::vector<QRect> regions = request_.allPages
                                               ? FindChartRegions(page.doc->cleanPicture)
                                               : std::vector<QRect>{page.doc->cleanPicture.rect()};
        if (regions.size() == 1)
            return runOne(chart, chartLabel(chart), chart.name, page);
        std::optional<Outcome> outcome;
        for (std::size_t j = 0; j < regions.size(); ++j) {
            ChartDocument part;
            const QString number = QString::number(j + 1);
            try {
                prepare_(*part.doc);
                InstallNewPicture(part.ws, page.doc->cleanPicture.copy(regions[j]));
                part.doc->pictureFileName = page.doc->pictureFileName;
            } catch (const CommandError& error) {
                report(chartLabel(chart) + ": " + error.text());
                return Outcome::Failed;
            }
            const Outcome one =
                runOne(chart, chartLabel(chart) + '#' + number, chart.name + "-c" + number, part);
            outcome = outcome ? together(*outcome, one) : one;
        }
        return *outcome;
    }

private:
    Outcome runOne(const Chart& chart, const QString& label, const QString& name,
                   ChartDocument& target) {
        Digitised digitised;
        try {
            digitised = digitise(target.ws, request_, reader_);
        } catch (const CommandError& error) {
            report(label + ": " + error.text());
            return Outcome::Failed;
        }
        if (!write(chart, name, label, digitised.text, target.doc->texts))
            return Outcome::Failed;
        if (digitised.lacking.isEmpty())
            return Outcome::Complete;
        report(label + ": " + digitised.lacking.join("; "));
        return Outcome::Partial;
    }

    /// Where the output named `name` goes; never over an output written earlier in the run
    /// (NAME-2.ext, NAME-3.ext, ... then).
    QString target(const Chart& chart, const QString& name) const {
        const QString suffix = '.' + ExportSuffix(request_.format);
        if (request_.output && !intoFolder_)
            return *request_.output;
        const QDir folder = intoFolder_ ? QDir(*request_.output) : QFileInfo(chart.file).dir();
        QString path = folder.filePath(name + suffix);
        for (int n = 2; written_.contains(QFileInfo(path).absoluteFilePath()); ++n)
            path = folder.filePath(name + '-' + QString::number(n) + suffix);
        return path;
    }

    bool write(const Chart& chart, const QString& name, const QString& label,
               const QByteArray& text, const Texts& texts) {
        if (toStandardOutput_) {
            if (out_.write(text) == text.size())
                return true;
            report(texts.extra(ExtraText::ExportOutputFailed).arg(out_.errorString()));
            return false;
        }
        const QString path = target(chart, name);
        // A picture may carry any name: its output must never take an input's place.
        const QFileInfo output(path);
        for (const QString& input : request_.files)
            if (output.exists() &&
                output.canonicalFilePath() == QFileInfo(input).canonicalFilePath()) {
                report(texts.extra(ExtraText::DigitiseOverInput).arg(label));
                return false;
            }
        const QString reason = WriteFileAtomically(path, text);
        written_ << output.absoluteFilePath();
        if (reason.isEmpty())
            return true;
        report(texts.extra(ExtraText::ExportFailed).arg(QDir::toNativeSeparators(path), reason));
        return false;
    }

    void report(const QString& text) { ReportCommandProblem(err_, text); }

    const DigitiseRequest& request_;
    const std::function<void(Document&)>& prepare_;
    LabelReader& reader_;
    QIODevice& out_;
    QIODevice& err_;
    std::vector<Chart> charts_;
    bool toStandardOutput_ = false;
    bool intoFolder_ = false;
    QSet<QString> written_;
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
        ReportCommandProblem(err, error.text());
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
    const QStringList stems = outputStems(*request);
    for (qsizetype i = 0; i < request->files.size(); ++i)
        for (Chart& chart : chartsOf(request->files[i], stems[i], *request))
            charts.push_back(std::move(chart));
    batch.setCharts(std::move(charts));

    const Texts& texts = settings->texts;
    int complete = 0, failed = 0;
    const int count = int(batch.charts().size());
    for (int i = 0; i < count; ++i) {
        const Chart& chart = batch.charts()[std::size_t(i)];
        if (progress)
            ReportCommandProblem(err, texts.extra(ExtraText::DigitiseProgress)
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
