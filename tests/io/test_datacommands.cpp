#include <deque>

#include <QtTest>

#include "core/calibration.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/linedata.h"
#include "core/picture.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "io/export.h"
#include "io/filepair.h"
#include "io/recovery.h"
#include "io/unsavedwork.h"
#include "iofixture.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// A fixture with a chart picture, a tilted calibration and points on lines 1 and 4, values
/// computed: a document worth saving.
void PrepareWork(IoFixture& f) {
    Document& doc = *f.doc;
    InstallNewPicture(f.ws, ChartPicture(600, 500));
    doc.pictureFileName = "/charts/tilt.bmp";
    doc.zeroPointX = 100, doc.zeroPointY = 400;
    doc.xMaxPointX = 500, doc.xMaxPointY = 300;
    doc.yMaxPointX = 30, doc.yMaxPointY = 120;
    doc.axisAngle = axisAngleFor(doc);
    doc.editMinX = "1", doc.editMaxX = "2.5", doc.editMinY = "0", doc.editMaxY = "3";
    doc.scaleY = ScaleKind::Log10;
    for (const QPoint p : {QPoint(300, 250), QPoint(150, 380), QPoint(420, 200), QPoint(200, 90)})
        doc.appendPoint(1, p.x(), p.y());
    doc.appendPoint(4, 333, 111);
    doc.appendPoint(4, 120, 310);
    RedrawMarks(doc);
    ToggleAxes(doc);
    RefreshValues(f.ws);
}

/// What a failed command must leave exactly as it was.
struct Snapshot {
    explicit Snapshot(const Document& doc)
        : pixels(doc.pixelTable), nextRow(doc.nextRow), zero(doc.zeroPointX, doc.zeroPointY),
          editMaxX(doc.editMaxX), dataFileName(doc.dataFileName),
          pictureFileName(doc.pictureFileName), clean(doc.cleanPicture),
          working(doc.workingPicture) {}
    bool operator==(const Snapshot&) const = default;
    decltype(Document::pixelTable) pixels;
    decltype(Document::nextRow) nextRow;
    QPoint zero;
    QString editMaxX, dataFileName, pictureFileName;
    QImage clean, working;
};

/// A recovery copy of the fixture's work as a program that died leaves it: `root`/`name`.
QString AbandonedCopy(IoFixture& f, const QString& root, const QString& name) {
    RecoveryCopy copy(*f.doc, root);
    copy.writeNow();
    const QString dead = root + '/' + name;
    QDir().mkpath(dead);
    for (const QString file : {"work.gra", "picture.bmp", "origin.txt"})
        QFile::copy(copy.folder() + '/' + file, dead + '/' + file);
    return dead;
}

QString CommandErrorOf(const std::function<void()>& command) {
    try {
        command();
    } catch (const CommandError& error) {
        return error.text();
    }
    return {};
}

} // namespace

class TestDataCommands : public QObject {
    Q_OBJECT
private slots:
    void savesTheThreePointExampleByteForByte() {
        IoFixture f;
        Document& doc = *f.doc;
        InstallNewPicture(f.ws, ChartPicture());
        doc.pictureFileName = "/charts/chart.bmp";
        doc.editMinX = "0", doc.editMaxX = "100", doc.editMinY = "0", doc.editMaxY = "50";
        doc.scaleY = ScaleKind::Log10;
        doc.appendPoint(1, 60, 190);
        doc.appendPoint(1, -5, 150);
        doc.appendPoint(1, 120, 120);
        RedrawMarks(doc);
        ToggleAxes(doc);
        const QImage shown = doc.workingPicture;
        f.dialogs.inputs = {QString("chart"), QString("three_points")};

        SaveData(f.ws); // Data/ and Data/Grafiks/ do not exist yet

        QCOMPARE(FileBytes(f.path("Data/three_points.gra")), ThreePointFile());
        QCOMPARE(QImage(f.path("Data/Grafiks/chart.bmp")).convertToFormat(QImage::Format_RGB32),
                 ChartPicture()); // the clean picture: no marks, no axes
        QCOMPARE(doc.dataFileName, f.path("Data/three_points.gra"));
        QCOMPARE(f.dialogs.informations, QStringList{doc.dataFileName + "\rM19"});
        QCOMPARE(doc.workingPicture, shown); // marks and axes back as they were
        QCOMPARE(QDir(f.path("Data/Grafiks")).entryList(QDir::Files), QStringList{"chart.bmp"});
    }

