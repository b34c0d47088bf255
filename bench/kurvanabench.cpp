// The cases of the benchmark: one QtTest function per case, one data row per scan size.

#include "bench/kurvanabench.h"

#include <QPainter>
#include <QtTest>

#include <QImageReader>
#include <QImageWriter>

#include <map>
#include <memory>
#include <optional>

#include "bench/benchprogram.h"
#include "bench/measure.h"
#include "bench/pdfchart.h"
#include "bench/peakmemory.h"
#include "bench/report.h"
#include "bench/startuptiming.h"
#include "core/calibration.h"
#include "core/clicks.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/picturecommands.h"
#include "io/picturefile.h"
#include "recognition/axes/findaxes.h"
#include "recognition/chart/wholechart.h"
#include "recognition/markers/findmarkers.h"
#include "recognition/ocr/tesseractreader.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/colourline.h"
#include "tracing/fixedstep.h"
#include "tracing/zonesearch.h"
#include "ui/application.h"

using namespace kurvana;
using namespace kurvana::bench;

namespace {

constexpr int kBaselineRuns = 9;
constexpr int kFreshRuns = 3;
constexpr int kTrailCircles = 999;
constexpr long long kColourColumns = 1000;
constexpr int kZoneStride = 11; ///< a new trail circle needs more than 10 pixels of travel
constexpr int kBenchMarkers = 2000;
/// Find markers on a 35-megapixel scan: at most 50 copies of the picture's memory.
constexpr double kFindMarkersRatio = 50;
/// Digitise whole chart on a 35-megapixel scan (1 s on a 1-megapixel chart).
constexpr double kWholeChartSeconds = 5;

} // namespace

class KurvanaBench : public QObject {
    Q_OBJECT

public:
    explicit KurvanaBench(const BenchConfig& config) : config_(config) {}

private:
    const BenchConfig& config_;
    Report report_;
    struct Size {
        std::unique_ptr<BenchProgram> program;
        std::unique_ptr<MemcpyBaseline> baseline;
    };
    std::map<QString, Size> sizes_;
    bool failed_ = false;
    QString failure_;

    Size& size(const QString& label, long long pixels) {
        Size& s = sizes_[label];
        if (!s.program) {
            s.program = std::make_unique<BenchProgram>(pixels);
            SizeInfo info;
            info.label = label;
            info.width = s.program->doc().pictureWidth;
            info.height = s.program->doc().pictureHeight;
            info.pictureBytes = s.program->pictureBytes();
            s.baseline = std::make_unique<MemcpyBaseline>(std::size_t(info.pictureBytes));
            std::vector<double> fresh, files;
            for (int i = 0; i < kBaselineRuns; ++i)
                s.baseline->copyOnce();
            for (int i = 0; i < kFreshRuns; ++i) {
                fresh.push_back(s.baseline->freshCopyOnce());
                files.push_back(s.baseline->newFileOnce(s.program->bitmapPath() + ".written"));
            }
            info.memcpySeconds = s.baseline->seconds();
            info.memcpyCopies = s.baseline->copies();
            info.freshSeconds = Median(fresh);
            info.newFileSeconds = Median(files);
            info.targetsApply = pixels == kTargetPixels;
            report_.addSize(info);
        }
        return s;
    }

    Size& currentSize() {
        QFETCH(long long, pixels);
        return size(SizeLabel(pixels), pixels);
    }

    /// The program of the current data row.
    BenchProgram& current() { return *currentSize().program; }

    void addSizeRows() const {
        QTest::addColumn<long long>("pixels");
        for (long long pixels : config_.pixels)
            QTest::newRow(qPrintable(SizeLabel(pixels))) << pixels;
    }

    /// Runs a command as the program would; a failure is remembered for the row's verdict.
    template <typename F> void command(BenchProgram& p, F&& f) {
        if (!runCommand(p.ws(), std::forward<F>(f))) {
            failed_ = true;
            failure_ = p.dialogs().informations.value(p.dialogs().informations.size() - 1);
        }
    }

