#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/calibration.h"
#include "core/linedata.h"
#include "core/picture.h"
#include "io/calibrationframe.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "io/export.h"
#include "io/exportcommandline.h"
#include "io/exportfile.h"
#include "io/exportformats.h"
#include "io/filepair.h"
#include "iofixture.h"
#include "platform/standardoutput.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// The level frame of the new-picture reset with X 0 .. 1.5 and Y 0 .. 150 over 150 pixels:
/// two points on line 1, one on line 3, values computed.
void PrepareKnownPoints(Document& doc) {
    doc.zeroPointX = 50, doc.zeroPointY = 200;
    doc.xMaxPointX = 200, doc.xMaxPointY = 200;
    doc.yMaxPointX = 50, doc.yMaxPointY = 50;
    doc.axisAngle = axisAngleFor(doc);
    doc.editMinX = "0", doc.editMaxX = "1.5", doc.editMinY = "0", doc.editMaxY = "150";
    doc.appendPoint(1, 60, 190);
    doc.appendPoint(1, 70, 180);
    doc.appendPoint(3, 125, 125);
    doc.pictureFileName = "C:\\charts\\a \"b\".bmp";
    ReadAxisTexts(doc);
    RecomputeValues(doc);
}

/// Saves a small chart as Data/<name>.gra in the fixture's program folder; returns its path.
QString SaveChart(IoFixture& f, const QString& name, int shift) {
    InstallNewPicture(f.ws, ChartPicture(300, 260));
    f.doc->pictureFileName = "/charts/" + name + ".bmp";
    f.doc->dataFileName.clear();
    f.doc->appendPoint(1, 60 + shift, 190);
    f.doc->appendPoint(2, 100, 120 - shift);
    RefreshValues(f.ws);
    SaveData(f.ws);
    return f.path("Data/" + name + ".gra");
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void formsOfAKnownDocumentAreExact() {
        Document doc;
        PrepareKnownPoints(doc);
        QCOMPARE(ExportText(doc, ExportFormat::Csv), QByteArray("X1,Y1,X3,Y3\r\n"
                                                                "0.10000000000000001,10,0.75,75\r\n"
                                                                "0.20000000000000001,20,,\r\n"));
        doc.decimalSeparator = ','; // CSV and JSON ignore the user's separator, TSV follows it
        QCOMPARE(ExportText(doc, ExportFormat::Tsv), QByteArray("X1\tY1\tX3\tY3\r\n"
                                                                "0,1\t10\t0,75\t75\r\n"
                                                                "0,2\t20\t\t\r\n"));
        QCOMPARE(
            ExportText(doc, ExportFormat::Json),
            QByteArray("{\n"
                       "  \"picture\": \"C:\\\\charts\\\\a \\\"b\\\".bmp\",\n"
                       "  \"calibration\": {\n"
                       "    \"zero\": [50, 200],\n"
                       "    \"xmax\": [200, 200],\n"
                       "    \"ymax\": [50, 50],\n"
                       "    \"xmin_value\": 0,\n"
                       "    \"xmax_value\": 1.5,\n"
                       "    \"ymin_value\": 0,\n"
                       "    \"ymax_value\": 150,\n"
                       "    \"xscale\": \"linear\",\n"
                       "    \"yscale\": \"linear\"\n"
                       "  },\n"
                       "  \"lines\": [\n"
                       "    {\n"
                       "      \"line\": 1,\n"
                       "      \"points\": [\n"
                       "        {\"x\": 0.10000000000000001, \"y\": 10, \"px\": 60, \"py\": 190},\n"
                       "        {\"x\": 0.20000000000000001, \"y\": 20, \"px\": 70, \"py\": 180}\n"
                       "      ]\n"
                       "    },\n"
                       "    {\n"
                       "      \"line\": 3,\n"
                       "      \"points\": [\n"
                       "        {\"x\": 0.75, \"y\": 75, \"px\": 125, \"py\": 125}\n"
                       "      ]\n"
                       "    }\n"
                       "  ]\n"
                       "}\n"));
        QCOMPARE(ExportText(Document(), ExportFormat::Csv), QByteArray());
    }

    // A time series: X typed as dates. Every form a user reads shows the dates; the data file
    // holds the day counts of a linear axis, as an older reader expects.
    void aDateAxisShowsDatesInEveryFormAndDayCountsInTheDataFile() {
        Document doc;
        PrepareKnownPoints(doc);
        doc.scaleX = ScaleKind::Date;
        doc.editMinX = "2024-02-28", doc.editMaxX = "2024-03-04"; // 150 px for 5 days, a leap day
        ReadAxisTexts(doc);
        RecomputeValues(doc);
        QCOMPARE(ClipboardText(doc), QString("2024-02-28T08:00\t10\r\n"
                                             "2024-02-28T16:00\t20\r\n"
                                             "2024-03-01T12:00\t\t\t75\r\n"));
        QCOMPARE(ExportText(doc, ExportFormat::Csv),
                 QByteArray("X1,Y1,X3,Y3\r\n"
                            "2024-02-28T08:00,10,2024-03-01T12:00,75\r\n"
                            "2024-02-28T16:00,20,,\r\n"));
        const QJsonObject json =
            QJsonDocument::fromJson(ExportText(doc, ExportFormat::Json)).object();
        QCOMPARE(json["calibration"]["xscale"].toString(), QString("date"));
        QCOMPARE(json["calibration"]["xmax_value"].toString(), QString("2024-03-04T00:00"));
        QCOMPARE(json["lines"][0]["points"][1]["x"].toString(), QString("2024-02-28T16:00"));
        const DataFileContent content = DataFileFromDocument(doc, "copy.bmp");
        QCOMPARE(content.editMinX, QString("45350"));
        QCOMPARE(content.editMaxX, QString("45355"));
        QCOMPARE(content.scaleX, ScaleKind::Date);
        QVERIFY(DataFileBytes(content)->contains("\r\n1\r\n1\r\n")); // both scale codes linear
    }

    // What the data file cannot hold (error bars, bar labels, series names, a date axis) goes
    // to the exports, is kept beside the data file and comes back with it; the data file keeps
    // the bytes it has without them.
    void extrasGoToTheExportsAndComeBackWithTheSavedWork() {
        IoFixture f;
        InstallNewPicture(f.ws, ChartPicture(300, 260));
        Document& doc = *f.doc;
        PrepareKnownPoints(doc);
        doc.pictureFileName = "/charts/extras.bmp";
        doc.editMinX = "45350", doc.editMaxX = "45355"; // the day counts of the dates below
        RefreshValues(f.ws);
        SaveData(f.ws);
        const QString gra = f.path("Data/extras.gra");
        const QByteArray plain = FileBytes(gra);
        QVERIFY(!QFile::exists(gra + ".json"));

        SetScaleKind(f.ws, true, ScaleKind::Date);
        doc.editMinX = "2024-02-28", doc.editMaxX = "2024-03-04";
        doc.extras(1, 1).yLow = 200, doc.extras(1, 1).yHigh = 180; // Y 0 .. 20
        doc.extras(3, 1).label = "Q1";
        doc.lineInfo.at(1) = {"Sample A", SeriesKind::Markers, qRgb(200, 16, 32)};
        RefreshValues(f.ws);
        QCOMPARE(ExportText(doc, ExportFormat::Csv),
                 QByteArray("X1,Sample A,Y1_low,Y1_high,X3,Y3\r\n"
                            "2024-02-28T08:00,10,0,20,Q1,75\r\n"
                            "2024-02-28T16:00,20,,,,\r\n"));
        SaveData(f.ws);
        QCOMPARE(FileBytes(gra), plain);

        IoFixture g;
        g.doc->programDir = doc.programDir; // the picture copy is found in its folder
        OpenDataFile(g.ws, gra);
        const QJsonObject json =
            QJsonDocument::fromJson(ExportText(*g.doc, ExportFormat::Json)).object();
        const QJsonObject line = json["lines"][0].toObject();
        QCOMPARE(line["name"].toString(), QString("Sample A"));
        QCOMPARE(line["kind"].toString(), QString("markers"));
        QCOMPARE(line["colour"].toString(), QString("#c81020"));
        QCOMPARE(line["points"][0]["y_low"].toDouble(), 0.0);
        QCOMPARE(line["points"][0]["y_high"].toDouble(), 20.0);
        QCOMPARE(json["lines"][1]["points"][0]["label"].toString(), QString("Q1"));
        QCOMPARE(json["calibration"]["xscale"].toString(), QString("date"));
    }

    void jsonNumbersReadBackToTheSameDoubles() {
        IoFixture f;
        InstallNewPicture(f.ws, ChartPicture(600, 500));
        Document& doc = *f.doc;
        doc.zeroPointX = 100, doc.zeroPointY = 400, doc.xMaxPointX = 500, doc.xMaxPointY = 300;
        doc.yMaxPointX = 30, doc.yMaxPointY = 120;
        doc.axisAngle = axisAngleFor(doc);
        doc.editMinX = "-1.7", doc.editMaxX = "2.3", doc.editMinY = "0.3", doc.editMaxY = "3";
        doc.scaleY = ScaleKind::Ln;
        for (int i = 0; i < 40; ++i)
            doc.appendPoint(1 + i % 5, 37 + 13 * i, 450 - 11 * i);
        RefreshValues(f.ws);
        const QJsonObject json =
            QJsonDocument::fromJson(ExportText(doc, ExportFormat::Json)).object();
        QCOMPARE(json["calibration"]["yscale"].toString(), QString("ln"));
        QCOMPARE(json["calibration"]["xmin_value"].toDouble(), -1.7);
        const QJsonArray lines = json["lines"].toArray();
        QCOMPARE(lines.size(), 5);
        for (const QJsonValue line : lines) {
            const int n = line["line"].toInt();
            const QJsonArray points = line["points"].toArray();
            QCOMPARE(points.size(), doc.pointCount(n));
            for (int row = 1; row <= doc.pointCount(n); ++row) {
                const QJsonValue p = points[row - 1];
                QCOMPARE(p["x"].toDouble(), doc.valueX(n, row)); // bit for bit
                QCOMPARE(p["y"].toDouble(), doc.valueY(n, row));
                QCOMPARE(p["px"].toInt(), doc.pointX(n, row));
            }
        }
    }

    void theOtherFramesGoOutAndBackInTheirJsonForm() {
        IoFixture f;
        InstallNewPicture(f.ws, ChartPicture(600, 500));
        Document& doc = *f.doc;
        doc.appendPoint(1, 300, 200);
        const auto frameOf = [](const char* text) {
            return QJsonDocument::fromJson(QByteArray(text)).object();
        };
        const QJsonObject perspective = frameOf(
            R"({"frame": "perspective", "points": [[40, 450], [560, 470], [500, 60], [90, 40]],
                "values": [[0, -1], [10, -1], [10, 2.5], [0, 2.5]], "xscale": "linear",
                "yscale": "log10"})");
        const QJsonObject polar = frameOf(
            R"({"frame": "polar", "centre": [300, 250], "reference": [400, 250],
                "reference_angle": 0, "reference_radius": 0, "centre_radius": -40,
                "direction": "cw", "angle_unit": "degrees", "rscale": "linear"})");
        for (const QJsonObject& frame : {perspective, polar}) {
            QVERIFY(FrameFromJson(doc, frame));
            RefreshValues(f.ws);
            const QJsonObject json =
                QJsonDocument::fromJson(ExportText(doc, ExportFormat::Json)).object();
            QCOMPARE(json["calibration"].toObject(), frame);
        }
        // Polar points: x the angle (clockwise, so the point above the centre is at 270), y the
        // radius.
        QCOMPARE(doc.valueX(1, 1), 270.0);
        QCOMPARE(doc.valueY(1, 1), -20.0);
        // An incomplete frame changes nothing.
        QJsonObject broken = perspective;
        broken["points"] = QJsonArray{QJsonArray{1, 2}, QJsonArray{3, 4}, QJsonArray{5, 6}};
        QVERIFY(!FrameFromJson(doc, broken));
        QCOMPARE(doc.frame, CalibrationFrame::Polar);
    }

    void theExportCommandWritesTheChosenForm() {
        IoFixture f;
        PrepareKnownPoints(*f.doc);
        const QString path = f.path("points.json");
        f.dialogs.saveFiles = {std::nullopt, path};
        ExportDataCommand(f.ws); // cancelled: nothing written, nothing said
        QVERIFY(!QFile::exists(path));
        ExportDataCommand(f.ws);
        QCOMPARE(FileBytes(path), ExportText(*f.doc, ExportFormat::Json));
        QCOMPARE(f.dialogs.informations.size(), 1);
        QVERIFY(f.dialogs.informations.front().contains("3 points"));
        QVERIFY(f.dialogs.saveProposals.front().endsWith("Data/a \"b\".csv"));
        f.dialogs.saveFiles = {f.path("no/such/folder/x.csv")};
        bool failed = false;
        try {
            ExportDataCommand(f.ws);
        } catch (const CommandError&) {
            failed = true;
        }
        QVERIFY(failed);
    }

    void commandLineBatchExportsEveryReadableFile() {
        IoFixture f;
        const QString first = SaveChart(f, "first", 0);
        const QString second = SaveChart(f, "second", 7);
        const QString damaged = f.path("Data/damaged.gra");
        QFile::copy(first, damaged);
        QFile bad(damaged);
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("not a data file\r\n");
        bad.close();
        const auto prepare = [&f](Document& doc) { doc.programDir = f.doc->programDir; };

        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(RunExportCommand({"--format", "csv", first, damaged, second}, prepare, out, err),
                 1);
        QVERIFY(out.data().isEmpty());
        QVERIFY(QFile::exists(f.path("Data/first.csv")));
        QVERIFY(QFile::exists(f.path("Data/second.csv")));
        QVERIFY(!QFile::exists(f.path("Data/damaged.csv")));
        QVERIFY(err.data().contains("damaged.gra"));
        QCOMPARE(err.data().count('\n'), 1);
        QVERIFY(FileBytes(f.path("Data/first.csv")).startsWith("X1,Y1,X2,Y2\r\n"));

        // One file without a form: the clipboard text on standard output, as it always was.
        QBuffer text, quiet;
        text.open(QIODevice::WriteOnly);
        quiet.open(QIODevice::WriteOnly);
        QCOMPARE(RunExportCommand({second}, prepare, text, quiet), 0);
        Document opened;
        prepare(opened);
        QCOMPARE(text.data(), ExportDataFileText(opened, second).toUtf8());
        // -o writes the one file's output where asked; a bad form is a usage error.
        QCOMPARE(RunExportCommand({"--format=json", "-o", f.path("out.json"), second}, prepare,
                                  text, quiet),
                 0);
        QVERIFY(FileBytes(f.path("out.json")).startsWith("{\n  \"picture\""));
        QCOMPARE(RunExportCommand({"--format", "xml", second}, prepare, text, quiet), 2);
        QCOMPARE(RunExportCommand({"-o", "x", first, second}, prepare, text, quiet), 2);
    }

    // `kurvana2 --export ok.gra > /dev/full`: the standard output the command line gives the
    // export is checked like any file, and the failure is said and exits non-zero.
    void aFullStandardOutputFailsTheExport() {
        IoFixture f;
        const QString saved = SaveChart(f, "chart", 0);
        const int full = ::open("/dev/full", O_WRONLY);
        QVERIFY(full >= 0);
        std::fflush(stdout);
        const int kept = ::dup(STDOUT_FILENO);
        ::dup2(full, STDOUT_FILENO);
        StandardOutput out;
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        const int status = RunExportCommand(
            {"--format", "csv", saved}, [&f](Document& doc) { doc.programDir = f.doc->programDir; },
            out, err);
        ::dup2(kept, STDOUT_FILENO);
        ::close(kept);
        ::close(full);
        QCOMPARE(status, 1);
        QVERIFY(err.data().contains(qPrintable(std::strerror(ENOSPC))));
    }

    // Only a regular file is replaced by rename: a pipe is written into and stays a pipe, and
    // a symbolic link stays a link to the new contents.
    void theWriterWritesIntoPipesAndThroughLinks() {
        QTemporaryDir folder;
        const QString pipe = folder.filePath("pipe");
        QCOMPARE(::mkfifo(qPrintable(pipe), 0600), 0);
        const int reader = ::open(qPrintable(pipe), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QCOMPARE(WriteFileAtomically(pipe, "through the pipe"), QString());
        char received[64] = {};
        QCOMPARE(::read(reader, received, sizeof received), qsizetype(16));
        ::close(reader);
        QCOMPARE(QByteArray(received), QByteArray("through the pipe"));
        QVERIFY(!QFileInfo(pipe).isFile());

        const QString target = folder.filePath("target.csv"), link = folder.filePath("link.csv");
        QVERIFY(QFile::link(target, link)); // a link to a file not made yet
        QCOMPARE(WriteFileAtomically(link, "first"), QString());
        QCOMPARE(WriteFileAtomically(link, "second"), QString());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(FileBytes(target), QByteArray("second"));
    }
};

int RunExportTests(int argc, char** argv) {
    TestExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_export.moc"
