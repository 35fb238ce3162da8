// The check of a blank template: what it finds for each kind of mistake,
// and that a sound template (the forms of the shipped samples among them)
// gives nothing to say.

#include "letters/templatecheck.h"

#include <QTest>

class TestTemplateCheck : public QObject {
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
};

void TestTemplateCheck::findings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("expected");  // fragments of the findings
    QTest::newRow("a form") << "Кому: ~Кому1~\nКуда: ~Куда1~ ~Дата~ ~Время~ ~Сумма прописью~ (~Сумма~, ~Руб~ руб. ~Коп~ коп.)"
                            << "" << 0 << QStringList{};
    QTest::newRow("four forms") << "~Кому1~ ~Куда1~ ~От кого1~ ~Откуда1~ ~Кому4~ ~Куда4~ ~Резерв6_4~ ~От кого4~"
                                << "" << 0 << QStringList{};
    QTest::newRow("case ignored") << "~кому1~ ~КУДА1~ ~сумма прописью~" << "" << 0 << QStringList{};
    QTest::newRow("a list") << "От: ~От кого1~, ~Откуда1~\n~N~ ~Адресат~\n~Дата~" << "~N~ ~Адресат~" << 0 << QStringList{};
    QTest::newRow("a list with ~Кому1~ in its row") << "~N~. ~Кому1~ ~Куда1~" << "~N~. ~Кому1~\n~Куда1~"
                                                    << 0 << QStringList{};
    QTest::newRow("tildes that are no variable") << "около ~ 5 км, 7~8 шт. ~Кому1~" << "" << 0 << QStringList{};
    QTest::newRow("misspelt") << "~Кама1~ ~Кому1~ ~Дата ~Сумма пропись~" << ""
                              << 1 << QStringList{"неизвестные переменные: ~Кама1~, ~Сумма пропись~"};
    QTest::newRow("leading zero") << "~Кому01~" << "" << 1 << QStringList{"неизвестные переменные: ~Кому01~"};
    QTest::newRow("beyond 20") << "~Кому1~ ~Кому21~ ~Резерв1_25~" << ""
                               << 1 << QStringList{"индекс больше 20: ~Кому21~, ~Резерв1_25~"};
    QTest::newRow("above the capacity") << "~Кому1~ ~Куда1~ ~Куда2~ ~Резерв2_3~" << ""
                                        << 1 << QStringList{"форм на листе: 1", "~Куда2~, ~Резерв2_3~"};
    QTest::newRow("no ~Кому~ at all") << "~Куда1~" << "" << 1 << QStringList{"форм на листе: 0"};
    QTest::newRow("~Адресат~ without ~N~") << "~Адресат~ ~Кому1~" << ""
                                           << 1 << QStringList{"~Адресат~ заполняется только в строке с ~N~"};
    QTest::newRow("boxes beside a repeated row") << "~Кому1~ ~Куда1~\n~N~ ~Адресат~" << "~N~ ~Адресат~"
                                                 << 1 << QStringList{"~Кому1~, ~Куда1~ стоят вне повторяемой строки"};
    QTest::newRow("empty") << " \n\t " << "" << 1 << QStringList{"бланк пуст"};
}

void TestTemplateCheck::findings()
{
    QFETCH(QString, text);
    QFETCH(QString, row);
    QFETCH(QStringList, expected);
    const QStringList found = letters::templateFindings(text, row);
    QTEST(int(found.size()), "count");
    for (const QString &fragment : expected)
        QVERIFY2(found.join('|').contains(fragment), qPrintable(found.join('|')));
}

QTEST_GUILESS_MAIN(TestTemplateCheck)
#include "tst_templatecheck.moc"