    /// Measures the steps and files the figure.
    void measure(const QString& name, std::optional<double> target, Steps steps,
                 std::optional<double> targetSeconds = {}) {
        QFETCH(long long, pixels);
        failed_ = false;
        if (!steps.settle)
            steps.settle = &BenchProgram::settle;
        const double seconds = Measure(config_.runs, steps, *currentSize().baseline);
        report_.add({SizeLabel(pixels), name, seconds, false, target, targetSeconds});
        QVERIFY2(!failed_, qPrintable(failure_));
    }

    /// Starts `program` once per run and files what the starts took.
    void startRuns(const QString& label, const QString& name, const QString& program,
                   const QStringList& arguments, const QString& platform,
                   std::optional<double> targetSeconds, std::optional<double> targetMemory) {
        std::vector<FirstPaint> starts;
        for (int run = 0; run < config_.runs; ++run)
            if (const std::optional<FirstPaint> start =
                    TimeFirstPaint(program, arguments, platform))
                starts.push_back(*start);
        QVERIFY2(int(starts.size()) == config_.runs,
                 qPrintable(name + ": the program did not report its first paint"));
        const FirstPaintSummary s = Summarise(starts);
        const QString prefix = QString("%1, %2: ").arg(platform, name);
        report_.add({label, prefix + "start to paint", s.medianSeconds, false, {}, targetSeconds});
        report_.add({label, prefix + "its minimum", s.minimumSeconds, false, {}, {}});
        report_.add({label, prefix + "user time", s.medianUserSeconds, false, {}, {}});
        report_.add({label, prefix + "system time", s.medianSystemSeconds, false, {}, {}});
        report_.add({label, prefix + "peak memory", s.medianPeakBytes, true, targetMemory, {}});
    }

    /// Every move shows the values in the status bar and refreshes the magnifier; some modes
    /// do more.
    static QString moveName(int mode) {
        const char* const what[] = {"no mode",
                                    "marks",
                                    "zero point",
                                    "X max point",
                                    "Y max point",
                                    "zone, left held: circle",
                                    "erasing",
                                    "colour pick: preview",
                                    "hand scroll: scrolls"};
        return QString("mouse move, mode %1 %2").arg(mode).arg(what[mode]);
    }

    /// Trail circles along the curves, each more than 10 pixels from the last.
    static void paintTrail(BenchProgram& p) {
        ButtonPasteLineClick(p.ws());
        int curve = 1;
        int x = p.scan().axisColumn + 10;
        for (int painted = 0; painted < kTrailCircles; ++painted) {
            if (x > p.scan().plotRight - 10) {
                x = p.scan().axisColumn + 10 + painted % kZoneStride;
                curve = curve % kLineCount + 1;
            }
            PaintZoneOnMove(p.ws(), x, p.scan().curveRow(curve, x));
            x += kZoneStride;
        }
    }

private slots:
    void cleanupTestCase() {
        for (const auto& [label, size] : sizes_)
            report_.setBaseline(label, size.baseline->seconds(), size.baseline->copies());
        report_.print(stdout, config_.runs);
    }

    void openBitmap_data() { addSizeRows(); }
    void openBitmap() {
        BenchProgram& p = current();
        measure("open a 24-bit bitmap (LoadPictureFile)", 10,
                {{}, [&] { command(p, [&] { LoadPictureFile(p.ws(), p.bitmapPath()); }); }, {}});
        QCOMPARE(p.doc().cleanPicture.sizeInBytes(), p.pictureBytes());
        p.restoreFullState();
    }

