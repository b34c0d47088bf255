// The language file and the settings file at their extremes: empty, far too long, binary junk,
// numbers at the ends of the int range.
#include <climits>

#include <QtTest>

#include "core/document.h"
#include "robustfixture.h"
#include "settings/inifile.h"
#include "settings/languagefile.h"
#include "settings/settingsfile.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// Line k of the long file: "ru k" on odd lines, "en k" on even ones.
QByteArray NumberedLines(int count) {
    QByteArray bytes;
    for (int k = 1; k <= count; ++k)
        bytes += QByteArray(k % 2 ? "ru " : "en ") + QByteArray::number(k) + "\r\n";
    return bytes;
}

/// Bytes of every value, NULs and line ends among them, from a fixed seed.
QByteArray Junk(int size) {
    QByteArray bytes(size, '\0');
    quint32 state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = char(state >> 24);
    }
    return bytes;
}

bool IsDefault(const Settings& s) {
    const Settings d;
    const WindowPlacements& w = s.windows;
    const WindowPlacements& v = d.windows;
    return s.pictureFolder == d.pictureFolder && s.lineColor == d.lineColor &&
           s.axesColor == d.axesColor && s.markDiameter == d.markDiameter &&
           s.axisXMin == d.axisXMin && s.axisXMax == d.axisXMax && s.axisYMin == d.axisYMin &&
           s.axisYMax == d.axisYMax && s.standardFormat == d.standardFormat &&
           s.sortOn == d.sortOn && s.scaleX == d.scaleX && s.scaleY == d.scaleY &&
           s.languageRussian == d.languageRussian && s.autoSave == d.autoSave && w.main == v.main &&
           w.zoom == v.zoom && w.input == v.input && w.table == v.table && w.setup == v.setup &&
           w.inputStayOnTop == v.inputStayOnTop && w.tableStayOnTop == v.tableStayOnTop;
}

} // namespace

class TestTextFileLimits : public QObject {
    Q_OBJECT

private slots:
    void aLanguageFileOfTenThousandLinesReadsItsEntriesAndExtras_data() {
        QTest::addColumn<bool>("russian");
        QTest::newRow("Russian") << true;
        QTest::newRow("English") << false;
    }
    void aLanguageFileOfTenThousandLinesReadsItsEntriesAndExtras() {
        QFETCH(bool, russian);
        ProgramFolder p;
        QVERIFY(p.write("language.txt", NumberedLines(10000)));
        p.doc->languageRussian = russian;
        const LanguageEntries language = LoadLanguage(*p.doc);
        const char* prefix = russian ? "ru " : "en ";
        // Entry k is line 2k - 1 (Russian) or 2k (English); extra i is entry 133 + i.
        const auto lineOf = [russian](int entry) { return 2 * entry - (russian ? 1 : 0); };
        QCOMPARE(language.entry(1), prefix + QString::number(lineOf(1)));
        QCOMPARE(language.entry(kLanguageEntries),
                 prefix + QString::number(lineOf(kLanguageEntries)));
        QCOMPARE(p.doc->texts.message(21), prefix + QString::number(lineOf(132)));
        const ExtraText last = ExtraText(kExtraEntries - 1);
        QCOMPARE(p.doc->texts.extra(last),
                 prefix + QString::number(lineOf(kFirstExtraEntry + kExtraEntries - 1)));
    }

    void anEmptyLanguageFileLeavesEveryMessageEmptyAndTheBuiltInExtras() {
        ProgramFolder p;
        QVERIFY(p.write("language.txt", QByteArray()));
        const LanguageEntries language = LoadLanguage(*p.doc);
        for (int k = 1; k <= kLanguageEntries; ++k)
            QVERIFY(language.entry(k).isEmpty());
        for (int slot = 1; slot <= 21; ++slot)
            QVERIFY(p.doc->texts.message(slot).isEmpty());
        for (int i = 0; i < kExtraEntries; ++i)
            QCOMPARE(p.doc->texts.extra(ExtraText(i)), Texts::builtInExtra(ExtraText(i)));
    }

