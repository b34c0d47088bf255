// The benchmark on large scans: every case on synthetic chart scans of several sizes, each the
// median of several runs, printed beside the machine's memcpy of the picture's bytes.
//
//   kurvana_bench [--sizes 1,10,35] [--runs 5] [--smoke] [QtTest options]
//
// --smoke runs every case once on a small scan, so that the cases keep working.

#include <QtTest>

#include <map>
#include <memory>
#include <optional>

#include <QApplication>
#include <QProcess>

#include "bench/benchprogram.h"
#include "bench/measure.h"
#include "bench/report.h"
#include "core/calibration.h"
#include "core/clicks.h"
#include "core/drawing.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/picturecommands.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/colourline.h"
#include "tracing/fixedstep.h"
#include "tracing/zonesearch.h"
#include "ui/application.h"

using namespace kurvana;
using namespace kurvana::bench;

namespace {

constexpr long long kTargetPixels = 35'000'000;
constexpr int kBaselineRuns = 9;
constexpr int kTrailCircles = 999;
constexpr int kZoneStride = 11; ///< a new trail circle needs more than 10 pixels of travel

struct Config {
    std::vector<long long> pixels{1'000'000, 10'000'000, kTargetPixels};
    int runs = 5;
    bool smoke = false;
};

Config config;

QString sizeLabel(long long pixels) {
    return QString::number(double(pixels) / 1e6, 'g', 3) + " MP";
}

/// The peak resident set of a fresh program that opens `bitmap`: the line the child prints.
constexpr const char* kPeakMemoryOption = "--peak-memory";

int peakMemoryChild(int argc, char** argv, const QString& bitmap) {
    QApplication application(argc, argv);
    Document doc;
    platform::ScriptedDialogs dialogs;
    QTemporaryDir folder;
    KurvanaApplication app(doc, dialogs);
    app.start(folder.path(), {}, '.'); // the open dialog is cancelled
    BenchProgram::settle();
    const long long withoutPicture = PeakResidentBytes();
    if (!runCommand(app.workspace(), [&] { LoadPictureFile(app.workspace(), bitmap); }))
        return 1;
    BenchProgram::settle();
    app.imgGrafikMouseMove(QPoint(doc.pictureWidth / 2, doc.pictureHeight / 2), 0);
    BenchProgram::settle();
    std::printf("%lld %lld %lld\n", withoutPicture, PeakResidentBytes(),
                static_cast<long long>(doc.cleanPicture.sizeInBytes()));
    return 0;
}

} // namespace

class KurvanaBench : public QObject {
    Q_OBJECT

public:
    Report report;

private:
    std::map<QString, std::unique_ptr<BenchProgram>> programs_;
    bool failed_ = false;
    QString failure_;

    BenchProgram& program(const QString& label, long long pixels) {
        auto& slot = programs_[label];
        if (!slot) {
            slot = std::make_unique<BenchProgram>(pixels);
            SizeInfo size;
            size.label = label;
            size.width = slot->doc().pictureWidth;
            size.height = slot->doc().pictureHeight;
            size.pictureBytes = slot->pictureBytes();
            size.baselineSeconds = MemcpySeconds(slot->doc().cleanPicture.constBits(),
                                                 std::size_t(size.pictureBytes), kBaselineRuns);
            size.targetsApply = pixels == kTargetPixels;
            report.addSize(size);
        }
        return *slot;
    }

    /// The program of the current data row.
    BenchProgram& current() {
        QFETCH(long long, pixels);
        return program(sizeLabel(pixels), pixels);
    }

    static void addSizeRows() {
        QTest::addColumn<long long>("pixels");
        for (long long pixels : config.pixels)
            QTest::newRow(qPrintable(sizeLabel(pixels))) << pixels;
    }

    /// Runs a command as the program would; a failure is remembered for the row's verdict.
    template <typename F> void command(BenchProgram& p, F&& f) {
        if (!runCommand(p.ws(), std::forward<F>(f))) {
            failed_ = true;
            failure_ = p.dialogs().informations.value(p.dialogs().informations.size() - 1);
        }
    }