    // The page does not depend on the scan: an A4 vector chart at 600 dpi is 35 megapixels.
    void openPdfPage_data() { addSizeRows(); }
    void openPdfPage() {
        BenchProgram& p = current();
        const QString pdf = QFileInfo(p.bitmapPath()).absolutePath() + "/paper.pdf";
        if (!QFileInfo::exists(pdf))
            WritePdfChart(pdf);
        measure("open an A4 PDF chart page at 600 dpi, to first paint", {},
                {{},
                 [&] {
                     command(p, [&] { OpenFromCommandLine(p.ws(), pdf, {"1", "600"}); });
                     BenchProgram::settle(); // the first paint of the new picture
                 },
                 {}});
        QCOMPARE(p.doc().cleanPicture.size(), QSize(4958, 7017));
        LoadPictureFile(p.ws(), p.bitmapPath());
        p.restoreFullState();
    }

    void saveData_data() { addSizeRows(); }
    void saveData() {
        BenchProgram& p = current();
        measure("save data with its picture copy", 10,
                {{}, [&] { command(p, [&] { SaveData(p.ws()); }); }, {}});
        QVERIFY(QFileInfo::exists(p.doc().dataFileName));
    }

    void redrawMarks_data() { addSizeRows(); }
    void redrawMarks() {
        BenchProgram& p = current();
        measure("RedrawMarks, 5 x 999 points", {}, {{}, [&] { RedrawMarks(p.doc()); }, {}});
        p.restoreFullState();
    }

    void eraseMove_data() { addSizeRows(); }
    void eraseMove() {
        BenchProgram& p = current();
        const QPoint at = p.curvePoints(1).at(kPointsPerLine / 2);
        measure("erase-by-dragging move, 5 x 999 points", 0.25,
                {[&] {
                     p.restoreFullState();
                     SetInputMode(p.ws(), ModeEraser);
                     // A drag in progress: the move erases into the open undo step.
                     p.app().history().beginDrag(p.doc(), StepKind::Erase);
                 },
                 [&] { p.app().imgGrafikMouseMove(at, LeftButton); },
                 {}});
        QVERIFY(p.doc().pointCount(1) < kPointsPerLine);
        p.app().history().endDrag(p.doc());
        p.restoreFullState();
    }

    void mouseMove_data() {
        QTest::addColumn<long long>("pixels");
        QTest::addColumn<int>("mode");
        for (long long pixels : config_.pixels)
            for (int mode : {ModeNone, ModeMarks, ModeZeroPoint, ModeXMaxPoint, ModeYMaxPoint,
                             ModeZone, ModeColourPick, ModeHandScroll})
                QTest::newRow(qPrintable(QString("%1, mode %2").arg(SizeLabel(pixels)).arg(mode)))
                    << pixels << mode;
    }
    void mouseMove() {
        QFETCH(int, mode);
        BenchProgram& p = current();
        p.restoreFullState();
        SetInputMode(p.ws(), mode);
        if (mode == ModeZone)
            ButtonPasteLineClick(p.ws());
        // Zone painting needs the left button; every other mode moves with no button held.
        const unsigned buttons = mode == ModeZone ? unsigned(LeftButton) : 0u;
        int move = 0;
        const QPoint centre = p.plotCentre();
        measure(moveName(mode), 0.02,
                {[&] {
                     if (mode == ModeHandScroll) {
                         p.doc().handScrollActive = true;
                         p.doc().handLastX = centre.x();
                         p.doc().handLastY = centre.y();
                     }
                 },
                 [&] {
                     const QPoint at = centre + QPoint(kZoneStride * (move++ % 2), 0);
                     p.app().imgGrafikMouseMove(at, buttons);
                 },
                 {}});
        p.restoreFullState();
    }

