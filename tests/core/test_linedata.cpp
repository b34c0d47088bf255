#include <QtTest>

#include "core/calibration.h"
#include "core/linedata.h"
#include "fixture.h"

using namespace kurvana;
using kurvana::test::Fixture;

class TestLineData : public QObject {
    Q_OBJECT
private slots:
    void tableAndClipboardListLineByLine() {
        Fixture f(300, 300);
        f.doc.editMaxX = "150";
        f.doc.editMaxY = "150";
        f.doc.editMinY = "0";
        f.doc.appendPoint(1, 60, 190);
        f.doc.appendPoint(1, 70, 180);
        f.doc.appendPoint(3, 125, 125);
        f.doc.decimalSeparator = ',';
        f.doc.editMaxX = "1,5";
        RefreshValues(f.ws);
        const auto rows = TableRows(f.doc);
        QCOMPARE(int(rows.size()), 3);
        QCOMPARE(rows[2].line, 3);
        QCOMPARE(rows[0].x, 0.1);
        CopyTableToClipboard(f.ws);
        QCOMPARE(f.view.clipboard, QString("0,1\t10\r\n0,2\t20\r\n0,75\t\t\t75\r\n"));
        QCOMPARE(f.dialogs.informations, QStringList{"M08"});
    }

    void anEmptyExportStillReports() {
        Fixture f;
        CopyTableToClipboard(f.ws);
        QCOMPARE(f.doc.clipboardText, QString());
        QCOMPARE(f.dialogs.informations, QStringList{"M08"});
    }

    void clearingALineAsksAndKeepsTheOthers() {
        Fixture f(300, 300);
        f.doc.appendPoint(1, 60, 190);
        f.doc.appendPoint(2, 70, 180);
        f.doc.currentLine = 2;
        RefreshValues(f.ws);
        f.dialogs.answers = {platform::Answer::No};
        ClearLineCommand(f.ws);
        QCOMPARE(f.dialogs.questions, QStringList{"M122\rM03"});
        QCOMPARE(f.doc.nextRow[2], 2);
        ClearLineCommand(f.ws); // unscripted: Yes
        QCOMPARE(f.doc.nextRow[2], 1);
        QCOMPARE(f.doc.flag(2, 1), 0);
        QCOMPARE(f.doc.pointX(2, 1), 70); // the dead row keeps its pixel
        QCOMPARE(f.doc.nextRow[1], 2);
        QCOMPARE(int(TableRows(f.doc).size()), 1);
    }

    void theTableShowsAtMost999Rows() {
        Fixture f(300, 300);
        for (int line = 1; line <= 2; ++line)
            for (int i = 0; i < 600; ++i)
                f.doc.appendPoint(line, i % 250, 100);
        QCOMPARE(int(TableRows(f.doc).size()), 999);
        QCOMPARE(ClipboardText(f.doc).count("\r\n"), 1200); // the export is not limited
    }
};

QTEST_GUILESS_MAIN(TestLineData)
#include "test_linedata.moc"
