// Data files at and beyond the table's bounds, and data files whose numbers lie far outside
// any picture: they open, show what can be shown and report what cannot.
#include <climits>

#include <QtTest>

#include "core/calibration.h"
#include "core/drawing.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "robustfixture.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

DataFileContent ChartContent() {
    DataFileContent content;
    content.pictureCopyName = "chart.bmp";
    content.editMinX = "0";
    content.editMaxX = "100";
    content.editMinY = "0";
    content.editMaxY = "10";
    content.zeroPointX = 10, content.zeroPointY = 80;
    content.xMaxPointX = 110, content.xMaxPointY = 80;
    content.yMaxPointX = 10, content.yMaxPointY = 10;
    return content;
}

QByteArray Bytes(const DataFileContent& content) {
    return DataFileBytes(content).value_or(QByteArray());
}

} // namespace

class TestDataFileLimits : public QObject {
    Q_OBJECT

private slots:
    void everyLineHolds1001RowsAndOneMoreIsRefused() {
        ProgramFolder p;
        QVERIFY(p.writeCopy("chart.bmp"));
        DataFileContent content = ChartContent();
        for (int line = 1; line <= kLineCount; ++line)
            for (int row = 1; row <= kLastRow; ++row)
                content.lines.at(line).emplace_back(row % 100 + 10, 80 - row % 70);
        QVERIFY(p.write("Data/full.gra", Bytes(content)));
        QVERIFY(runCommand(p.ws, [&] { OpenDataFile(p.ws, p.path("Data/full.gra")); }));
        for (int line = 1; line <= kLineCount; ++line) {
            QCOMPARE(p.doc->nextRow.at(line), kLastRow + 1);
            QCOMPARE(p.doc->flag(line, kLastRow), 1);
        }
        QVERIFY(p.dialogs.informations.isEmpty());

        // Count 1003 names row 1002, beyond the table: refused, the document as it was.
        QByteArray tooMany = Bytes(content);
        tooMany.replace("Line \xB9 5\r\n1002", "Line \xB9 5\r\n1003");
        QVERIFY(p.write("Data/toomany.gra", tooMany));
        QVERIFY(!runCommand(p.ws, [&] { OpenDataFile(p.ws, p.path("Data/toomany.gra")); }));
        QCOMPARE(p.dialogs.informations.size(), 1);
        QVERIFY(p.dialogs.informations.at(0).contains("1003"));
        QCOMPARE(p.doc->dataFileName, p.path("Data/full.gra"));
        QCOMPARE(p.doc->nextRow.at(5), kLastRow + 1);
    }

    // Found by fuzzing the data file reader: a mark at the far end of the int range overflowed
    // its box while the marks were drawn.
    void pointsAndReferencePointsAtTheEndsOfTheIntRangeOpen() {
        ProgramFolder p;
        QVERIFY(p.writeCopy("chart.bmp"));
        DataFileContent content = ChartContent();
        content.lines.at(1) = {{INT_MIN, 5}, {INT_MAX, INT_MAX}, {5, INT_MIN}, {20, 40}};
        QVERIFY(p.write("Data/far.gra", Bytes(content)));
        runCommand(p.ws, [&] { OpenDataFile(p.ws, p.path("Data/far.gra")); });
        QCOMPARE(p.doc->nextRow.at(1), 5);
        // Only the mark of (20, 40) and the axes can touch the picture.
        Document& doc = *p.doc;
        ToggleAxes(doc);
        int marked = 0;
        for (int y = 0; y < doc.workingPicture.height(); ++y)
            for (int x = 0; x < doc.workingPicture.width(); ++x)
                if (doc.workingPicture.pixel(x, y) != doc.cleanPicture.pixel(x, y)) {
                    QVERIFY2(qAbs(x - 20) <= doc.markDiameter && qAbs(y - 40) <= doc.markDiameter,
                             qPrintable(QString("stray pixel %1,%2").arg(x).arg(y)));
                    ++marked;
                }
        QVERIFY(marked > 0);
        QCOMPARE(MarkArea(INT_MAX, 0, 3), QRect());

        // The reference points far apart: the rotated frame cannot hold the distances, which
        // the refresh reports instead of computing with overflowed numbers.
        content.zeroPointX = INT_MIN;
        content.xMaxPointX = INT_MAX;
        content.yMaxPointY = INT_MIN;
        QVERIFY(p.write("Data/wide.gra", Bytes(content)));
        p.dialogs.informations.clear();
        QVERIFY(!runCommand(p.ws, [&] { OpenDataFile(p.ws, p.path("Data/wide.gra")); }));
        QCOMPARE(p.dialogs.informations.size(), 1);
        QCOMPARE(p.doc->zeroPointX, INT_MIN);
        QCOMPARE(p.doc->nextRow.at(1), 5);
    }
};

int RunDataFileLimitTests(int argc, char** argv) {
    TestDataFileLimits tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_datafilelimits.moc"
