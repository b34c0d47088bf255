#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/document.h"
#include "core/workspace.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"
#include "settings/settingslocation.h"

using namespace kurvana;

namespace {

/// A program folder in a temporary directory, with a document that lives in it.
struct ProgramFolder {
    QTemporaryDir dir;
    Document doc;
    WindowPlacements windows;

    ProgramFolder() { doc.programDir = dir.path() + '/'; }
    QString iniPath() const { return doc.programDir + "kurvana2.Ini"; }
    void writeIni(const QByteArray& bytes) const {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readIni() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void load() { LoadSettings(doc, windows); }
};

/// CR LF line ends for a file written in a test.
QByteArray Crlf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

/// The settings file of a first start, written from the defaults.
const QByteArray kNewFile = Crlf("[Path]\n"
                                 "Path to Graf files=C:\\\n"
                                 "[Color]\n"
                                 "line1=255\n"
                                 "line2=255\n"
                                 "line3=255\n"
                                 "line4=255\n"
                                 "line5=255\n"
                                 "Axes=255\n"
                                 "[Setup]\n"
                                 "DiamterOfPoint=3\n"
                                 "StandartNumerFormat=1\n"
                                 "NumerRanger=1\n"
                                 "SaveConfig=1\n"
                                 "LanguageRussian=0\n"
                                 "LanguageEnglish=1\n"
                                 "SnapAnyColour=1\n"
                                 "[Axes]\n"
                                 "Xmin=0\n"
                                 "Xmax=100\n"
                                 "Ymin=0\n"
                                 "Ymax=10\n"
                                 "XScaleNormalX=1\n"
                                 "XScaleLogarifm10X=0\n"
                                 "XScaleLogarifmNatX=0\n"
                                 "YScaleNormalX=1\n"
                                 "YScaleLogarifm10X=0\n"
                                 "YScaleLogarifmNatX=0\n"
                                 "[Forms]\n"
                                 "MainLeft=20\n"
                                 "MainTop=20\n"
                                 "MainWidth=600\n"
                                 "MainHeight=420\n"
                                 "ZoomLeft=400\n"
                                 "ZoomTop=400\n"
                                 "InputLeft=500\n"
                                 "InputTop=400\n"
                                 "InputStayOnTop=1\n"
                                 "TableLeft=10\n"
                                 "TableTop=10\n"
                                 "TableWidth=600\n"
                                 "TableHeight=400\n"
                                 "TableStayOnTop=1\n"
                                 "SetupLeft=5\n"
                                 "SetupTop=5\n"
                                 "[CheckGrid]\n"
                                 "Show=0\n"
                                 "Colour=16776960\n"
                                 "Alpha=160\n");

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStartWithoutFileShowsTheDefaults() {
        ProgramFolder f;
        f.doc.lineColor.at(2) = 0x00FF00; // the designed state differs from the defaults
        f.doc.markDiameter = 5;
        f.load();
        for (int line = 1; line <= kLineCount; ++line)
            QCOMPARE(f.doc.lineColor.at(line), Colour(255));
        QCOMPARE(f.doc.axesColor, Colour(255));
        QCOMPARE(f.doc.markDiameter, 3);
        QCOMPARE(f.doc.editMinX, QString("0"));
        QCOMPARE(f.doc.editMaxX, QString("100"));
        QCOMPARE(f.doc.editMinY, QString("0"));
        QCOMPARE(f.doc.editMaxY, QString("10"));
        QCOMPARE(f.doc.scaleX, ScaleKind::Linear);
        QCOMPARE(f.doc.scaleY, ScaleKind::Linear);
        QVERIFY(f.doc.sortOn);
        QVERIFY(!f.doc.scientificFormat);
        QVERIFY(!f.doc.languageRussian);
        QVERIFY(f.doc.autoSaveSettings);
        QCOMPARE(f.doc.snapRule, SnapRule::AnyColour);
        QCOMPARE(f.doc.pictureFolder, QString("C:\\"));
        QCOMPARE(f.windows.main, QRect(20, 20, 600, 420));
        QCOMPARE(f.windows.zoom, QPoint(400, 400));
        QCOMPARE(f.windows.input, QPoint(500, 400));
        QCOMPARE(f.windows.table, QRect(10, 10, 600, 400));
        QVERIFY(f.windows.inputStayOnTop && f.windows.tableStayOnTop);
        QCOMPARE(f.windows.setup, QPoint(5, 5));
        // Loading writes nothing.
        QVERIFY(!QFile::exists(f.iniPath()));
    }

