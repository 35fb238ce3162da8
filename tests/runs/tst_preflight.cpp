// The checks every run makes of a recipient's data.
#include "runs/numerals.h"
#include "runs/preflight.h"

#include <QtTest>

class TestRunsPreflight : public QObject {
    Q_OBJECT

private slots:
    void numbersAgree_data();
    void numbersAgree();
    void postalCodes_data();
    void postalCodes();
};

void TestRunsPreflight::postalCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("good");
    QTest::newRow("six digits") << "101000" << true;
    QTest::newRow("spaces around") << " 101000 " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("five digits") << "10100" << false;
    QTest::newRow("seven digits") << "1010001" << false;
    QTest::newRow("letter") << "10100O" << false;
    QTest::newRow("space inside") << "101 000" << false;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("١٠١٠٠٠") << false;
}

void TestRunsPreflight::postalCodes()
{
    QFETCH(QString, code);
    QFETCH(bool, good);
    QCOMPARE(runs::isSixDigitPostalCode(code), good);
}

void TestRunsPreflight::numbersAgree_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("word");
    for (const auto &[n, word] : {std::pair{0, "конвертов"}, {1, "конверт"}, {2, "конверта"}, {4, "конверта"},
                                  {5, "конвертов"}, {11, "конвертов"}, {12, "конвертов"}, {14, "конвертов"},
                                  {21, "конверт"}, {22, "конверта"}, {101, "конверт"}, {111, "конвертов"},
                                  {1000, "конвертов"}})
        QTest::addRow("%d", n) << n << QString::fromUtf8(word);
}

void TestRunsPreflight::numbersAgree()
{
    QFETCH(int, n);
    QTEST(runs::byNumber(n, QStringLiteral("конверт"), QStringLiteral("конверта"), QStringLiteral("конвертов")), "word");
}

QTEST_GUILESS_MAIN(TestRunsPreflight)
#include "tst_preflight.moc"