    void proposesNamesAndSavesUnderThem_data() {
        QTest::addColumn<QString>("pictureFileName");
        QTest::addColumn<QString>("dataFileName");
        QTest::addColumn<QString>("copyStem");
        QTest::addColumn<QString>("dataStem");
        QTest::newRow("clipboard") << "clipboard"
                                   << ""
                                   << "curve"
                                   << "curve";
        QTest::newRow("windows path") << "C:\\charts\\plot1.bmp"
                                      << ""
                                      << "plot1"
                                      << "plot1";
        QTest::newRow("long extension") << "/charts/chart.jpeg"
                                        << ""
                                        << "chart"
                                        << "chart";
        QTest::newRow("dots in the name") << "/charts/plot.v2.tif"
                                          << ""
                                          << "plot.v2"
                                          << "plot.v2";
        QTest::newRow("data file open") << "/charts/plot1.bmp"
                                        << "/p/Data/old.gra"
                                        << "plot1"
                                        << "old";
    }
    void proposesNamesAndSavesUnderThem() {
        QFETCH(QString, pictureFileName);
        QFETCH(QString, dataFileName);
        QFETCH(QString, copyStem);
        QFETCH(QString, dataStem);
        IoFixture f;
        InstallNewPicture(f.ws, ChartPicture());
        f.doc->pictureFileName = pictureFileName;
        f.doc->dataFileName = dataFileName;

        QVERIFY(SaveData(f.ws)); // both proposals taken

        QCOMPARE(f.dialogs.prompts, QStringList({"M16|M17|" + copyStem, "M18|M17|" + dataStem}));
        QVERIFY(QFile::exists(f.path("Data/Grafiks/" + copyStem + ".bmp")));
        QCOMPARE(ParseDataFile(FileBytes(f.path("Data/" + dataStem + ".gra")), "", Texts())
                     .pictureCopyName,
                 copyStem + ".bmp");
    }

    void savingOverAnotherChartsFilesAsksFirst() {
        IoFixture f;
        PrepareWork(f);
        QVERIFY(SaveData(f.ws));
        const QByteArray oldCopy = FileBytes(f.path("Data/Grafiks/tilt.bmp"));
        const QByteArray oldData = FileBytes(f.path("Data/tilt.gra"));
        QVERIFY(SaveData(f.ws)); // its own files again: no question
        QVERIFY(f.dialogs.questions.isEmpty());

        // Another picture of the same name proposes the same names.
        InstallNewPicture(f.ws, ChartPicture(600, 500, qRgb(0, 0, 255)));
        f.doc->pictureFileName = "/elsewhere/tilt.bmp";
        f.dialogs.answers = {platform::Answer::No};
        QVERIFY(!SaveData(f.ws));
        QCOMPARE(f.dialogs.questions.size(), 1);
        QVERIFY(f.dialogs.questions[0].contains(f.path("Data/tilt.gra")));
        QCOMPARE(FileBytes(f.path("Data/Grafiks/tilt.bmp")), oldCopy);
        QCOMPARE(FileBytes(f.path("Data/tilt.gra")), oldData);

        // Only the copy's name taken: asked too.
        f.dialogs.inputs = {QString("tilt"), QString("second")};
        f.dialogs.answers = {platform::Answer::No};
        QVERIFY(!SaveData(f.ws));
        QVERIFY(f.dialogs.questions.last().contains(f.path("Data/Grafiks/tilt.bmp")));
        QVERIFY(!QFile::exists(f.path("Data/second.gra")));
        QVERIFY(SaveData(f.ws)); // Yes replaces
        QVERIFY(FileBytes(f.path("Data/tilt.gra")) != oldData);
    }

    void failedSaveLeavesTheOldPairIntact() {
        IoFixture f;
        PrepareWork(f);
        SaveData(f.ws);
        const QByteArray oldCopy = FileBytes(f.path("Data/Grafiks/tilt.bmp"));
        const QByteArray oldData = FileBytes(f.path("Data/tilt.gra"));

        // Same picture copy, but the data file cannot be written: the copy must not change.
        f.doc->cleanPicture = ChartPicture(600, 500, qRgb(0, 0, 255));
        f.doc->appendPoint(2, 5, 5);
        QVERIFY(QDir().mkpath(f.path("Data/blocked.gra/inside")));
        const Snapshot before(*f.doc);
        f.dialogs.inputs = {QString("tilt"), QString("blocked")};
        const QString error = CommandErrorOf([&] { SaveData(f.ws); });

        QVERIFY2(error.startsWith("Saving \"" + f.path("Data/blocked.gra") + "\" failed"),
                 qPrintable(error));
        QVERIFY(Snapshot(*f.doc) == before);
        QCOMPARE(FileBytes(f.path("Data/Grafiks/tilt.bmp")), oldCopy);
        QCOMPARE(FileBytes(f.path("Data/tilt.gra")), oldData);
        QCOMPARE(QDir(f.path("Data/Grafiks")).entryList(QDir::Files), QStringList{"tilt.bmp"});

        // A folder that cannot be created is reported the same way.
        IoFixture g;
        InstallNewPicture(g.ws, ChartPicture());
        WriteBytes(g.path("Data"), "a file where the folder belongs");
        QVERIFY(CommandErrorOf([&] { SaveData(g.ws); }).contains("the folder cannot be created"));
    }

