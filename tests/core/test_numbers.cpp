#include <QtTest>

#include "core/datetime.h"
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

    // Dates typed on a date axis come back as the same text, whatever the calendar's corners;
    // the day count is the spreadsheets' serial date.
    void datesKeepTheirDayAndTime_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("dayCount");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("precision");
        const int days = int(DatePrecision::Days), minutes = int(DatePrecision::Minutes);
        const int seconds = int(DatePrecision::Seconds);
        QTest::newRow("spreadsheet serial") << "2024-03-01" << 45352.0 << "2024-03-01" << days;
        QTest::newRow("leap day") << "2024-02-29" << 45351.0 << "2024-02-29" << days;
        QTest::newRow("century leap day") << "2000-02-29" << 36585.0 << "2000-02-29" << days;
        QTest::newRow("year end") << "1999-12-31" << 36525.0 << "1999-12-31" << days;
        QTest::newRow("before the origin") << "1850-06-15" << -18095.0 << "1850-06-15" << days;
        QTest::newRow("minutes") << " 2024-03-01 14:30 " << 45352.0 + 14.5 / 24
                                 << "2024-03-01T14:30" << minutes;
        QTest::newRow("seconds") << "2024-03-01T14:30:05" << 45352.0 + (14.5 * 3600 + 5) / 86400
                                 << "2024-03-01T14:30:05" << seconds;
        QTest::newRow("locale form") << "3/1/24" << 45352.0 << "2024-03-01" << days;
    }
    void datesKeepTheirDayAndTime() {
        QFETCH(QString, typed);
        QFETCH(double, dayCount);
        QFETCH(QString, shown);
        QFETCH(int, precision);
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const std::optional<double> parsed = ParseDayCount(typed, english);
        QVERIFY(parsed.has_value());
        QCOMPARE(*parsed, dayCount);
        QCOMPARE(FormatDayCount(*parsed, DatePrecision(precision)), shown);
    }
    void datesThatDoNotExistAreRefused() {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const char* text : {"2023-02-29", "1900-02-29", "2024-04-31", "2024-13-01",
                                 "2024-03-01 24:00", "2024-03-01 12:60", "March", ""})
            QVERIFY2(!ParseDayCount(text, english), text);
        // A value shown in minutes rounds into the next day rather than to 23:60.
        QCOMPARE(FormatDayCount(45352.0 - 10.0 / 86400, DatePrecision::Minutes),
                 QString("2024-03-01T00:00"));
        QCOMPARE(PrecisionForSpan(3650), DatePrecision::Days);
        QCOMPARE(PrecisionForSpan(31), DatePrecision::Minutes);
        QCOMPARE(PrecisionForSpan(0.2), DatePrecision::Seconds);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