    void mouseMoveWithCheckGrid_data() {
        QTest::addColumn<long long>("pixels");
        QTest::addColumn<bool>("grid");
        for (long long pixels : config_.pixels)
            for (const bool grid : {false, true})
                QTest::newRow(qPrintable(QString("%1, grid %2").arg(SizeLabel(pixels)).arg(grid)))
                    << pixels << grid;
    }
    void mouseMoveWithCheckGrid() {
        // A move that repaints the picture (a zone circle), the repaint timed with it, with and
        // without the check grid painted over the exposed area.
        QFETCH(bool, grid);
        BenchProgram& p = current();
        p.restoreFullState();
        SetInputMode(p.ws(), ModeZone);
        ButtonPasteLineClick(p.ws());
        p.doc().checkGridOn = grid;
        int move = 0;
        const QPoint centre = p.plotCentre();
        measure(QString("mouse move and repaint, mode 5 zone, check grid %1")
                    .arg(grid ? "shown" : "off"),
                0.02,
                {{},
                 [&] {
                     const QPoint at = centre + QPoint(kZoneStride * (move++ % 2), 0);
                     p.app().imgGrafikMouseMove(at, LeftButton);
                     p.settle(); // the paint event
                 },
                 {}});
        p.doc().checkGridOn = false;
        p.restoreFullState();
    }

    void refreshValues_data() { addSizeRows(); }
    void refreshValues() {
        BenchProgram& p = current();
        measure("RefreshValues, 5 x 999 points, with the table", 0.1,
                {{}, [&] { command(p, [&] { RefreshValues(p.ws()); }); }, {}});
    }

    void clickAddingPoint_data() { addSizeRows(); }
    void clickAddingPoint() {
        BenchProgram& p = current();
        // A click beside the curve, between stored points: the snap moves it onto the stroke.
        const QPoint near = p.curvePoints(1).at(kPointsPerLine / 2);
        const QPoint click(near.x() + 1, p.scan().curveRow(1, near.x() + 1) - 2);
        measure("click adding a point (line 1 holds 998)", 0.02,
                {[&] {
                     p.restoreFullState();
                     const QPoint last = p.curvePoints(1).back();
                     p.doc().removeRow(1, kPointsPerLine);
                     RestoreMarksAndAxes(p.doc(),
                                         {MarkArea(last.x(), last.y(), p.doc().markDiameter)});
                     RefreshValues(p.ws());
                     BenchProgram::settle();
                 },
                 [&] { p.app().imgGrafikMouseDown(click, LeftButton); },
                 {}});
        QCOMPARE(p.doc().pointCount(1), kPointsPerLine);
        p.restoreFullState();
    }

    void colourLineSearch_data() { addSizeRows(); }
    void colourLineSearch() {
        BenchProgram& p = current();
        const Colour colour = p.scan().curveColour.at(1);
        // The count to type for 1000 columns (or as many as the plot is pixels wide).
        p.restoreFullState();
        int count = 1000;
        while (PlanColourColumns(p.doc(), count).count < kColourColumns &&
               count < 4 * kColourColumns)
            ++count;
        const long long columns = PlanColourColumns(p.doc(), count).count;
        const QString typed = QString::number(count);
        measure(QString("colour line search, %1 columns").arg(columns), 1.5,
                {[&] {
                     p.restoreFullState();
                     p.doc().searchR = int(colour & 0xFF);
                     p.doc().searchG = int(colour >> 8 & 0xFF);
                     p.doc().searchB = int(colour >> 16 & 0xFF);
                 },
                 [&] { command(p, [&] { FindColourLine(p.ws(), SearchByColour, typed); }); },
                 {}});
        QVERIFY(p.doc().pointCount(1) > columns * 9 / 10); // the curve crosses every column
        p.restoreFullState();
    }

    void zoneSearch_data() { addSizeRows(); }
    void zoneSearch() {
        BenchProgram& p = current();
        measure("zone search, 999 entries", 0.5,
                {[&] {
                     p.restoreFullState();
                     paintTrail(p);
                     QCOMPARE(p.doc().zoneCount, kTrailCircles + 1);
                     p.dialogs().answers = {platform::Answer::Yes};
                     BenchProgram::settle();
                 },
                 [&] { command(p, [&] { ButtonFindOnLineClick(p.ws()); }); },
                 {}});
        QVERIFY(p.doc().pointCount(1) > 0);
        p.restoreFullState();
    }