    void pairReplacementRestoresTheFirstFileWhenTheSecondFails() {
        QTemporaryDir dir;
        const QString first = dir.path() + "/Grafiks/copy.bmp";
        WriteBytes(first, "old copy");
        const auto bytes = [](const QByteArray& content) {
            return [content](QIODevice& device) {
                device.write(content);
                return QString();
            };
        };
        // The second file's folder vanishes before it is moved into place (a removed drive).
        const QString vanishing = dir.path() + "/gone";
        QVERIFY(QDir().mkpath(vanishing));
        const auto writeThenVanish = [&](QIODevice& device) {
            device.write("data");
            QDir(vanishing).removeRecursively();
            return QString();
        };

        const auto failure =
            ReplaceFilePair({first, bytes("new copy")}, {vanishing + "/data.gra", writeThenVanish});

        QVERIFY(failure);
        QCOMPARE(failure->file, vanishing + "/data.gra");
        QCOMPARE(FileBytes(first), QByteArray("old copy"));
        QCOMPARE(QDir(dir.path() + "/Grafiks").entryList(QDir::Files), QStringList{"copy.bmp"});

        QVERIFY(!ReplaceFilePair({first, bytes("new copy")}, {dir.path() + "/d.gra", bytes("d")}));
        QCOMPARE(FileBytes(first), QByteArray("new copy"));
        QCOMPARE(QDir(dir.path() + "/Grafiks").entryList(QDir::Files), QStringList{"copy.bmp"});
    }

    void tiltedCalibrationReopensWithEqualValues() {
        IoFixture saved;
        PrepareWork(saved);
        SaveData(saved.ws);

        IoFixture f;
        f.doc->programDir = saved.doc->programDir;
        f.doc->appendPoint(3, 9, 9); // work in progress that opening replaces
        OpenDataFile(f.ws, saved.path("Data/tilt.gra"));

        const Document& a = *saved.doc;
        const Document& b = *f.doc;
        QCOMPARE(b.axisAngle, a.axisAngle);
        QVERIFY(b.axisAngle != 0.0L);
        QCOMPARE(b.nextRow, a.nextRow);
        for (int line = 1; line <= kLineCount; ++line)
            for (int row = 1; row < a.nextRow.at(line); ++row) {
                QCOMPARE(b.pointX(line, row), a.pointX(line, row));
                QCOMPARE(b.valueX(line, row), a.valueX(line, row));
                QCOMPARE(b.valueY(line, row), a.valueY(line, row));
            }
        QCOMPARE(b.scaleY, ScaleKind::Log10);
        QCOMPARE(b.dataFileName, saved.path("Data/tilt.gra"));
        QCOMPARE(b.pictureFileName, saved.path("Data/Grafiks/tilt.bmp"));
        QCOMPARE(f.view.status[2], b.pictureFileName);
        QCOMPARE(b.pictureWidth, 600);
        QCOMPARE(b.cleanPicture, a.cleanPicture);
        QCOMPARE(b.searchCopy, a.cleanPicture);
        QCOMPARE(b.workingPicture, a.workingPicture); // marks and one axes drawing
        QVERIFY(f.view.documentSettingsChanges > 0);
    }

