#include <QtTest>

#include "core/texts.h"
#include "io/datafile.h"
#include "iofixture.h"

using namespace kurvana;
using namespace kurvana::test;

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void readsTheThreePointExample() {
        const DataFileContent content = ParseDataFile(ThreePointFile(), "f.gra", Texts());
        QCOMPARE(content.pictureCopyName, QString("chart.bmp"));
        QCOMPARE(content.editMaxX, QString("100"));
        QCOMPARE(content.zeroPointY, 200);
        QCOMPARE(content.scaleX, ScaleKind::Linear);
        QCOMPARE(content.scaleY, ScaleKind::Log10);
        QCOMPARE(content.lines[1], (std::vector<QPoint>{{60, 190}, {-5, 150}, {120, 120}}));
        for (int line = 2; line <= kLineCount; ++line)
            QVERIFY(content.lines.at(line).empty());
        // Files with bare LF line ends, as an editor may leave them, read the same.
        QByteArray lf = ThreePointFile();
        lf.replace("\r\n", "\n");
        QCOMPARE(ParseDataFile(lf, "f.gra", Texts()).lines[1], content.lines[1]);
    }

    void writesEveryLineAndReadsItBack() {
        DataFileContent content;
        content.pictureCopyName = QString::fromUtf8("график.bmp");
        content.editMinX = "0,5";
        content.editMaxX = "1.5e3";
        content.editMinY = "-2";
        content.editMaxY = "7";
        content.zeroPointX = -3;
        content.xMaxPointX = 2147483647;
        content.scaleX = ScaleKind::Ln;
        content.scaleY = ScaleKind::Log10;
        for (int row = 1; row <= kLastRow; ++row) // a full line: count 1002
            content.lines[2].emplace_back(row, -row);
        content.lines[5] = {{4, 5}};
        const std::optional<QByteArray> bytes = DataFileBytes(content);
        QVERIFY(bytes);
        QVERIFY(bytes->startsWith("\xE3\xF0\xE0\xF4\xE8\xEA.bmp\r\n")); // code page 1251
        QVERIFY(bytes->contains("Line \xB9 2\r\n1002\r\n1\r\n-1\r\n"));
        const DataFileContent back = ParseDataFile(*bytes, "f.gra", Texts());
        QCOMPARE(back.pictureCopyName, content.pictureCopyName);
        QCOMPARE(back.editMinX, content.editMinX);
        QCOMPARE(back.editMaxX, content.editMaxX);
        QCOMPARE(back.zeroPointX, -3);
        QCOMPARE(back.xMaxPointX, 2147483647);
        QCOMPARE(back.scaleX, ScaleKind::Ln);
        QCOMPARE(back.scaleY, ScaleKind::Log10);
        for (int line = 1; line <= kLineCount; ++line)
            QCOMPARE(back.lines.at(line), content.lines.at(line));
    }

    void refusesTextsAFileCannotHold() {
        DataFileContent content;
        content.editMaxX = QString::fromUtf8("1\xE4\xB8\xAD"); // a letter outside code page 1251
        QVERIFY(!DataFileBytes(content));
        content.editMaxX = "1\r\n2";
        QVERIFY(!DataFileBytes(content));
    }

    void normalizesTheFirstSeparatorOnly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comma read with point") << "0,5" << QChar('.') << "0.5";
        QTest::newRow("point read with comma") << "1.5e3" << QChar(',') << "1,5e3";
        QTest::newRow("first of two points") << "1.234.5" << QChar(',') << "1,234.5";
        QTest::newRow("first of two commas") << "1,2,3" << QChar('.') << "1.2,3";
        QTest::newRow("already matching") << "0,5" << QChar(',') << "0,5";
        QTest::newRow("no separator") << "-7" << QChar(',') << "-7";
    }
    void normalizesTheFirstSeparatorOnly() {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeDecimalSeparator(text, separator), expected);
    }

    void refusesCorruptFilesNamingTheLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        const QByteArray good = ThreePointFile();
        QTest::newRow("letters for a coordinate") << Altered(good, 7, "2O0") << 7;
        QTest::newRow("decimal for a coordinate") << Altered(good, 17, "60.5") << 17;
        QTest::newRow("count above 1002") << Altered(good, 15, "1003") << 15;
        QTest::newRow("count 0") << Altered(good, 23, "0") << 23;
        QTest::newRow("number beyond 32 bits") << Altered(good, 6, "2147483648") << 6;
        QTest::newRow("cut inside the points") << Altered(good, 18, QByteArray()) << 19;
        QTest::newRow("cut before line 5's count") << Altered(good, 28, QByteArray()) << 29;
        QTest::newRow("empty file") << QByteArray() << 1;
    }
    void refusesCorruptFilesNamingTheLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        try {
            ParseDataFile(bytes, "bad.gra", Texts());
            QFAIL("a corrupt file was accepted");
        } catch (const CommandError& error) {
            QVERIFY2(error.text().startsWith(QString("The data file \"bad.gra\" cannot be read "
                                                     "(line %1)")
                                                 .arg(line)),
                     qPrintable(error.text()));
        }
    }

    void appliesTheFileToTheDocument() {
        Document doc;
        doc.programDir = "/prog/";
        doc.decimalSeparator = ',';
        doc.scaleX = ScaleKind::Log10;
        doc.appendPoint(1, 1, 1);
        for (int row = 1; row <= 8; ++row)
            doc.appendPoint(3, row, row);
        QByteArray bytes = Altered(ThreePointFile(), 12, "7"); // unknown X scale code
        bytes = Altered(bytes, 3, "2.5");
        ApplyDataFile(doc, ParseDataFile(bytes, "f.gra", Texts()));
        QCOMPARE(doc.pictureFileName, QString("/prog/Data/Grafiks/chart.bmp"));
        QCOMPARE(doc.editMaxX, QString("2,5"));
        QCOMPARE(doc.scaleX, ScaleKind::Log10); // kept, so the next save stays readable
        QCOMPARE(doc.scaleY, ScaleKind::Log10);
        QCOMPARE(doc.nextRow[1], 4);
        QCOMPARE(doc.nextRow[3], 1);
        QCOMPARE(doc.flag(3, 2), 0);
        QCOMPARE(doc.flag(1, 3), 1);
        QCOMPARE(doc.pointX(1, 2), -5);

        doc.scaleX = ScaleKind::None; // a settings file with no X kind selected
        const QByteArray saved = *DataFileBytes(DataFileFromDocument(doc, "chart.bmp"));
        QCOMPARE(ParseDataFile(saved, "f.gra", Texts()).scaleX, ScaleKind::Linear);
    }
};

int RunDataFileTests(int argc, char** argv) {
    TestDataFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_datafile.moc"