    void automaticDigitising_data() { addSizeRows(); }
    void automaticDigitising() {
        BenchProgram& p = current();
        measure("automatic digitising", 0.5,
                {[&] {
                     p.restoreFullState();
                     p.dialogs().answers = {platform::Answer::Yes};
                 },
                 [&] { command(p, [&] { AutomaticDigitising(p.ws(), 2); }); },
                 {}});
        p.restoreFullState();
    }

    void fixedStepPrepare_data() { addSizeRows(); }
    void fixedStepPrepare() {
        BenchProgram& p = current();
        bool prepared = false;
        measure("fixed-step search: search copy", {},
                {[&] { p.restoreFullState(); },
                 [&] { command(p, [&] { prepared = PrepareFixedStepSearch(p.ws()); }); },
                 {}});
        QVERIFY(prepared);
    }

    void fixedStepSearch_data() { addSizeRows(); }
    void fixedStepSearch() {
        BenchProgram& p = current();
        QString list;
        measure("fixed-step search, 1000 steps", {},
                {[&] {
                     p.restoreFullState();
                     QVERIFY(PrepareFixedStepSearch(p.ws()));
                 },
                 [&] { command(p, [&] { list = FixedStepSearch(p.ws(), "0", "999", "1"); }); },
                 {}});
        QVERIFY(list.count('\n') > 0);
    }

    void cleanUp_data() { addSizeRows(); }
    void cleanUp() {
        BenchProgram& p = current();
        measure("clean-up", 10,
                {[&] {
                     p.restoreFullState();
                     p.dialogs().answers = {platform::Answer::No};
                 },
                 [&] { command(p, [&] { CleanUpPicture(p.ws()); }); },
                 {}});
        p.restoreFullState();
    }

    void startToFirstPaint_data() { addSizeRows(); }
    void startToFirstPaint() {
        QFETCH(long long, pixels);
        const QString program = Kurvana2Program();
        if (program.isEmpty())
            QSKIP("kurvana2 is not built beside the benchmark");
        BenchProgram& p = current();
        const QString label = SizeLabel(pixels);
        // A PNG of a scan this size takes seconds to write: only for the size of the targets.
        const bool withPng = pixels == kTargetPixels || config_.smoke;
        const QString png = p.bitmapPath() + ".png";
        double decoderSeconds = 0;
        if (withPng) {
            if (!QFileInfo::exists(png))
                QVERIFY(QImageWriter(png, "png").write(p.doc().cleanPicture));
            QImageReader::setAllocationLimit(kImageAllocationLimitMb); // as the program reads
            decoderSeconds = Measure(config_.runs,
                                     {{}, [&] { QVERIFY(!QImageReader(png).read().isNull()); }, {}},
                                     *currentSize().baseline);
            report_.add(
                {label, "the PNG decoder alone (QImageReader)", decoderSeconds, false, {}, {}});
        }
        constexpr double kStartTarget = 0.3;   // seconds, a bitmap
        constexpr double kPngAllowance = 0.15; // seconds beyond the decoder's own time
        constexpr double kMemoryTarget = 2.5;  // the picture's bytes
        for (const QString& platform : StartupPlatforms()) {
            startRuns(label, "bare Qt program", QCoreApplication::applicationFilePath(),
                      {kBareProgramOption}, platform, {}, {});
            startRuns(label, "BMP", program, {p.bitmapPath()}, platform, kStartTarget,
                      kMemoryTarget);
            if (withPng)
                startRuns(label, "PNG", program, {png}, platform, decoderSeconds + kPngAllowance,
                          kMemoryTarget);
        }
    }

