#include "letters/amountinwords.h"

#include <QTest>
#include <limits>

using letters::AmountInWords;

class TestAmountInWords : public QObject {
    Q_OBJECT
private slots:
    void words_data();
    void words();
    void kopeckForms_data();
    void kopeckForms();
    void figures_data();
    void figures();
    void outsideTheTables_data();
    void outsideTheTables();
};

void TestAmountInWords::words_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    const struct { double amount; const char *text; } rows[] = {
        {0, "Ноль рублей 00 копеек"},
        {0.5, "Ноль рублей 50 копеек"},
        {1, "Один рубль 00 копеек"},
        {2.01, "Два рубля 01 копейка"},
        {11.11, "Одиннадцать рублей 11 копеек"},
        {21.22, "Двадцать один рубль 22 копейки"},
        {40, "Сорок рублей 00 копеек"},
        {112, "Сто двенадцать рублей 00 копеек"},
        {1000, "Одна тысяча рублей 00 копеек"},
        {1001, "Одна тысяча один рубль 00 копеек"},
        {2000, "Две тысячи рублей 00 копеек"},
        {21000, "Двадцать одна тысяча рублей 00 копеек"},
        {100000, "Сто тысяч рублей 00 копеек"},
        {1000000, "Один миллион рублей 00 копеек"},
        {1000001, "Один миллион один рубль 00 копеек"},
        {2000000, "Два миллиона рублей 00 копеек"},
        {1000000000, "Один миллиард рублей 00 копеек"},
        {1234.5, "Одна тысяча двести тридцать четыре рубля 50 копеек"},
        {12345678.9, "Двенадцать миллионов триста сорок пять тысяч шестьсот семьдесят восемь рублей 90 копеек"},
        {1.999, "Два рубля 00 копеек"},
        {0.125, "Ноль рублей 13 копеек"},
        {999999999999999.0,
         "Девятьсот девяносто девять триллионов девятьсот девяносто девять миллиардов "
         "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
         "девятьсот девяносто девять рублей 00 копеек"},
        // groups of "000" between others say nothing; the thousands are feminine
        {2002002, "Два миллиона две тысячи два рубля 00 копеек"},
        {1000000000000.0, "Один триллион рублей 00 копеек"},
        {3000000005.0, "Три миллиарда пять рублей 00 копеек"},
        {14000, "Четырнадцать тысяч рублей 00 копеек"},
        {544, "Пятьсот сорок четыре рубля 00 копеек"},
        {910, "Девятьсот десять рублей 00 копеек"},
        {99.99, "Девяносто девять рублей 99 копеек"},
        // 0.995 is 0.99499999999999999556 in binary: it stays below the half
        {0.995, "Ноль рублей 99 копеек"},
    };
    for (const auto &r : rows)
        QTest::addRow("%s", QByteArray::number(r.amount, 'f', 3).constData())
            << r.amount << QString::fromUtf8(r.text);
}

void TestAmountInWords::words()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(AmountInWords(amount), text);
}

void TestAmountInWords::kopeckForms_data()
{
    QTest::addColumn<int>("kopecks");
    QTest::addColumn<QString>("tail");
    const struct { int k; const char *tail; } rows[] = {
        {0, "00 копеек"}, {1, "01 копейка"}, {4, "04 копейки"}, {5, "05 копеек"},
        {10, "10 копеек"}, {11, "11 копеек"}, {14, "14 копеек"}, {19, "19 копеек"},
        {20, "20 копеек"}, {21, "21 копейка"}, {22, "22 копейки"}, {24, "24 копейки"},
        {25, "25 копеек"}, {30, "30 копеек"}, {31, "31 копейка"}, {91, "91 копейка"},
        {99, "99 копеек"},
    };
    for (const auto &r : rows)
        QTest::addRow("%d", r.k) << r.k << QString::fromUtf8(r.tail);
}

void TestAmountInWords::kopeckForms()
{
    QFETCH(int, kopecks);
    QFETCH(QString, tail);
    const QString text = AmountInWords(7 + kopecks / 100.0);
    QVERIFY2(text.startsWith(QStringLiteral("Семь рублей ")), qPrintable(text));
    QVERIFY2(text.endsWith(QLatin1Char(' ') + tail), qPrintable(text));
}

void TestAmountInWords::figures_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("figures");
    QTest::newRow("half") << 1234.5 << "1234.50";
    QTest::newRow("half kopeck up") << 0.125 << "0.13";
    QTest::newRow("carry into roubles") << 9.999 << "10.00";
    QTest::newRow("carry adds a digit") << 999.996 << "1000.00";
    QTest::newRow("binary below half") << 2.675 << "2.67";
    QTest::newRow("tiny") << 1e-9 << "0.00";
    QTest::newRow("large") << 123456789012345.0 << "123456789012345.00";
    QTest::newRow("18 digits only") << 1e20 + 0.5 << "100000000000000000000.00";
}

void TestAmountInWords::figures()
{
    QFETCH(double, amount);
    QFETCH(QString, figures);
    QCOMPARE(letters::amountFigures(amount), figures);
}

void TestAmountInWords::outsideTheTables_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("negative") << -121.05 << QString("Минус сто двадцать один рубль 05 копеек");
    QTest::newRow("negative kopecks") << -0.01 << QString("Минус ноль рублей 01 копейка");
    QTest::newRow("negative rounding to zero") << -0.004 << QString("Ноль рублей 00 копеек");
    QTest::newRow("one quadrillion") << 1e15 << QString("Один квадриллион рублей 00 копеек");
    QTest::newRow("quintillions")
        << 2.5e18 << QString("Два квинтиллиона пятьсот квадриллионов рублей 00 копеек");
    QTest::newRow("beyond the words") << 1e21 << QString("1000000000000000000000 рублей 00 копеек");
    QTest::newRow("beyond, 22 roubles form")
        << 1.22e22 << QString("12200000000000000000000 рублей 00 копеек");
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QString();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QString();
}

void TestAmountInWords::outsideTheTables()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(AmountInWords(amount), text);
}

QTEST_GUILESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
