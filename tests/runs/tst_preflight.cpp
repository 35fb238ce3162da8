// The checks every run makes of a recipient's data.
#include "runs/preflight.h"

#include <QtTest>

class TestRunsPreflight : public QObject {
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(TestRunsPreflight)
#include "tst_preflight.moc"