    void corruptFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("withCopy");
        QTest::addColumn<int>("line");
        QTest::newRow("bad integer") << Altered(ThreePointFile(), 20, "12x") << true << 20;
        QTest::newRow("count 1003") << Altered(ThreePointFile(), 25, "1003") << true << 25;
        QTest::newRow("missing picture copy") << ThreePointFile() << false << 1;
    }
    void corruptFileChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, withCopy);
        QFETCH(int, line);
        IoFixture f;
        PrepareWork(f);
        f.doc->dataFileName = "/previous.gra";
        WriteBytes(f.path("Data/x.gra"), bytes);
        QDir().mkpath(f.path("Data/Grafiks"));
        if (withCopy)
            QVERIFY(ChartPicture().save(f.path("Data/Grafiks/chart.bmp")));
        const Snapshot before(*f.doc);

        const QString error = CommandErrorOf([&] { OpenDataFile(f.ws, f.path("Data/x.gra")); });

        QVERIFY2(error.contains(QString("(line %1)").arg(line)), qPrintable(error));
        QVERIFY(error.contains(f.path("Data/x.gra")));
        QVERIFY(Snapshot(*f.doc) == before);
    }

    void cancelledOpenDialogChangesNothing() {
        IoFixture f;
        PrepareWork(f);
        const Snapshot before(*f.doc);
        OpenDataDialog(f.ws);
        QVERIFY(Snapshot(*f.doc) == before);
    }

    void exportMatchesTheClipboardAfterOpening_data() {
        QTest::addColumn<bool>("sortOn");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("sorted, point") << true << QChar('.');
        QTest::newRow("unsorted, comma") << false << QChar(',');
    }
    void exportMatchesTheClipboardAfterOpening() {
        QFETCH(bool, sortOn);
        QFETCH(QChar, separator);
        IoFixture saved;
        PrepareWork(saved);
        saved.doc->currentLine = 4; // line 1 was saved unsorted
        std::swap(saved.doc->pointX(1, 1), saved.doc->pointX(1, 3));
        SaveData(saved.ws);
        const QString path = saved.path("Data/tilt.gra");

        IoFixture opened;
        opened.doc->programDir = saved.doc->programDir;
        opened.doc->sortOn = sortOn;
        opened.doc->decimalSeparator = separator;
        OpenDataFile(opened.ws, path);
        const QString expected = ClipboardText(*opened.doc);
        QVERIFY(expected.count("\r\n") == 6);

        QVERIFY(QFile::remove(saved.path("Data/Grafiks/tilt.bmp"))); // not needed for export
        Document fresh;
        fresh.programDir = saved.doc->programDir;
        fresh.sortOn = sortOn;
        fresh.decimalSeparator = separator;
        QCOMPARE(ExportDataFileText(fresh, path), expected);

        Document bad;
        QVERIFY(CommandErrorOf([&] {
                    ExportDataFileText(bad, saved.path("none.gra"));
                }).contains("(line 1)"));
    }

    void unsavedWorkIsAskedAboutBeforeItIsDropped() {
        IoFixture f;
        History history;
        f.ws.history = &history;
        PrepareWork(f);
        history.reset(*f.doc, false);
        QVERIFY(ConfirmDropOfUnsavedWork(f.ws)); // nothing unsaved: no question
        QVERIFY(f.dialogs.questions.isEmpty());
        {
            const RecordedStep step(f.ws, StepKind::AddPoint);
            f.doc->appendPoint(2, 10, 10);
        }
        using platform::Answer;
        f.dialogs.answers = {Answer::Cancel};
        f.dialogs.files = {f.path("never.gra")};
        OpenDataDialog(f.ws); // Cancel: the open dialog is not even shown
        QCOMPARE(f.dialogs.files.size(), std::size_t(1));
        QCOMPARE(f.dialogs.questions.last(),
                 QString("Save the changes to the points of this chart?"));
        f.dialogs.answers = {Answer::No};
        QVERIFY(ConfirmDropOfUnsavedWork(f.ws));
        QVERIFY(history.modified()); // Discard saves nothing
        // Save, then Cancel in a name box: back to the work, nothing written.
        for (const int cancelled : {0, 1}) {
            f.dialogs.answers = {Answer::Yes};
            f.dialogs.inputs = {QString("kept")};
            f.dialogs.inputs.insert(f.dialogs.inputs.begin() + cancelled, std::nullopt);
            QVERIFY(!ConfirmDropOfUnsavedWork(f.ws));
            QVERIFY(!QDir(f.path("Data")).exists());
            QVERIFY(history.modified());
        }
        f.dialogs.answers = {Answer::Yes};
        f.dialogs.inputs = {QString("kept"), QString("kept")};
        QVERIFY(ConfirmDropOfUnsavedWork(f.ws));
        QVERIFY(QFile::exists(f.path("Data/kept.gra")));
        QVERIFY(!history.modified());
    }

    void recoveryCopyRestoresTheWorkOfAProgramThatDied() {
        IoFixture f;
        PrepareWork(f);
        const QString root = f.path("recovery");
        auto copy = std::make_unique<RecoveryCopy>(*f.doc, root);
        copy->writeNow();
        QVERIFY(AbandonedRecoveryCopies(root).empty()); // a live program's copy is its own
        // A program that died leaves its folder without a live lock.
        const QString dead = root + "/dead";
        QDir().mkpath(dead);
        for (const QString name : {"work.gra", "picture.bmp", "origin.txt"})
            QVERIFY(QFile::copy(copy->folder() + '/' + name, dead + '/' + name));
        QCOMPARE(AbandonedRecoveryCopies(root), std::vector<QString>{dead});

        IoFixture g;
        History history;
        g.ws.history = &history;
        RestoreRecoveryCopy(g.ws, dead);
        const Document& a = *f.doc;
        const Document& b = *g.doc;
        QCOMPARE(b.nextRow, a.nextRow);
        for (const int line : {1, 4})
            for (int row = 1; row < a.nextRow[line]; ++row) {
                QCOMPARE(b.pointX(line, row), a.pointX(line, row));
                QCOMPARE(b.valueY(line, row), a.valueY(line, row));
            }
        QCOMPARE(QPoint(b.yMaxPointX, b.yMaxPointY), QPoint(a.yMaxPointX, a.yMaxPointY));
        QCOMPARE(b.editMaxX, a.editMaxX);
        QCOMPARE(b.cleanPicture, a.cleanPicture);
        QCOMPARE(b.pictureFileName, QString("/charts/tilt.bmp"));
        QVERIFY(history.modified()); // restored, not saved

        const QString own = copy->folder();
        copy.reset(); // a normal end removes the copy
        QVERIFY(!QDir(own).exists());
        RemoveRecoveryCopy(dead);
        QVERIFY(AbandonedRecoveryCopies(root).empty());
    }

    void restoreQuestionRemovesACopyOnlyOnAConfirmedDiscard() {
        IoFixture f;
        PrepareWork(f);
        const QString root = f.path("recovery");
        const QString dead = AbandonedCopy(f, root, "dead");
        IoFixture g;
        RecoveryCopy own(*g.doc, root);
        using platform::Answer;
        const std::vector<std::deque<Answer>> keptBy = {
            {Answer::Cancel},            // Escape or the close button: not now
            {Answer::No, Answer::No},    // Discard, then No to deleting 6 points
            {Answer::No, Answer::Cancel} // ... or Escape there
        };
        for (const std::deque<Answer>& answers : keptBy) {
            g.dialogs.answers = answers;
            QVERIFY(!OfferAbandonedWork(g.ws, AbandonedRecoveryCopies(root), own));
            QCOMPARE(AbandonedRecoveryCopies(root), std::vector<QString>{dead});
        }
        QVERIFY(g.dialogs.questions.last().contains("6 points"));
        QCOMPARE(g.doc->nextRow[1], 1);
        g.dialogs.answers = {Answer::No, Answer::Yes};
        QVERIFY(!OfferAbandonedWork(g.ws, AbandonedRecoveryCopies(root), own));
        QVERIFY(!QDir(dead).exists());
    }

    void restoreSucceedsWholeOrKeepsTheCopy() {
        IoFixture f;
        PrepareWork(f);
        f.doc->editMaxX = ""; // being retyped when the copy was written
        const QString root = f.path("recovery");
        const QString unreadable = AbandonedCopy(f, root, "unreadable");
        QVERIFY(QFile::remove(unreadable + "/picture.bmp"));
        const QString dead = AbandonedCopy(f, root, "dead");

        IoFixture g;
        History history;
        g.ws.history = &history;
        RecoveryCopy own(*g.doc, root);
        g.dialogs.answers = {platform::Answer::Yes};
        QVERIFY(!OfferAbandonedWork(g.ws, {unreadable}, own));
        QCOMPARE(g.dialogs.informations.size(), 1);
        QVERIFY(QFile::exists(unreadable + "/work.gra"));
        QCOMPARE(g.doc->nextRow[1], 1);

        g.dialogs.answers = {platform::Answer::Yes};
        QVERIFY(OfferAbandonedWork(g.ws, {dead}, own));
        QCOMPARE(g.dialogs.informations.size(), 1); // no message over the restored work
        QCOMPARE(g.doc->nextRow, f.doc->nextRow);
        QCOMPARE(g.doc->editMaxX, QString());
        QVERIFY(history.modified());
        QVERIFY(!g.view.status[0].isEmpty()); // why the values wait
        QVERIFY(!QDir(dead).exists());        // the copy is now this program's own
        QCOMPARE(FileBytes(own.folder() + "/work.gra"), FileBytes(unreadable + "/work.gra"));
    }
};

int RunDataCommandTests(int argc, char** argv) {
    TestDataCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_datacommands.moc"
