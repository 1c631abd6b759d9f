#include "numberreading.h"

#include <QtTest>

#include <clocale>
#include <string>

class TestNumberReading : public QObject
{
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readNumberInACommaLocale_data() { readNumber_data(); }
    void readNumberInACommaLocale();
    void roundHalfEven_data();
    void roundHalfEven();
    void wholeNumberInRange();
    void wholeNumber_data();
    void wholeNumber();
};

void TestNumberReading::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "5000" << 5000.0;
    QTest::newRow("leading zero") << "09" << 9.0;
    QTest::newRow("unit after digits") << "2000ms" << 2000.0;
    QTest::newRow("chinese after digits") << QStringLiteral("28天") << 28.0;
    QTest::newRow("blank inside") << "2 8" << 28.0;
    QTest::newRow("tabs and breaks") << "\t1\n2\r" << 12.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("fraction") << "7.9" << 7.9;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("sign after digits ends") << "5-3" << 5.0;
    QTest::newRow("point first") << ".5" << 0.5;
    // Only the entry form reads full-width digits; the settings and vexa.ini keep this reading.
    QTest::newRow("full-width digits") << QStringLiteral("０８") << 0.0;
}

void TestNumberReading::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumberReading::readNumber(text), value);
}

// Qt sets the C locale from the environment, so a technician's German or French system must
// read "7.9" the same.
void TestNumberReading::readNumberInACommaLocale()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("the locale de_DE.UTF-8 is not installed (tools/bootstrap.sh makes it)");
    const auto restore = qScopeGuard([&before] { std::setlocale(LC_NUMERIC, before.c_str()); });
    QCOMPARE(std::localeconv()->decimal_point, ",");
    QCOMPARE(NumberReading::readNumber(text), value);
}

void TestNumberReading::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("half down to even") << 2.5 << 2.0;
    QTest::newRow("half up to even") << 3.5 << 4.0;
    QTest::newRow("4.5") << 4.5 << 4.0;
    QTest::newRow("below half") << 5.49 << 5.0;
    QTest::newRow("above half") << 5.51 << 6.0;
    QTest::newRow("negative half") << -2.5 << -2.0;
    QTest::newRow("negative -3.5") << -3.5 << -4.0;
    QTest::newRow("whole") << 7.0 << 7.0;
}

void TestNumberReading::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(NumberReading::roundHalfEven(value), rounded);
}

void TestNumberReading::wholeNumberInRange()
{
    QCOMPARE(NumberReading::readWholeNumberIn(u"5000", 0, 65535), std::optional<long long>(5000));
    QCOMPARE(NumberReading::readWholeNumberIn(u"2000.5", 0, 65535), std::optional<long long>(2000));
    QCOMPARE(NumberReading::readWholeNumberIn(u"65535", 0, 65535), std::optional<long long>(65535));
    QVERIFY(!NumberReading::readWholeNumberIn(u"65536", 0, 65535));
    QVERIFY(!NumberReading::readWholeNumberIn(u"-1", 0, 65535));
    // A number too long for a double must not wrap into range.
    QVERIFY(!NumberReading::readWholeNumberIn(QString(400, QLatin1Char('9')), 0, 65535));
}

void TestNumberReading::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    const auto row = [](const char *name, const char *text, bool isNumber, double value) {
        QTest::newRow(name) << QString::fromUtf8(text) << isNumber << value;
    };
    row("plain", "5000", true, 5000);
    row("full-width digits", "０８", true, 8);
    row("full-width sign and point", "－７．５", true, -7.5);
    row("blanks anywhere", " 2 8\t", true, 28);
    row("ideographic blank", "　８　", true, 8);
    row("letter o", "o8", false, 0);
    row("unit after digits", "28天", false, 0);
    row("second point", "1.2.3", false, 0);
    row("sign after digits", "5-3", false, 0);
    row("sign only", "－", false, 0);
    row("empty", "", false, 0);
}

void TestNumberReading::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    QCOMPARE(NumberReading::wholeNumber(text),
             isNumber ? std::optional<double>(value) : std::nullopt);
}

QTEST_GUILESS_MAIN(TestNumberReading)
#include "tst_numberreading.moc"
