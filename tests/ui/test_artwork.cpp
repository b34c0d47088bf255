#include <cmath>
#include <numbers>

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/artwork.h"
#include "ui/programicon.h"

using namespace kurvana;

namespace {

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(row[x]) > 128;
    }
    return count;
}

QImage argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of `image` laid on `background` that differ clearly in lightness from it.
int pixelsStandingOut(const QImage& image, const QColor& background) {
    QImage shown(image.size(), QImage::Format_RGB32);
    shown.fill(background);
    QPainter(&shown).drawImage(0, 0, image);
    const int ground = qGray(background.rgb());
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            count += std::abs(qGray(row[x]) - ground) > 60;
    }
    return count;
}

// The known-data file of a sample chart: keyword lines and point lines.
struct KnownData {
    QHash<QString, QStringList> fields;
    QList<QStringList> curves;
    QList<QStringList> points;

    QPoint pixel(const QString& key) const {
        const QStringList v = fields.value(key);
        return v.size() == 2 ? QPoint(v[0].toInt(), v[1].toInt()) : QPoint(-1, -1);
    }
    double number(const QString& key) const { return fields.value(key).value(0).toDouble(); }
    QString word(const QString& key) const { return fields.value(key).value(0); }
};

KnownData readKnownData(const QString& path) {
    KnownData data;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return data;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        const QString key = words.takeFirst();
        if (key == "curve")
            data.curves << words;
        else if (key == "point")
            data.points << words;
        else
            data.fields.insert(key, words);
    }
    return data;
}

int bitsPerPixelOfBmp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        return -1;
    return quint8(header[28]) | quint8(header[29]) << 8;
}

bool isDark(QRgb p) {
    return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
}