    /// Measures the steps, files the figure and reports the median to QtTest.
    void measure(const QString& name, std::optional<double> target, Steps steps) {
        QFETCH(long long, pixels);
        failed_ = false;
        if (!steps.settle)
            steps.settle = &BenchProgram::settle;
        const double seconds = MedianSeconds(config.runs, steps);
        report.add({sizeLabel(pixels), name, seconds, false, target});
        QVERIFY2(!failed_, qPrintable(failure_));
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
        report.print(stdout, config.runs);
    }

    void openBitmap_data() { addSizeRows(); }
    void openBitmap() {
        BenchProgram& p = current();
        measure("open a 24-bit bitmap (LoadPictureFile)", 10,
                {{}, [&] { command(p, [&] { LoadPictureFile(p.ws(), p.bitmapPath()); }); }, {}});
        QCOMPARE(p.doc().cleanPicture.sizeInBytes(), p.pictureBytes());
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
                 },
                 [&] { p.app().imgGrafikMouseMove(at, LeftButton); },
                 {}});
        QVERIFY(p.doc().pointCount(1) < kPointsPerLine);
        p.restoreFullState();
    }

    void mouseMove_data() {
        QTest::addColumn<long long>("pixels");
        QTest::addColumn<int>("mode");
        for (long long pixels : config.pixels)
            for (int mode : {ModeNone, ModeMarks, ModeZeroPoint, ModeXMaxPoint, ModeYMaxPoint,
                             ModeZone, ModeColourPick, ModeHandScroll})
                QTest::newRow(qPrintable(QString("%1, mode %2").arg(sizeLabel(pixels)).arg(mode)))
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
        measure(QString("mouse move, mode %1 (readout, magnifier)").arg(mode), 0.02,
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
                     RestoreMarksAndAxes(p.doc(), {MarkArea(last.x(), last.y(),
                                                            p.doc().markDiameter)});
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
        long long columns = 0;
        measure("colour line search, 1000 columns", 1.5,
                {[&] {
                     p.restoreFullState();
                     p.doc().searchR = int(colour & 0xFF);
                     p.doc().searchG = int(colour >> 8 & 0xFF);
                     p.doc().searchB = int(colour >> 16 & 0xFF);
                     columns = PlanColourColumns(p.doc(), 1000).count;
                 },
                 [&] { command(p, [&] { FindColourLine(p.ws(), SearchByColour, "1000"); }); },
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

    void peakMemory_data() {
        QTest::addColumn<long long>("pixels");
        for (long long pixels : config.pixels)
            if (pixels == kTargetPixels || config.smoke)
                QTest::newRow(qPrintable(sizeLabel(pixels))) << pixels;
    }
    void peakMemory() {
        QFETCH(long long, pixels);
        BenchProgram& p = current();
        // A fresh process: what the earlier cases held must not count.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {kPeakMemoryOption, p.bitmapPath()});
        QVERIFY(child.waitForFinished(300'000));
        QCOMPARE(child.exitCode(), 0);
        const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
        QCOMPARE(figures.size(), 3);
        const QString label = sizeLabel(pixels);
        report.add({label, "peak memory, program without a picture", figures[0].toDouble(), true,
                    {}});
        report.add({label, "peak memory with the picture loaded (VmHWM)", figures[1].toDouble(),
                    true, 3});
        QCOMPARE(figures[2].toLongLong(), p.pictureBytes());
    }
};

int main(int argc, char** argv) {
    // Windows are created but never shown on a screen: the figures must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == kPeakMemoryOption)
        return peakMemoryChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    // Our options first; whatever remains goes to QtTest.
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const QByteArray option(argv[i]);
        if (option == "--smoke") {
            config.smoke = true;
            config.runs = 1;
            config.pixels = {300'000};
        } else if (option == "--runs" && i + 1 < argc) {
            config.runs = std::max(1, QByteArray(argv[++i]).toInt());
        } else if (option == "--sizes" && i + 1 < argc) {
            config.pixels.clear();
            for (const QByteArray& megapixels : QByteArray(argv[++i]).split(','))
                config.pixels.push_back(static_cast<long long>(megapixels.toDouble() * 1e6));
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = int(rest.size());
    QApplication application(restCount, rest.data());
    KurvanaBench bench;
    return QTest::qExec(&bench, restCount, rest.data());
}

#include "kurvanabench.moc"