    void findAxes_data() { addSizeRows(); }
    void findAxes() {
        BenchProgram& p = current();
        static TesseractReader reader; // its start-up (reading the English data) is not timed
        AxisProposal proposal;
        measure("find axes", {},
                {[&] { p.restoreFullState(); },
                 [&] { proposal = FindAxes(p.ws().doc.cleanPicture, reader); },
                 {}});
        QVERIFY(proposal.x.line && proposal.y.line);
    }

    /// A scan with filled circles of their own colour, each about 10 pixels wide, over the
    /// synthetic chart's curves: 50 x 40 (kBenchMarkers) on 35 MP, as many per pixel on other
    /// sizes. The click goes on the first; returns how many were drawn.
    static int drawMarkers(BenchProgram& p, QImage& picture, QPoint& first) {
        picture = p.ws().doc.cleanPicture.copy();
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 90, 200), 1));
        painter.setBrush(QColor(0, 90, 200));
        const int columns = std::max(3, 50 * picture.width() / 7000);
        const int rows = std::max(2, kBenchMarkers / 50 * picture.height() / 5000);
        const double stepX = (p.scan().plotRight - p.scan().axisColumn - 40) / double(columns);
        const double stepY = (picture.height() * 0.8) / rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const QPointF centre(p.scan().axisColumn + 20 + c * stepX + 0.37 * (r % 3),
                                     picture.height() * 0.1 + r * stepY + 0.29 * (c % 4));
                painter.drawEllipse(centre + QPointF(0.5, 0.5), 5, 5);
                if (r == 0 && c == 0)
                    first = centre.toPoint();
            }
        return rows * columns;
    }

    void findMarkers_data() { addSizeRows(); }
    void findMarkers() {
        BenchProgram& p = current();
        QPoint first;
        QImage picture;
        const int drawn = drawMarkers(p, picture, first); // not timed
        std::optional<MarkerFinding> finding;
        measure("find markers (2000 on 35 MP)", kFindMarkersRatio,
                {[] {}, [&] { finding = FindMarkers(picture, first); }, {}});
        QVERIFY(finding && int(finding->markers.size()) == drawn);
    }

    /// The whole chart read as "Digitise whole chart" reads it: Find axes, the ink map, the
    /// legend and every series followed.
    void digitiseWholeChart_data() { addSizeRows(); }
    void digitiseWholeChart() {
        BenchProgram& p = current();
        static TesseractReader reader; // its start-up is not timed
        ChartReading reading;
        measure("digitise whole chart", {},
                {[&] { p.restoreFullState(); },
                 [&] { reading = ReadWholeChart(p.ws().doc.cleanPicture, reader); },
                 {}},
                kWholeChartSeconds);
        QVERIFY(!reading.series.empty());
    }

    void peakMemory_data() {
        QTest::addColumn<long long>("pixels");
        for (long long pixels : config_.pixels)
            if (pixels == kTargetPixels || config_.smoke)
                QTest::newRow(qPrintable(SizeLabel(pixels))) << pixels;
    }
    void peakMemory() {
        if (QTest::currentDataTag() == nullptr)
            QSKIP("the peak memory is measured on the 35-megapixel scan");
        QFETCH(long long, pixels);
        BenchProgram& p = current();
        const std::optional<PeakMemory> peak = MeasurePeakMemory(p.bitmapPath());
        QVERIFY(peak.has_value());
        QCOMPARE(peak->pictureBytes, p.pictureBytes());
        const QString label = SizeLabel(pixels);
        report_.add({label,
                     "peak memory, the program without a picture",
                     double(peak->withoutPicture),
                     true,
                     {},
                     {}});
        report_.add(
            {label, "peak memory with the picture loaded", double(peak->withPicture), true, 3, {}});
    }
};

namespace kurvana::bench {

int RunKurvanaBench(const BenchConfig& config, int argc, char** argv) {
    KurvanaBench bench(config);
    return QTest::qExec(&bench, argc, argv);
}

} // namespace kurvana::bench

#include "kurvanabench.moc"
