#include <QtTest>

#include "core/calibration.h"
#include "core/document.h"

using namespace kurvana;

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void resetFrameConvertsTheMiddlePixel() {
        Document doc;
        doc.workingPicture = QImage(300, 300, QImage::Format_RGB32);
        doc.resetForNewPicture();
        ReadAxisTexts(doc);
        const AxisValues v = ValuesAtPixel(doc, 125, 125);
        QCOMPARE(doc.xAxisLength, 150);
        QCOMPARE(doc.yAxisLength, 150);
        QCOMPARE(v.x, 5000.0);
        QVERIFY(qAbs(v.y - 1.05) < 1e-12);
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"
