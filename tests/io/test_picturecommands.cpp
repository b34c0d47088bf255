#include <QBuffer>
#include <QGuiApplication>
#include <QPalette>
#include <QtEndian>
#include <QtTest>

#include "core/drawing.h"
#include "core/history.h"
#include "core/picture.h"
#include "core/texts.h"
#include "io/picturecommands.h"
#include "io/picturefile.h"
#include "io/picturereadahead.h"
#include "iofixture.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// The header of a 24-bit bitmap of the given size, without pixel data.
QByteArray BitmapHeader(qint32 width, qint32 height) {
    QByteArray bytes(54, '\0');
    bytes[0] = 'B', bytes[1] = 'M';
    qToLittleEndian<qint32>(54, bytes.data() + 10);
    qToLittleEndian<qint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    qToLittleEndian<qint16>(1, bytes.data() + 26);
    qToLittleEndian<qint16>(24, bytes.data() + 28);
    return bytes;
}

/// A small PNG whose header announces width x height.
QByteArray PngAnnouncing(quint32 width, quint32 height) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ChartPicture(2, 2).save(&buffer, "PNG");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFFu; // the header chunk's checksum over its type and data
    for (int i = 12; i < 29; ++i) {
        crc ^= uchar(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

/// True when the working picture is the clean one with exactly one axes drawing on it.
bool ShowsOneAxesDrawing(Document doc) {
    if (doc.workingPicture == doc.cleanPicture)
        return false;
    ToggleAxes(doc);
    return doc.workingPicture == doc.cleanPicture;
}

} // namespace

class TestPictureCommands : public QObject {
    Q_OBJECT
private slots:
    void mapsPaletteGreysToButtonColoursOnly() {
        QPalette palette = QGuiApplication::palette();
        palette.setColor(QPalette::Light, QColor(1, 2, 3));
        palette.setColor(QPalette::Button, QColor(4, 5, 6));
        palette.setColor(QPalette::Dark, QColor(7, 8, 9));
        palette.setColor(QPalette::ButtonText, QColor(10, 11, 12));
        QGuiApplication::setPalette(palette);
        const QList<QRgb> colours{qRgb(255, 255, 255), qRgb(192, 192, 192), qRgb(128, 128, 128),
                                  qRgb(0, 0, 0),       qRgb(10, 20, 30),    qRgb(255, 255, 254)};
        QImage indexed(colours.size(), 1, QImage::Format_Indexed8);
        indexed.setColorTable(colours);
        for (int i = 0; i < colours.size(); ++i)
            indexed.setPixel(i, 0, uint(i));
        QTemporaryDir dir;
        QVERIFY(indexed.save(dir.path() + "/indexed.bmp"));
        QVERIFY(indexed.convertToFormat(QImage::Format_RGB32).save(dir.path() + "/true.bmp"));

        const QImage mapped = ReadPictureFile(dir.path() + "/indexed.bmp", Texts());
        const QImage kept = ReadPictureFile(dir.path() + "/true.bmp", Texts());
        QGuiApplication::setPalette(QPalette());

        QCOMPARE(mapped.format(), QImage::Format_RGB32);
        const QList<QRgb> expected{qRgb(1, 2, 3),    qRgb(4, 5, 6),    qRgb(7, 8, 9),
                                   qRgb(10, 11, 12), qRgb(10, 20, 30), qRgb(255, 255, 254)};
        for (int i = 0; i < colours.size(); ++i) {
            QCOMPARE(mapped.pixel(i, 0), expected.at(i));
            QCOMPARE(kept.pixel(i, 0), colours.at(i)); // 24-bit pictures keep every colour
        }
    }

    void laysTransparentPicturesOnWhite() {
        QImage picture(3, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
        picture.setPixel(1, 0, qRgba(255, 0, 0, 255));
        picture.setPixel(2, 0, qRgba(0, 0, 0, 128));
        QTemporaryDir dir;
        QVERIFY(picture.save(dir.path() + "/alpha.png"));
        const QImage read = ReadPictureFile(dir.path() + "/alpha.png", Texts());
        QCOMPARE(read.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(read.pixel(1, 0), qRgb(255, 0, 0));
        QCOMPARE(read.pixel(2, 0), qRgb(127, 127, 127));
    }

    void unreadablePictureKeepsTheWork_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("start");
        const QString unreadable = "The picture \"%1\" cannot be opened";
        const QString tooLarge = "The picture \"%1\" (%2 pixels) is too large";
        QTest::newRow("text in a bmp") << "notes.bmp" << QByteArray("just text") << unreadable;
        QTest::newRow("empty png") << "empty.png" << QByteArray("") << unreadable;
        QTest::newRow("missing") << "missing.bmp" << QByteArray() << unreadable;
        QTest::newRow("huge bitmap")
            << "huge.bmp" << BitmapHeader(20000, 20000) << tooLarge.arg("%1", "20000 x 20000");
        QTest::newRow("too wide png")
            << "wide.png" << PngAnnouncing(16385, 10) << tooLarge.arg("%1", "16385 x 10");
    }
    void unreadablePictureKeepsTheWork() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, start);
        IoFixture f;
        PreparePictureWork(f);
        const QImage shown = f.doc->workingPicture;
        const QString path = f.path(name);
        if (!bytes.isNull())
            WriteBytes(path, bytes);
        f.dialogs.files = {path};
        try {
            OpenPictureDialog(f.ws);
            QFAIL("an unusable picture was accepted");
        } catch (const CommandError& error) {
            QVERIFY2(error.text().startsWith(start.arg(path)), qPrintable(error.text()));
        }
        VerifyPictureWorkKept(f, shown);
    }

    void openDialogInstallsTheChosenPicture() {
        IoFixture f;
        PreparePictureWork(f);
        const QString path = f.path("pics/plot.png");
        QDir().mkpath(f.path("pics"));
        QVERIFY(ChartPicture(200, 150).save(path));
        f.doc->viewScale = 2.0L;
        f.doc->scaleButtonImage = 30;
        f.dialogs.files = {path};

        OpenPictureDialog(f.ws);

        const Document& doc = *f.doc;
        QCOMPARE(doc.cleanPicture, ChartPicture(200, 150));
        QCOMPARE(doc.searchCopy, doc.cleanPicture);
        QVERIFY(ShowsOneAxesDrawing(doc)); // and no marks
        QCOMPARE(doc.nextRow[1], 1);
        QCOMPARE(doc.nextRow[2], 1);
        QCOMPARE(doc.flag(2, 1), 0);
        QCOMPARE(doc.pointX(2, 1), 0);
        QCOMPARE(QPoint(doc.zeroPointX, doc.zeroPointY), QPoint(50, 200));
        QCOMPARE(doc.pictureFileName, path);
        QCOMPARE(doc.pictureFolder, f.path("pics/"));
        QCOMPARE(doc.dataFileName, QString());
        QCOMPARE(QSize(doc.pictureWidth, doc.pictureHeight), QSize(200, 150));
        QCOMPARE(doc.viewScale, 1.0L);
        QCOMPARE(doc.scaleButtonImage, 27);
        QCOMPARE(f.view.status[2], path);

        // Cancelling the dialog only forgets the data file name.
        f.doc->dataFileName = "/d.gra";
        OpenPictureDialog(f.ws);
        QCOMPARE(doc.dataFileName, QString());
        QCOMPARE(doc.pictureFileName, path);
    }

    // A picture read from a file lends its pages to the working picture; whatever is drawn,
    // kept or restored, the clean picture and the search copy stay as read.
    void drawingOnAReadPictureNeverReachesTheCleanOne() {
        IoFixture f;
        Document& doc = *f.doc;
        for (const char* name : {"chart.bmp", "chart.png"}) {
            QVERIFY(ChartPicture().save(f.path(name)));
            LoadPictureFile(f.ws, f.path(name));
            QVERIFY(ShowsOneAxesDrawing(doc));
            doc.appendPoint(1, 100, 100);
            RedrawMarks(doc);
            const QImage marked = doc.workingPicture; // held, as an undo step would
            ShowCleanPicture(doc);
            QCOMPARE(doc.workingPicture, ChartPicture());
            QVERIFY(marked != ChartPicture()); // the held copy keeps its mark
            RedrawMarks(doc);                  // nothing holds it now: restored in place
            ShowCleanPicture(doc);
            QCOMPARE(doc.workingPicture, ChartPicture());
            QImage written = doc.cleanPicture; // writing to a copy of the clean one copies it
            written.setPixel(100, 100, qRgb(1, 2, 3));
            doc.searchCopy.setPixel(101, 100, qRgb(1, 2, 3));
            QCOMPARE(doc.cleanPicture, ChartPicture());
            QCOMPARE(doc.workingPicture, ChartPicture());
        }
    }

    // "Keep calibration for the next picture": a series of identically laid-out charts keeps
    // the reference points, values and scale kinds while the points go; off, the points reset.
    void nextPictureKeepsTheCalibrationOnlyWhenAsked() {
        IoFixture f;
        Document& doc = *f.doc;
        QVERIFY(ChartPicture().save(f.path("a.png")) &&
                ChartPicture(300, 200).save(f.path("b.png")));
        LoadPictureFile(f.ws, f.path("a.png"));
        doc.zeroPointX = 20, doc.zeroPointY = 130, doc.xMaxPointX = 180, doc.xMaxPointY = 130;
        doc.editMaxX = "2024-03-01", doc.scaleX = ScaleKind::Date, doc.scaleY = ScaleKind::Log10;
        doc.appendPoint(1, 60, 60);
        const CalibrationState set = CalibrationState::of(doc);

        doc.keepCalibration = true;
        LoadPictureFile(f.ws, f.path("b.png"));
        QVERIFY(CalibrationState::of(doc).sameAs(set));
        QCOMPARE(doc.nextRow[1], 1);
        QVERIFY(ShowsOneAxesDrawing(doc)); // drawn through the kept points, once

        doc.keepCalibration = false;
        LoadPictureFile(f.ws, f.path("a.png"));
        QCOMPARE(QPoint(doc.xMaxPointX, doc.xMaxPointY), QPoint(200, 200));
    }

    void offersBitmapsFirstThenEveryReadablePicture() {
        const QString filter = PictureDialogFilter();
        QVERIFY2(filter.startsWith("Bitmaps (*.bmp *.BMP);;All pictures ("), qPrintable(filter));
        QVERIFY(filter.contains("*.png") && filter.contains("*.jpg") && filter.contains("*.GIF"));
        QVERIFY(filter.contains("*.pdf *.PDF);;PDF documents (*.pdf *.PDF)"));
    }

    void commandLineOpensByExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("opens");
        QTest::newRow("bmp") << "chart.bmp"
                             << "picture";
        QTest::newRow("BMP") << "CHART.BMP"
                             << "picture";
        QTest::newRow("png") << "chart.png"
                             << "picture";
        QTest::newRow("gra") << "Data/saved.gra"
                             << "data";
        QTest::newRow("txt") << "notes.txt"
                             << "nothing";
        QTest::newRow("short") << "ab"
                               << "nothing";
    }
    void commandLineOpensByExtension() {
        QFETCH(QString, name);
        QFETCH(QString, opens);
        IoFixture f;
        const QString path = f.path(name);
        WriteBytes(f.path("Data/saved.gra"), ThreePointFile());
        QDir().mkpath(f.path("Data/Grafiks"));
        QVERIFY(ChartPicture().save(f.path("Data/Grafiks/chart.bmp"), "BMP"));
        if (opens != "data")
            QVERIFY(ChartPicture().save(path, name.endsWith("png") ? "PNG" : "BMP"));

        // As at start-up: the file is read ahead while the windows are made.
        const PictureReadAhead readAhead(path);
        const bool taken = OpenFromCommandLine(f.ws, path);

        QCOMPARE(taken, opens != "nothing");
        // A picture opened took the reading ahead; one not opened leaves it to be dropped.
        QCOMPARE(TakeReadAheadPicture(path).has_value(), opens == "nothing");
        if (opens == "nothing") {
            QVERIFY(f.doc->cleanPicture.isNull());
            QVERIFY(f.view.status.empty());
        } else if (opens == "picture") {
            QCOMPARE(f.doc->cleanPicture, ChartPicture());
            QCOMPARE(f.doc->pictureFileName, path);
            QCOMPARE(f.view.status[2], path);
        } else {
            QCOMPARE(f.doc->dataFileName, path);
            QCOMPARE(f.doc->nextRow[1], 4);
        }
    }

    void clipboardPictureKeepsPointsAndTakesItsSize() {
        IoFixture f;
        PreparePictureWork(f);
        const QImage taken = ChartPicture(120, 80, qRgb(0, 0, 255));

        QVERIFY(TakeClipboardPicture(f.ws, taken));

        const Document& doc = *f.doc;
        QCOMPARE(doc.pictureFileName, QString("clipboard"));
        QCOMPARE(doc.cleanPicture, taken);
        QVERIFY(ShowsOneAxesDrawing(doc));
        QCOMPARE(QSize(doc.pictureWidth, doc.pictureHeight), QSize(120, 80));
        QCOMPARE(f.view.status[2], QString("M15"));
        QCOMPARE(doc.nextRow[1], 2);
        QCOMPARE(doc.zeroPointX, 77);
        QCOMPARE(doc.dataFileName, QString("/old/Data/chart.gra"));
        QCOMPARE(doc.searchCopy, ChartPicture()); // the search copy follows picture files only

        QVERIFY(!TakeClipboardPicture(f.ws, QImage()));
        QCOMPARE(f.dialogs.informations, QStringList{"M14"});
        QCOMPARE(doc.cleanPicture, taken);

        // A picture beyond the size limit is refused with the reason, and nothing changes.
        const QImage huge(kMaxPictureSide + 1, 1, QImage::Format_RGB32);
        try {
            TakeClipboardPicture(f.ws, huge);
            QFAIL("a too large clipboard picture was taken");
        } catch (const CommandError& error) {
            QVERIFY(error.text().contains(QString::number(kMaxPictureSide + 1)));
        }
        QCOMPARE(doc.cleanPicture, taken);
        QCOMPARE(doc.pictureFileName, QString("clipboard"));

        // A chart copied from a browser: transparent paper is laid on white, as in a file.
        QImage transparent(2, 1, QImage::Format_ARGB32);
        transparent.setPixel(0, 0, qRgba(0, 0, 0, 0));
        transparent.setPixel(1, 0, qRgba(255, 0, 0, 255));
        QVERIFY(TakeClipboardPicture(f.ws, transparent));
        QCOMPARE(doc.cleanPicture.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(doc.cleanPicture.pixel(1, 0), qRgb(255, 0, 0));
    }
};

int RunPictureCommandTests(int argc, char** argv) {
    TestPictureCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_picturecommands.moc"