double scaled(double value, const QString& kind) {
    return kind == "log10" ? std::log10(value) : value;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void everyToolbarImageIsA18x18PictureDrawnOnce() {
        for (int i = 0; i < kToolbarImageCount; ++i) {
            const QPixmap image = ToolbarImage(i);
            QCOMPARE(image.size(), QSize(18, 18));
            QVERIFY2(opaquePixels(argb(image)) >= 20, qPrintable(QString::number(i)));
            QCOMPARE(ToolbarImage(i).cacheKey(), image.cacheKey());
        }
        QVERIFY(ToolbarImage(-1).isNull());
        QVERIFY(ToolbarImage(kToolbarImageCount).isNull());
    }

    void toolbarIconsAreDrawnAnewForHighDensityScreens() {
        for (int i = 0; i < kToolbarImageCount; ++i) {
            const QIcon icon = ToolbarIcon(i);
            const QString which = QString::number(i);
            QImage normal = argb(icon.pixmap(QSize(18, 18), 1.0));
            normal.setDevicePixelRatio(1.0);
            QCOMPARE(normal, argb(ToolbarImage(i)));
            const QPixmap dense = icon.pixmap(QSize(18, 18), 2.0);
            QCOMPARE(dense.size(), QSize(36, 36));
            QImage sharp = argb(dense);
            sharp.setDevicePixelRatio(1.0);
            // Not the 18-pixel image enlarged, whether blocky or smoothed.
            QVERIFY2(sharp != normal.scaled(36, 36), qPrintable(which));
            QVERIFY2(sharp !=
                         normal.scaled(36, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                     qPrintable(which));
            QVERIFY2(opaquePixels(sharp) >= 4 * 20, qPrintable(which));
        }
    }

    void toolbarImagesArePairwiseDistinct() {
        QList<QImage> images;
        for (int i = 0; i < kToolbarImageCount; ++i)
            images << argb(ToolbarImage(i));
        for (int i = 0; i < kToolbarImageCount; ++i)
            for (int j = i + 1; j < kToolbarImageCount; ++j)
                QVERIFY2(images[i] != images[j],
                         qPrintable(QStringLiteral("%1 = %2").arg(i).arg(j)));
    }

    void toolbarImagesStandOutOnLightAndDarkToolbars() {
        for (int i = 0; i < kToolbarImageCount; ++i) {
            const QImage image = argb(ToolbarImage(i));
            for (const QColor& toolbar : {QColor(0xf0, 0xf0, 0xf0), QColor(0x2b, 0x2e, 0x33)})
                QVERIFY2(pixelsStandingOut(image, toolbar) >= 20,
                         qPrintable(QStringLiteral("image %1 on %2").arg(i).arg(toolbar.name())));
        }
    }

    void cursorsAre32x32WithTheHotSpotOnTheShape() {
        for (int n = 1; n <= 8; ++n) {
            const QCursor cursor = ProgramCursor(n);
            const QImage image = argb(cursor.pixmap());
            const QPoint hot = cursor.hotSpot();
            const QString which = QString::number(n);
            QCOMPARE(image.size(), QSize(32, 32));
            QVERIFY2(image.rect().contains(hot), qPrintable(which));
            // The shape reaches to within a few pixels of the hot spot...
            QVERIFY2(opaquePixels(image.copy(QRect(hot - QPoint(3, 3), QSize(7, 7)))) > 0,
                     qPrintable(which));
            // ...and has black and a white halo, for white paper and dark pictures alike.
            QVERIFY2(pixelsStandingOut(image, Qt::white) >= 20, qPrintable(which));
            QVERIFY2(pixelsStandingOut(image, Qt::black) >= 20, qPrintable(which));
        }
        QCOMPARE(argb(ProgramCursor(5).pixmap()), argb(ProgramCursor(6).pixmap()));
        QVERIFY(argb(ProgramCursor(1).pixmap()) != argb(ProgramCursor(2).pixmap()));
        // The pipette picks the colour under its very tip.
        const QCursor pipette = ProgramCursor(8);
        QVERIFY(isDark(argb(pipette.pixmap()).pixel(pipette.hotSpot())));
        QCOMPARE(ProgramCursor(0).shape(), Qt::ArrowCursor);
        QCOMPARE(ProgramCursor(9).shape(), Qt::ArrowCursor);
    }

    void programIconCoversSmallAndLargeSizes() {
        const QIcon icon = ProgramIcon();
        for (const int size : {16, 32, 48, 256}) {
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
            QVERIFY(opaquePixels(argb(icon.pixmap(size))) > size * size / 2);
        }
    }

#ifdef KURVANA_MAKE_EXAMPLES
    void sampleKnownDataMatchesThePicture_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("stem");
        QTest::newRow("level_linear") << QStringList() << "level_linear";
        QTest::newRow("log_scale") << QStringList() << "log_scale";
        QTest::newRow("tilted_scan") << QStringList() << "tilted_scan";
        QTest::newRow("large_scan, small") << QStringList{"--large"} << "large_scan";
    }

    void sampleKnownDataMatchesThePicture() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, stem);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        arguments << folder.path();
        if (arguments.first() == "--large")
            arguments << "0.15";
        QProcess generator;
        generator.start(KURVANA_MAKE_EXAMPLES, arguments);
        QVERIFY(generator.waitForFinished(120000));
        QCOMPARE(generator.exitCode(), 0);

        const QString picturePath = folder.filePath(stem + ".bmp");
        QCOMPARE(bitsPerPixelOfBmp(picturePath), 24);
        const QImage picture = QImage(picturePath).convertToFormat(QImage::Format_RGB32);
        const KnownData data = readKnownData(folder.filePath(stem + ".txt"));
        QCOMPARE(data.word("picture"), stem + ".bmp");
        QCOMPARE(data.pixel("size"), QPoint(picture.width(), picture.height()));

        // The reference pixels lie on the black axes, which meet at a right angle and run
        // at the stated tilt.
        const QPoint zero = data.pixel("zero_point");
        const QPoint xMax = data.pixel("x_max_point");
        const QPoint yMax = data.pixel("y_max_point");
        for (const QPoint& p : {zero, xMax, yMax})
            QVERIFY2(isDark(picture.pixel(p)),
                     qPrintable(QStringLiteral("%1 %2").arg(p.x()).arg(p.y())));
        const QPointF xAxis = xMax - zero, yAxis = yMax - zero;
        const double xLength = std::hypot(xAxis.x(), xAxis.y());
        const double yLength = std::hypot(yAxis.x(), yAxis.y());
        const double degrees = 180.0 / std::numbers::pi;
        QVERIFY(std::abs(std::atan2(-xAxis.y(), xAxis.x()) * degrees -
                         data.number("tilt_degrees")) < 0.2);
        QVERIFY(std::abs(QPointF::dotProduct(xAxis, yAxis) / (xLength * yLength)) < 0.005);

        // Every listed point sits on its curve's stroke, where the axis values put it.
        QCOMPARE(data.curves.size(), data.fields.value("curve_count").value(0).toInt());
        const bool level = data.number("tilt_degrees") == 0.0;
        const QString scaleX = data.word("scale_x"), scaleY = data.word("scale_y");
        const double minX = data.number("input_min_x"), maxX = data.number("input_max_x");
        const double minY = data.number("input_min_y"), maxY = data.number("input_max_y");
        QList<int> perCurve(data.curves.size(), 0);
        for (const QStringList& point : data.points) {
            QCOMPARE(point.size(), 5);
            const int curve = point[0].toInt();
            QVERIFY(curve >= 1 && curve <= data.curves.size());
            ++perCurve[curve - 1];
            const QColor colour(data.curves[curve - 1].value(1));
            const QPoint pixel(point[3].toInt(), point[4].toInt());
            const QRgb shown = picture.pixel(pixel);
            const QString where = point.join(u' ');
            if (level)
                QVERIFY2((shown & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF), qPrintable(where));
            else
                QVERIFY2(std::abs(qRed(shown) - colour.red()) < 100 &&
                             std::abs(qGreen(shown) - colour.green()) < 100 &&
                             std::abs(qBlue(shown) - colour.blue()) < 100,
                         qPrintable(where));

            const QPointF fromZero = pixel - zero;
            const double u = QPointF::dotProduct(fromZero, xAxis) / xLength;
            const double v = QPointF::dotProduct(fromZero, yAxis) / yLength;
            const double expectedU =
                (scaled(point[1].toDouble(), scaleX) - minX) / (maxX - minX) * xLength;
            const double expectedV =
                (scaled(point[2].toDouble(), scaleY) - minY) / (maxY - minY) * yLength;
            QVERIFY2(std::abs(u - expectedU) <= 1.5, qPrintable(where));
            QVERIFY2(std::abs(v - expectedV) <= 1.5, qPrintable(where));
        }
        for (const int count : perCurve)
            QVERIFY(count >= 10);
    }
#endif
};

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"
