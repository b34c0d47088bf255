#include <QtTest>

#include "core/keyfilters.h"
#include "core/numbers.h"

using namespace kurvana;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void generalFormat_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("zero") << 0.0 << "0"
                              << "0";
        QTest::newRow("integer") << 100.0 << "100"
                                 << "100";
        QTest::newRow("fraction") << 2.5 << "2.5"
                                  << "2,5";
        QTest::newRow("smallest fixed") << 0.0001 << "0.0001"
                                        << "0,0001";
        QTest::newRow("below fixed") << 0.00005 << "5E-5"
                                     << "5E-5";
        QTest::newRow("1E15") << 1e15 << "1E15"
                              << "1E15";
        QTest::newRow("fifteen nines") << 999999999999999.0 << "999999999999999"
                                       << "999999999999999";
        QTest::newRow("large") << 1.5e20 << "1.5E20"
                               << "1,5E20";
        QTest::newRow("negative") << -1.05 << "-1.05"
                                  << "-1,05";
        QTest::newRow("fifteen digits") << 1.0 / 3 << "0.333333333333333"
                                        << "0,333333333333333";
        QTest::newRow("rounds up to fixed") << 0.000099999999999999999 << "0.0001"
                                            << "0,0001";
    }
    void generalFormat() {
        QFETCH(double, value);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(formatGeneral(value, '.'), point);
        QCOMPARE(formatGeneral(value, ','), comma);
    }

    void scientificAndFixedFormats() {
        QCOMPARE(formatScientific(1234.5, '.'), QString("1.2345E3"));
        QCOMPARE(formatScientific(0.00025, ','), QString("2,5E-4"));
        QCOMPARE(formatScientific(-7, '.'), QString("-7E0"));
        QCOMPARE(formatFixed2(0, '.'), QString("0.00"));
        QCOMPARE(formatFixed2(1234.567, ','), QString("1234,57"));
    }

    void textToNumberFollowsThePlatformRules() {
        QCOMPARE(parseFloat("1.5", '.'), std::optional<double>(1.5));
        QCOMPARE(parseFloat(" -2,5 ", ','), std::optional<double>(-2.5));
        QCOMPARE(parseFloat("1e3", '.'), std::optional<double>(1000));
        QCOMPARE(parseFloat(".5", '.'), std::optional<double>(0.5));
        for (const char* bad : {"", "-", ".", "1,5", "1.5.2", "1e", "abc", "1 2"})
            QVERIFY2(!parseFloat(bad, '.'), bad);
        QVERIFY(!parseFloat("1.5", ','));
        QCOMPARE(parseInteger("42"), std::optional<int>(42));
        QCOMPARE(parseInteger("-7"), std::optional<int>(-7));
        for (const char* bad : {"", "4.2", "x", "99999999999", "-"})
            QVERIFY2(!parseInteger(bad), bad);
    }

    void axisKeyFilter() {
        const auto accepts = [](QChar key, const QString& text, QChar sep) {
            return FilterAxisKey(key, text, sep);
        };
        QCOMPARE(accepts(',', "1", '.'), std::optional<QChar>('.'));
        QCOMPARE(accepts('.', "1", ','), std::optional<QChar>(','));
        QVERIFY(!accepts(',', "1.5", '.')); // it would become a second "."
        QVERIFY(!accepts('-', "1", '.'));
        QCOMPARE(accepts('-', "", '.'), std::optional<QChar>('-'));
        QVERIFY(!accepts('a', "", '.'));
        QCOMPARE(accepts(kBackspace, "1", '.'), std::optional<QChar>(kBackspace));
        QVERIFY(!accepts(kEnter, "", '.')); // Enter is the window's, not the filter's
        // The search windows' filter lets "-" anywhere and Enter through.
        QCOMPARE(FilterNumericKey('-', "12", '.'), std::optional<QChar>('-'));
        QCOMPARE(FilterNumericKey(kEnter, "12", '.'), std::optional<QChar>(kEnter));
        QVERIFY(!FilterNumericKey(QChar(0x2E), "1,2", QChar(0x2C)));
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
