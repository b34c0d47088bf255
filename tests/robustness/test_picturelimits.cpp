// The largest picture the program opens, the message beyond it, and the new-picture reset on
// pictures of odd shapes.
#include <QtEndian>
#include <QtTest>

#include "core/drawing.h"
#include "core/picture.h"
#include "io/picturecommands.h"
#include "io/picturefile.h"
#include "robustfixture.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// The 54-byte header of an uncompressed 24-bit bitmap of the given size, followed by
/// `pixelBytes` bytes of pixels (possibly fewer than the size needs: a truncated file).
QByteArray BitmapWithHeader(qint32 width, qint32 height, int pixelBytes) {
    QByteArray bytes(54, '\0');
    auto* b = reinterpret_cast<uchar*>(bytes.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(quint32(54 + pixelBytes), b + 2);
    qToLittleEndian<quint32>(54, b + 10);
    qToLittleEndian<quint32>(40, b + 14);
    qToLittleEndian<qint32>(width, b + 18);
    qToLittleEndian<qint32>(height, b + 22);
    qToLittleEndian<quint16>(1, b + 26);
    qToLittleEndian<quint16>(24, b + 28);
    return bytes + QByteArray(pixelBytes, '\xFF');
}

} // namespace

class TestPictureLimits : public QObject {
    Q_OBJECT

private slots:
    void picturesUpToTheLargestSideOpenAndLargerOnesAreRefused_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("opens");
        QTest::newRow("widest") << kMaxPictureSide << 1 << true;
        QTest::newRow("tallest") << 1 << kMaxPictureSide << true;
        QTest::newRow("one pixel too wide") << kMaxPictureSide + 1 << 1 << false;
        QTest::newRow("one pixel too tall") << 1 << kMaxPictureSide + 1 << false;
    }
    void picturesUpToTheLargestSideOpenAndLargerOnesAreRefused() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, opens);
        ProgramFolder p;
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(picture.save(p.path("edge.bmp"), "BMP"));
        const bool opened = runCommand(p.ws, [&] { LoadPictureFile(p.ws, p.path("edge.bmp")); });
        QCOMPARE(opened, opens);
        if (opens) {
            QCOMPARE(p.doc->pictureWidth, width);
            QCOMPARE(p.doc->pictureHeight, height);
            return;
        }
        QCOMPARE(p.dialogs.informations.size(), 1);
        const QString message = p.dialogs.informations.at(0);
        QVERIFY2(message.contains(QString("%1 x %2").arg(width).arg(height)), qPrintable(message));
        QVERIFY(message.contains("too large"));
    }

    void aBitmapAnnouncingAHugeSizeIsRefusedWithItsSizeWithoutReadingIt_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("100000 square") << 100000 << 100000;
        QTest::newRow("top-down, huge") << 20000 << -30000;
        QTest::newRow("largest int") << 2147483647 << 1;
    }
    void aBitmapAnnouncingAHugeSizeIsRefusedWithItsSizeWithoutReadingIt() {
        QFETCH(int, width);
        QFETCH(int, height);
        ProgramFolder p;
        QVERIFY(p.write("huge.bmp", BitmapWithHeader(width, height, 64)));
        QVERIFY(!runCommand(p.ws, [&] { LoadPictureFile(p.ws, p.path("huge.bmp")); }));
        QCOMPARE(p.dialogs.informations.size(), 1);
        const QString message = p.dialogs.informations.at(0);
        QVERIFY2(message.contains(QString("%1 x %2").arg(width).arg(qAbs(height))),
                 qPrintable(message));
        QVERIFY(p.doc->cleanPicture.isNull());
    }

    void theNewPictureResetHandlesOddShapes_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("1 x 40000") << QSize(1, 40000);
        QTest::newRow("40000 x 1") << QSize(40000, 1);
    }
    void theNewPictureResetHandlesOddShapes() {
        QFETCH(QSize, size);
        ProgramFolder p;
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        InstallNewPicture(p.ws, picture);
        Document& doc = *p.doc;
        QCOMPARE(QSize(doc.pictureWidth, doc.pictureHeight), size);
        QCOMPARE(doc.nextRow.at(1), 1);
        QCOMPARE(QPoint(doc.zeroPointX, doc.zeroPointY), QPoint(50, 200));
        // The axes drawing is clipped to the picture and comes off exactly.
        ToggleAxes(doc);
        QCOMPARE(doc.workingPicture, doc.cleanPicture);
        doc.appendPoint(1, 0, 0);
        doc.appendPoint(1, size.width() - 1, size.height() - 1);
        RedrawMarks(doc);
        QCOMPARE(doc.workingPicture.size(), size);
    }
};

int RunPictureLimitTests(int argc, char** argv) {
    TestPictureLimits tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_picturelimits.moc"