    void aSettingsFileOfBinaryJunkGivesTheDefaults_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("junk") << Junk(64 * 1024);
        QTest::newRow("junk after a UTF-8 signature") << "\xEF\xBB\xBF" + Junk(4096);
        QTest::newRow("NUL bytes") << QByteArray(1000, '\0');
        QTest::newRow("brackets and equals signs") << QByteArray("[[]]\r\n=\r\n[=]\r\n==\r\n[");
    }
    void aSettingsFileOfBinaryJunkGivesTheDefaults() {
        QFETCH(QByteArray, bytes);
        ProgramFolder p;
        QVERIFY(p.write("kurvana2.Ini", bytes));
        IniFile ini;
        ini.load(p.path("kurvana2.Ini"));
        QVERIFY(IsDefault(ReadSettings(ini)));
        // The junk survives a save around the keys the program writes, which read back.
        WriteSettings(ini, Settings());
        IniFile reread;
        reread.loadBytes(ini.bytes());
        QVERIFY(IsDefault(ReadSettings(reread)));
    }

    // Found by fuzzing the settings reader: window sizes whose far edge passes the int range
    // overflowed while the window rectangles were built.
    void windowPlacementsBeyondTheIntRangeKeepTheirDefaults_data() {
        QTest::addColumn<QByteArray>("forms");
        QTest::addColumn<bool>("mainDefault");
        QTest::newRow("left at the top of the range")
            << QByteArray("MainLeft=2147483647\r\n") << true;
        QTest::newRow("smallest width") << QByteArray("MainWidth=-2147483648\r\n") << true;
        QTest::newRow("height past the range")
            << QByteArray("MainTop=2000000000\r\nMainHeight=2000000000\r\n") << true;
        QTest::newRow("far but fitting")
            << QByteArray("MainLeft=2147483000\r\nMainWidth=600\r\n") << false;
    }
    void windowPlacementsBeyondTheIntRangeKeepTheirDefaults() {
        QFETCH(QByteArray, forms);
        QFETCH(bool, mainDefault);
        IniFile ini;
        ini.loadBytes("[Forms]\r\n" + forms + "TableLeft=-2147483648\r\nTableWidth=-1\r\n");
        const Settings settings = ReadSettings(ini);
        QCOMPARE(settings.windows.main == Settings().windows.main, mainDefault);
        QCOMPARE(settings.windows.table == Settings().windows.table, true);
        WriteSettings(ini, settings);
        IniFile reread;
        reread.loadBytes(ini.bytes());
        QCOMPARE(ReadSettings(reread).windows.main, settings.windows.main);
    }

    // Found by fuzzing the settings reader: a section line without its closing bracket put the
    // keys after it into a section named across lines, and every save added a line to the file.
    void aSectionLineWithoutItsBracketKeepsTheFileStableFromSaveToSave_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("plain") << QByteArray();
        QTest::newRow("after a UTF-8 signature") << QByteArray("\xEF\xBB\xBF");
        // Found the same way: the parser skipped the second signature by itself.
        QTest::newRow("after a doubled signature") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[x\r\n");
    }
    void aSectionLineWithoutItsBracketKeepsTheFileStableFromSaveToSave() {
        IniFile ini;
        QFETCH(QByteArray, start);
        ini.loadBytes(start + "[Forms]\r\nMainLeft=30\r\n[Damaged\r\nMainTop=40\r\n  [Also=1\r\n");
        const Settings settings = ReadSettings(ini);
        QCOMPARE(settings.windows.main.topLeft(), QPoint(30, 40));
        WriteSettings(ini, settings);
        const QByteArray first = ini.bytes();
        QVERIFY(first.contains("[Damaged")); // kept, as a comment
        IniFile reread;
        reread.loadBytes(first);
        WriteSettings(reread, ReadSettings(reread));
        QCOMPARE(reread.bytes(), first);
    }

    // Found by the long fuzz runs of the settings reader: keys before any section (or in a
    // section named "[]") are written at the top of the file, and one whose name began with the
    // bytes of the UTF-8 signature read back as a signature: a 1251 file turned into UTF-8 with
    // its texts mangled, or a UTF-8 file lost the bytes from the key's name.
    void aKeyLookingLikeTheUtf8SignatureStaysAKey_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("path");
        QTest::newRow("code page 1251")
            << QByteArray("[Path]\r\nPath to Graf files=C:\\\xC4\xE0\r\n") << QString("C:\\Да");
        QTest::newRow("UTF-8") << QByteArray(
                                      "\xEF\xBB\xBF[Path]\r\nPath to Graf files=C:\\\xD0\x94\r\n")
                               << QString("C:\\Д");
    }
    void aKeyLookingLikeTheUtf8SignatureStaysAKey() {
        QFETCH(QByteArray, start);
        QFETCH(QString, path);
        IniFile ini;
        ini.loadBytes(start + "[]\r\n\xEF\xBB\xBFXmin=1\r\n");
        WriteSettings(ini, ReadSettings(ini));
        const QByteArray first = ini.bytes();
        IniFile reread;
        reread.loadBytes(first);
        QCOMPARE(reread.text("Path", "Path to Graf files").value_or("missing"), path);
        QCOMPARE(reread.text("", "\xEF\xBB\xBFXmin").value_or("missing"), QString("1"));
        WriteSettings(reread, ReadSettings(reread));
        QCOMPARE(reread.bytes(), first);
    }
};

int RunTextFileLimitTests(int argc, char** argv) {
    TestTextFileLimits tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_textfilelimits.moc"
