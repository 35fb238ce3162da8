// The blank run's logic over a session of plain lines: sheet capacity, full
// sheets printed and reopened, row mode, the sum variables and user data
// kept literal.

#include "letters/blankrun.h"
#include "tests/letters/textsession.h"
#include "tests/printrun/printrunfixture.h"

#include <QTest>

using letters::BlankRun;
using printruntest::Data;

namespace {

BlankRun::Sources sources(const QString &templateName, const QString &sum = QStringLiteral("0"))
{
    BlankRun::Sources s;
    s.templateName = templateName;
    s.sender = {QStringLiteral("Отправителев"), QStringLiteral("Тверь"), QStringLiteral("170000")};
    s.sumText = [sum] { return sum; };
    s.now = [] { return QDateTime(QDate(2026, 3, 5), QTime(9, 7, 3)); };
    s.locale = QLocale(QLocale::Russian, QLocale::Russia);
    return s;
}

} // namespace

class TestBlankRun : public QObject {
    Q_OBJECT
private slots:
    void sumVariables_data();
    void sumVariables();
    void capacity_data();
    void capacity();
    void fullSheetsPrintAndReopen();
    void rowModeRepeatsTheRow();
};

void TestBlankRun::sumVariables_data()
{
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("figures");
    QTest::addColumn<QString>("roubles");
    QTest::addColumn<QString>("kopecks");
    QTest::addColumn<QString>("wordsEnd");
    QTest::newRow("1234,5") << "1234,5" << "1234,50" << "1234" << "50"
                            << "Одна тысяча двести тридцать четыре рубля 50 копеек";
    QTest::newRow("0,05") << "0,05" << "0,05" << "0" << "05" << "05 копеек";
    QTest::newRow("0") << "0" << "0,00" << "0" << "00" << "00 копеек";
    // Kopecks in figures round a half to even, the words round it up.
    QTest::newRow("0,125") << "0,125" << "0,13" << "0" << "12" << "13 копеек";
    QTest::newRow("not a number") << "abc" << "0,00" << "0" << "00" << "00 копеек";
}

void TestBlankRun::sumVariables()
{
    QFETCH(QString, sum);
    const letters::SumTexts t = letters::sumTexts(sum, QLocale(QLocale::Russian, QLocale::Russia));
    QTEST(t.figures, "figures");
    QTEST(t.roubles, "roubles");
    QTEST(t.kopecks, "kopecks");
    QFETCH(QString, wordsEnd);
    QVERIFY2(t.inWords.endsWith(wordsEnd), qPrintable(t.inWords));
}

void TestBlankRun::capacity_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("capacity");
    QTest::newRow("four") << QStringList{"~Кому1~ ~Кому2~", "~Кому3~", "~Кому4~"} << 4;
    QTest::newRow("only the second") << QStringList{"~Кому2~"} << 2;
    QTest::newRow("sender decides") << QStringList{"~Кому1~", "~От кого3~"} << 3;
    QTest::newRow("other case") << QStringList{"~кому5~"} << 5;
    QTest::newRow("address does not count") << QStringList{"~Куда7~", "~Адресат~"} << 0;
}

void TestBlankRun::capacity()
{
    QFETCH(QStringList, lines);
    TextSession word;
    word.templates[QStringLiteral("t")] = lines;
    word.WordOpen(QStringLiteral("t"));
    QTEST(letters::sheetCapacity(word), "capacity");
}

void TestBlankRun::fullSheetsPrintAndReopen()
{
    Data data;
    for (int i = 1; i <= 6; ++i)
        data.addRecipient(QStringLiteral("Адресат %1").arg(i), QStringLiteral("ул. %1").arg(i),
                          QStringLiteral("10000%1").arg(i), i != 3);
    TextSession word;
    word.templates[QStringLiteral("four")] = {
        "~Кому1~ | ~Куда1~ | ~От кого1~ | ~Откуда1~", "~Кому2~", "~Кому3~", "~Кому4~ | ~Дата~ ~Время~ | ~Сумма~"};
    word.WordOpen(QStringLiteral("four"));
    BlankRun run(word, sources(QStringLiteral("four"), QStringLiteral("10,5")));
    QCOMPARE(run.run(data.tables.Table2, addressbook::PrintScope::Marked), 5);

    QCOMPARE(run.capacity(), 4);
    QCOMPARE(word.opens, 2);
    QCOMPARE(run.sheetsPrinted(), 2);
    QCOMPARE(word.printed.size(), 2);
    QCOMPARE(word.printed[0],
             (QStringList{"Адресат 1 | 100001 ул. 1 | Отправителев | 170000 Тверь", "Адресат 2", "Адресат 4",
                          "Адресат 5 | 05.03.2026 09:07:03 | 10,50"}));
    QCOMPARE(word.printed[1], (QStringList{"Адресат 6 | 100006 ул. 6 | Отправителев | 170000 Тверь", "~Кому2~",
                                           "~Кому3~", "~Кому4~ | 05.03.2026 09:07:03 | 10,50"}));
}

void TestBlankRun::rowModeRepeatsTheRow()
{
    Data data;
    data.addRecipient(QStringLiteral("Иванов ^p & $1 \\n"), QStringLiteral("Москва"), QStringLiteral("101000"));
    data.addRecipient(QStringLiteral("Петров"), QStringLiteral("Тула"), QStringLiteral("300000"));
    data.addRecipient(QStringLiteral("Сидоров"), QStringLiteral("Орёл"), QStringLiteral("302000"));
    TextSession word;
    word.templates[QStringLiteral("list")] = {"Список от ~От кого1~", "|№|Адресат|", "|~n~|~Адресат~|", "Итого"};
    word.WordOpen(QStringLiteral("list"));
    BlankRun run(word, sources(QStringLiteral("list")));
    run.run(data.tables.Table2, addressbook::PrintScope::All);

    QVERIFY(run.rowMode());
    QCOMPARE(word.opens, 1);
    QCOMPARE(word.printed.size(), 1);
    QCOMPARE(word.printed[0], (QStringList{"Список от Отправителев", "|№|Адресат|",
                                           "|1|Иванов ^p & $1 \\n¶101000 Москва|", "|2|Петров¶300000 Тула|",
                                           "|3|Сидоров¶302000 Орёл|", "Итого"}));
}

QTEST_GUILESS_MAIN(TestBlankRun)
#include "tst_blankrun.moc"
