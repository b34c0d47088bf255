#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "core/picturememory.h"
#include "io/plainbitmap.h"

using namespace kurvana;

namespace {

void Patch32(QByteArray& bytes, int offset, qint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

void Patch16(QByteArray& bytes, int offset, qint16 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

/// The bitmap file Qt writes for a picture: 24 bits a pixel, rows bottom up. Turned top down
/// (a negative height, rows in reading order) on request.
QByteArray BitmapBytes(const QImage& picture, bool topDown = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(picture);
    if (topDown) {
        const int rowBytes = (picture.width() * 3 + 3) / 4 * 4;
        QByteArray rows;
        for (int r = picture.height() - 1; r >= 0; --r)
            rows += bytes.mid(54 + r * rowBytes, rowBytes);
        bytes = bytes.left(54) + rows;
        Patch32(bytes, 22, -picture.height());
    }
    return bytes;
}

QImage RandomPicture(int width, int height, quint32 seed) {
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | random.bounded(0x1000000u);
    }
    return picture;
}

} // namespace

class TestPlainBitmap : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    int files_ = 0;

    QString write(const QByteArray& bytes) {
        const QString path = folder_.filePath(QString("picture%1.bmp").arg(++files_));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

private slots:
    void readsWhatQtsReaderReads_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<int>("pixelsPerMeter");
        QTest::newRow("one pixel") << 1 << 1 << false << 2835;
        QTest::newRow("rows padded by 3 bytes") << 3 << 2 << false << 2835;
        QTest::newRow("rows of whole words") << 4 << 5 << false << 2835;
        QTest::newRow("top down") << 7 << 3 << true << 2835;
        QTest::newRow("uneven width, many rows") << 130 << 97 << false << 5000;
        QTest::newRow("no resolution in the header") << 9 << 4 << false << 0;
        QTest::newRow("negative resolution") << 9 << 4 << true << -5;
        // Above the size from which the picture gets memory of its own making.
        QTest::newRow("large scan") << 1700 << 1300 << false << 11811;
        QTest::newRow("large scan, top down") << 1700 << 1300 << true << 11811;
    }
    void readsWhatQtsReaderReads() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, topDown);
        QFETCH(int, pixelsPerMeter);
        QByteArray bytes =
            BitmapBytes(RandomPicture(width, height, quint32(width * height)), topDown);
        Patch32(bytes, 38, pixelsPerMeter);
        Patch32(bytes, 42, pixelsPerMeter);
        const QString path = write(bytes);

        const std::optional<QImage> plain = ReadPlainBitmap(path);
        QVERIFY(plain.has_value());
        const QImage qt = QImageReader(path).read();
        QCOMPARE(plain->format(), qt.format());
        QCOMPARE(plain->size(), qt.size());
        QCOMPARE(*plain, qt);
        QCOMPARE(plain->dotsPerMeterX(), qt.dotsPerMeterX());
        QCOMPARE(plain->dotsPerMeterY(), qt.dotsPerMeterY());
#if defined(__linux__)
        // Read into memory the working picture can share, not into a copy of it.
        QVERIFY(InMemoryFile(*plain));
#endif
    }

    void leavesOtherKindsToQtsReader_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray plain = BitmapBytes(RandomPicture(5, 4, 1));
        QByteArray altered = plain;
        Patch16(altered, 28, 32);
        QTest::newRow("32 bits a pixel") << altered;
        altered = plain;
        Patch32(altered, 30, 1);
        QTest::newRow("compressed") << altered;
        altered = plain;
        altered.insert(54, QByteArray(8, '\0'));
        Patch32(altered, 10, 62);
        QTest::newRow("pixels after a gap") << altered;
        altered = plain;
        Patch32(altered, 46, 2);
        QTest::newRow("colour table") << altered;
        altered = plain;
        Patch32(altered, 14, 108);
        QTest::newRow("larger info header") << altered;
        QTest::newRow("one byte short") << plain.left(plain.size() - 1);
        altered = plain;
        Patch32(altered, 18, 0);
        QTest::newRow("no width") << altered;
        QTest::newRow("header only") << plain.left(54);
        altered = plain;
        Patch32(altered, 18, 0x70600000); // its byte count would overflow 64 bits
        Patch32(altered, 22, qint32(0x882F0000u));
        QTest::newRow("beyond the largest picture") << altered;
        QTest::newRow("not a bitmap") << QByteArray("\x89PNG\r\n\x1a\n") + plain.mid(8);
        QImage indexed(6, 3, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        indexed.fill(1);
        QByteArray palette;
        QBuffer buffer(&palette);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "bmp").write(indexed);
        QTest::newRow("8-bit palette") << palette;
    }
    void leavesOtherKindsToQtsReader() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!ReadPlainBitmap(write(bytes)).has_value());
    }

    void missingFileIsLeftToQtsReader() {
        QVERIFY(!ReadPlainBitmap(folder_.filePath("absent.bmp")).has_value());
    }
};

int RunPlainBitmapTests(int argc, char** argv) {
    TestPlainBitmap test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_plainbitmap.moc"