    void markDiameterIsLimitedToOneToFive_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("diameter");
        QTest::newRow("9 loads as 5") << QByteArray("9") << 5;
        QTest::newRow("0 loads as 1") << QByteArray("0") << 1;
        QTest::newRow("1 stays 1") << QByteArray("1") << 1;
        QTest::newRow("negative") << QByteArray("-4") << 1;
        QTest::newRow("not a number gives the default") << QByteArray("big") << 3;
        QTest::newRow("empty gives the default") << QByteArray("") << 3;
        QTest::newRow("beyond 32 bits gives the default") << QByteArray("99999999999") << 3;
    }
    void markDiameterIsLimitedToOneToFive() {
        QFETCH(QByteArray, stored);
        QFETCH(int, diameter);
        ProgramFolder f;
        f.writeIni(Crlf("[Setup]\nDiamterOfPoint=" + stored + "\n"));
        f.load();
        QCOMPARE(f.doc.markDiameter, diameter);
    }

    void storedAxisTextTakesTheSystemSeparator_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2,5 under a point") << QByteArray("2,5") << QChar('.') << "2.5";
        QTest::newRow("2.5 under a comma") << QByteArray("2.5") << QChar(',') << "2,5";
        QTest::newRow("only the first is exchanged")
            << QByteArray("1,2,3") << QChar('.') << "1.2,3";
        QTest::newRow("own separator kept") << QByteArray("2.5") << QChar('.') << "2.5";
        QTest::newRow("whole number") << QByteArray("-3") << QChar(',') << "-3";
    }
    void storedAxisTextTakesTheSystemSeparator() {
        QFETCH(QByteArray, stored);
        QFETCH(QChar, separator);
        QFETCH(QString, shown);
        ProgramFolder f;
        f.doc.decimalSeparator = separator;
        f.writeIni(Crlf("[Axes]\nXmax=" + stored + "\n"));
        f.load();
        QCOMPARE(f.doc.editMaxX, shown);
        QCOMPARE(f.doc.editMinX, QString("0"));
    }

    void radioGroupsAreSetOneAfterTheOther_data() {
        QTest::addColumn<QByteArray>("linear");
        QTest::addColumn<QByteArray>("log10");
        QTest::addColumn<QByteArray>("ln");
        QTest::addColumn<ScaleKind>("kind");
        QTest::newRow("linear") << QByteArray("1") << QByteArray("0") << QByteArray("0")
                                << ScaleKind::Linear;
        QTest::newRow("two 1s: the later wins")
            << QByteArray("1") << QByteArray("1") << QByteArray("0") << ScaleKind::Log10;
        QTest::newRow("first and last: the last wins")
            << QByteArray("1") << QByteArray("0") << QByteArray("1") << ScaleKind::Ln;
        QTest::newRow("all 0: none selected")
            << QByteArray("0") << QByteArray("0") << QByteArray("0") << ScaleKind::None;
        QTest::newRow("any integer but 0 is set")
            << QByteArray("0") << QByteArray("-7") << QByteArray("0") << ScaleKind::Log10;
        QTest::newRow("unreadable linear flag takes its default 1")
            << QByteArray("yes") << QByteArray("0") << QByteArray("0") << ScaleKind::Linear;
    }
    void radioGroupsAreSetOneAfterTheOther() {
        QFETCH(QByteArray, linear);
        QFETCH(QByteArray, log10);
        QFETCH(QByteArray, ln);
        QFETCH(ScaleKind, kind);
        ProgramFolder f;
        // The Y keys end in X: a file with the same flags for Y gives the same kind for Y.
        f.writeIni(Crlf("[Axes]\nXScaleNormalX=" + linear + "\nXScaleLogarifm10X=" + log10 +
                        "\nXScaleLogarifmNatX=" + ln + "\nYScaleNormalX=" + linear +
                        "\nYScaleLogarifm10X=" + log10 + "\nYScaleLogarifmNatX=" + ln + "\n"));
        f.load();
        QCOMPARE(f.doc.scaleX, kind);
        QCOMPARE(f.doc.scaleY, kind);
    }

    void flagsAndLanguageFollowTheReadingRules() {
        ProgramFolder f;
        f.writeIni(Crlf("[Setup]\nStandartNumerFormat=0\nNumerRanger=0\nSaveConfig=-1\n"
                        "LanguageRussian=1\nLanguageEnglish=1\n"
                        "[Forms]\nInputStayOnTop=2\nTableStayOnTop=0\nMainLeft=x\n"
                        "[Color]\nline1=$FF00\nline2=0x00FF0000\nline3=16711680\nAxes=abc\n"));
        f.load();
        QVERIFY(f.doc.scientificFormat); // the Scientific choice, saved as Standart = 0
        QVERIFY(!f.doc.sortOn);
        QVERIFY(f.doc.autoSaveSettings);
        QVERIFY(!f.doc.languageRussian); // English is set after Russian and wins
        QVERIFY(f.windows.inputStayOnTop);
        QVERIFY(!f.windows.tableStayOnTop);
        QCOMPARE(f.windows.main.left(), 20);
        QCOMPARE(f.doc.lineColor.at(1), Colour(0xFF00));
        QCOMPARE(f.doc.lineColor.at(2), Colour(0xFF0000));
        QCOMPARE(f.doc.lineColor.at(3), Colour(0xFF0000));
        QCOMPARE(f.doc.axesColor, Colour(255));

        ProgramFolder russian;
        russian.writeIni(Crlf("[Setup]\nLanguageRussian=1\nLanguageEnglish=0\n"));
        russian.load();
        QVERIFY(russian.doc.languageRussian);
        ProgramFolder none;
        none.doc.languageRussian = true;
        none.writeIni(Crlf("[Setup]\nLanguageRussian=0\nLanguageEnglish=0\n"));
        none.load();
        QVERIFY(!none.doc.languageRussian); // no language button: the file applies as English
    }

    void newFileHasItsSectionsInOrder() {
        ProgramFolder f;
        f.load();
        SaveSettings(f.doc, f.windows);
        QCOMPARE(f.readIni(), kNewFile);
    }

    void keysAlreadyInTheFileKeepTheirPlace() {
        ProgramFolder f;
        f.writeIni(Crlf("; written by hand\n"
                        "[forms]\n"
                        "SetupTop=1\n"
                        "Remark=kept as it is\n"
                        "MAINLEFT=2\n"
                        "[Setup]\n"
                        "LanguageEnglish=1\n"
                        "DiamterOfPoint=4\n"));
        f.load();
        f.doc.markDiameter = 2;
        f.windows.main.moveLeft(33);
        SaveSettings(f.doc, f.windows);
        const QByteArray expected = Crlf("; written by hand\n"
                                         "[forms]\n"
                                         "SetupTop=1\n"
                                         "Remark=kept as it is\n"
                                         "MAINLEFT=33\n"
                                         "MainTop=20\n"
                                         "MainWidth=600\n"
                                         "MainHeight=420\n"
                                         "ZoomLeft=400\n"
                                         "ZoomTop=400\n"
                                         "InputLeft=500\n"
                                         "InputTop=400\n"
                                         "InputStayOnTop=1\n"
                                         "TableLeft=10\n"
                                         "TableTop=10\n"
                                         "TableWidth=600\n"
                                         "TableHeight=400\n"
                                         "TableStayOnTop=1\n"
                                         "SetupLeft=5\n"
                                         "[Setup]\n"
                                         "LanguageEnglish=1\n"
                                         "DiamterOfPoint=2\n"
                                         "StandartNumerFormat=1\n"
                                         "NumerRanger=1\n"
                                         "SaveConfig=1\n"
                                         "LanguageRussian=0\n"
                                         "SnapAnyColour=1\n"
                                         "[Path]\n"
                                         "Path to Graf files=C:\\\n"
                                         "[Color]\n"
                                         "line1=255\n"
                                         "line2=255\n"
                                         "line3=255\n"
                                         "line4=255\n"
                                         "line5=255\n"
                                         "Axes=255\n"
                                         "[Axes]\n"
                                         "Xmin=0\n"
                                         "Xmax=100\n"
                                         "Ymin=0\n"
                                         "Ymax=10\n"
                                         "XScaleNormalX=1\n"
                                         "XScaleLogarifm10X=0\n"
                                         "XScaleLogarifmNatX=0\n"
                                         "YScaleNormalX=1\n"
                                         "YScaleLogarifm10X=0\n"
                                         "YScaleLogarifmNatX=0\n"
                                         "[CheckGrid]\n"
                                         "Show=0\n"
                                         "Colour=16776960\n"
                                         "Alpha=160\n");
        QCOMPARE(f.readIni(), expected);
    }

    void aDateAxisIsKeptAsTheLinearAxisOfItsDayCounts() {
        ProgramFolder f;
        f.doc.scaleX = ScaleKind::Date;
        f.doc.editMinX = "2024-01-01";
        f.doc.editMaxX = "2024-12-31 12:00";
        SaveSettings(f.doc, f.windows);
        const QByteArray bytes = f.readIni();
        // An older program reads a linear axis from 45292 to 45657.5.
        for (const char* line : {"Xmin=45292\r\n", "Xmax=45657.5\r\n", "XScaleNormalX=1\r\n",
                                 "XScaleLogarifm10X=0\r\n", "[DateAxes]\r\nX=1\r\nY=0\r\n"})
            QVERIFY2(bytes.contains(line), line);
        ProgramFolder g;
        g.doc.programDir = f.doc.programDir;
        g.load();
        QCOMPARE(g.doc.scaleX, ScaleKind::Date);
        QCOMPARE(g.doc.scaleY, ScaleKind::Linear);
        QCOMPARE(g.doc.editMinX, QString("2024-01-01"));
        QCOMPARE(g.doc.editMaxX, QString("2024-12-31T12:00"));
    }

    void savedSettingsReadBackUnchanged() {
        ProgramFolder f;
        f.doc.pictureFolder = QString::fromUtf8("D:\\Графики\\");
        f.doc.lineColor = {0, 0x123456, 0xFF00, 0xFF0000, 0, 0xFFFFFF};
        f.doc.axesColor = 0x808080;
        f.doc.markDiameter = 5;
        f.doc.editMinX = "-2";
        f.doc.editMaxX = "3.5";
        f.doc.editMinY = "1e-3";
        f.doc.editMaxY = "7";
        f.doc.scaleX = ScaleKind::Log10;
        f.doc.scaleY = ScaleKind::Ln;
        f.doc.sortOn = false;
        f.doc.scientificFormat = true;
        f.doc.languageRussian = true;
        f.doc.autoSaveSettings = false;
        f.doc.snapRule = SnapRule::DarkOnly;
        f.windows = {{-5, 7, 1024, 768}, {1, 2}, {3, 4}, false, {5, 6, 300, 200}, false, {8, 9}};
        SaveSettings(f.doc, f.windows);

        const QByteArray bytes = f.readIni();
        QVERIFY(bytes.contains("Path to Graf files=D:\\\xC3\xF0\xE0\xF4\xE8\xEA\xE8\\\r\n"));
        QVERIFY(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"));

        ProgramFolder g;
        g.doc.programDir = f.doc.programDir;
        g.load();
        QCOMPARE(g.doc.pictureFolder, f.doc.pictureFolder);
        QCOMPARE(g.doc.lineColor, f.doc.lineColor);
        QCOMPARE(g.doc.axesColor, f.doc.axesColor);
        QCOMPARE(g.doc.markDiameter, 5);
        QCOMPARE(g.doc.editMinY, QString("1e-3"));
        QCOMPARE(g.doc.editMaxX, QString("3.5"));
        QCOMPARE(g.doc.scaleX, ScaleKind::Log10);
        QCOMPARE(g.doc.scaleY, ScaleKind::Ln);
        QVERIFY(!g.doc.sortOn && g.doc.scientificFormat && g.doc.languageRussian);
        QVERIFY(!g.doc.autoSaveSettings);
        QCOMPARE(g.doc.snapRule, SnapRule::DarkOnly);
        QCOMPARE(g.windows.main, f.windows.main);
        QCOMPARE(g.windows.zoom, f.windows.zoom);
        QCOMPARE(g.windows.input, f.windows.input);
        QCOMPARE(g.windows.table, f.windows.table);
        QCOMPARE(g.windows.setup, f.windows.setup);
        QVERIFY(!g.windows.inputStayOnTop && !g.windows.tableStayOnTop);
    }

    void aFolderOutsideTheCodePageReadsBackIntact() {
        ProgramFolder f;
        f.writeIni(
            Crlf("; \xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9\n[Setup]\nDiamterOfPoint=4\n"));
        f.load();
        f.doc.pictureFolder = QString::fromUtf8("/home/jürgen/Графики/");
        SaveSettings(f.doc, f.windows);
        // The file turns into UTF-8 with its signature, the comment in 1251 converted with it.
        const QByteArray bytes = f.readIni();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF; " + QString::fromUtf8("Комментарий").toUtf8()));
        QVERIFY(bytes.contains("/home/j\xC3\xBCrgen/"));

        ProgramFolder g;
        g.doc.programDir = f.doc.programDir;
        g.load();
        QCOMPARE(g.doc.pictureFolder, f.doc.pictureFolder);
        QCOMPARE(g.doc.markDiameter, 4);
        SaveSettings(g.doc, g.windows);
        QCOMPARE(g.readIni(), bytes); // and stays UTF-8, unchanged, from save to save
    }

    void changesWithoutSavingLeaveTheFileUntouched() {
        // With automatic saving off nothing writes the file: loading and changing the
        // settings in the document do not, only SaveSettings does.
        ProgramFolder f;
        const QByteArray stored = Crlf("[Setup]\nSaveConfig=0\nDiamterOfPoint=2\n");
        f.writeIni(stored);
        f.load();
        QVERIFY(!f.doc.autoSaveSettings);
        f.doc.markDiameter = 4;
        f.doc.lineColor.at(1) = 0;
        QCOMPARE(f.readIni(), stored);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"kurvana2.Ini"});
    }

    void binaryJunkReadsAsDefaultsAndCanBeRewritten() {
        ProgramFolder f;
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919 + i / 13) % 256);
        junk.insert(100, "\n[Setup]\nDiamterOfPoint=\xFF\xFE\n=\n[\n]]=[\n");
        f.writeIni(junk);
        f.load();
        QCOMPARE(f.doc.markDiameter, 3);
        QCOMPARE(f.doc.scaleX, ScaleKind::Linear);
        SaveSettings(f.doc, f.windows);
        ProgramFolder g;
        g.doc.programDir = f.doc.programDir;
        g.load();
        QCOMPARE(g.doc.markDiameter, 3);
        QCOMPARE(g.windows.main, QRect(20, 20, 600, 420));

        IniFile onlyJunk;
        onlyJunk.loadBytes(QByteArray("\0\0\0[\0=\0", 8));
        QVERIFY(!onlyJunk.text("Setup", "DiamterOfPoint"));
    }

    void failedWriteIsReportedAndKeepsTheOldFile() {
        ProgramFolder f;
        // A folder where the file should be: the write cannot succeed, even for root.
        QVERIFY(QDir(f.dir.path()).mkdir("kurvana2.Ini"));
        try {
            SaveSettings(f.doc, f.windows);
            QFAIL("a failed write must not pass silently");
        } catch (const CommandError& error) {
            const QString start =
                f.doc.texts.extra(ExtraText::SettingsSaveFailed).section('%', 0, 0);
            QVERIFY(error.text().startsWith(start));
            QVERIFY(error.text().contains("kurvana2.Ini"));
        }
        IniFile ini;
        ini.setText("Setup", "SaveConfig", "1");
        QVERIFY(!ini.save(f.dir.path() + "/kurvana2.Ini/deeper/kurvana2.Ini").isEmpty());
    }

    void readOnlyProgramFolderUsesTheUserConfigFolder() {
        ProgramFolder f;
        f.writeIni(Crlf("[Setup]\nDiamterOfPoint=4\n"));
        QCOMPARE(SettingsWritePath(f.doc), f.iniPath());
        QCOMPARE(SettingsReadPath(f.doc), f.iniPath());

        Document installed; // a program folder that cannot be written
        installed.programDir = f.dir.path() + "/missing/";
        QFile::remove(SettingsInUserConfig());
        QCOMPARE(SettingsWritePath(installed), SettingsInUserConfig());
        QCOMPARE(SettingsReadPath(installed), SettingsBesideProgram(installed));
        installed.markDiameter = 2;
        SaveSettings(installed, WindowPlacements{});
        QVERIFY(QFile::exists(SettingsInUserConfig()));
        QCOMPARE(SettingsReadPath(installed), SettingsInUserConfig());
        Document next;
        next.programDir = installed.programDir;
        WindowPlacements windows;
        LoadSettings(next, windows);
        QCOMPARE(next.markDiameter, 2);
        QFile::remove(SettingsInUserConfig());
    }

    void installedProgramKeepsItsFilesInTheUserFolders() {
        // <prefix>/bin/kurvana2 with its shipped files in <prefix>/share/kurvana2: the folder
        // may be written here, as under a DESTDIR, and still nothing goes into it.
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/kurvana2"));
        QFile language(prefix.path() + "/share/kurvana2/language.txt");
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.close();
        Document doc;
        doc.programDir = prefix.path() + "/bin/";
        LocateProgramFiles(doc);
        QVERIFY(doc.installedLayout);
        QCOMPARE(doc.sharedFolder(), prefix.path() + "/share/kurvana2/");
        QCOMPARE(doc.dataHome(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/');
        QCOMPARE(SettingsWritePath(doc), SettingsInUserConfig());

        // Portable use: a settings file or a Data/ folder beside the program wins.
        QFile portable(SettingsBesideProgram(doc));
        QVERIFY(portable.open(QIODevice::WriteOnly));
        portable.close();
        QCOMPARE(SettingsWritePath(doc), SettingsBesideProgram(doc));
        QCOMPARE(SettingsReadPath(doc), SettingsBesideProgram(doc));
        QVERIFY(QDir(doc.programDir).mkdir("Data"));
        LocateProgramFiles(doc);
        QCOMPARE(doc.dataHome(), doc.programDir);

        // Run from the build folder, the language file beside the program keeps everything there.
        QFile beside(doc.programDir + "language.txt");
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QVERIFY(QFile::remove(SettingsBesideProgram(doc)));
        LocateProgramFiles(doc);
        QVERIFY(!doc.installedLayout);
        QCOMPARE(doc.sharedFolder(), doc.programDir);
        QCOMPARE(doc.dataHome(), doc.programDir);
        QCOMPARE(SettingsWritePath(doc), SettingsBesideProgram(doc));
    }
};

int RunSettingsFileTests(int argc, char** argv) {
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settingsfile.moc"
