#include "addressbook/filterhistory.h"
#include "addressbook/senders.h"
#include "letters/sumentry.h"
#include "testbook.h"

using namespace addressbook;

class TestHistorySendersSum : public QObject {
    Q_OBJECT
private slots:
    void repeatUpdatesOneEntry();
    void sixteenthEntryDropsTheOldest();
    void longerHistoryIsTrimmedAtNextAddition();
    void emptyFilterChangesNothing();
    void longTextIsCutAndKeptOnce();
    void helpTextLines();
    void senderFilter_data();
    void senderFilter();
    void senderChoiceAndHighlight();
    void chooseFromEmptyList();
    void sumParsing_data();
    void sumParsing();
    void sumUndoRule();
    void zeroShowsLocaleSeparator();
};

namespace {

const QDateTime t0(QDate(2026, 12, 1), QTime(10, 0, 0));

} // namespace

void TestHistorySendersSum::repeatUpdatesOneEntry()
{
    TestBook t;
    store::Cursor &h = t.tables.Table6;
    addHistoryFilter(h, "москва", t0);
    addHistoryFilter(h, "тверь", t0.addSecs(60));
    QCOMPARE(historyTexts(h), (QStringList{"тверь", "москва"}));
    addHistoryFilter(h, "москва", t0.addSecs(120));
    QCOMPARE(h.recordCount(), 2);
    QCOMPARE(historyTexts(h), (QStringList{"москва", "тверь"}));
    QCOMPARE(h.indexName(), QString("DateTime_i"));
    h.first();
    QCOMPARE(h.asTime("Time"), QTime(10, 2, 0));
}

void TestHistorySendersSum::sixteenthEntryDropsTheOldest()
{
    TestBook t;
    store::Cursor &h = t.tables.Table6;
    for (int i = 0; i < 15; ++i)
        addHistoryFilter(h, QStringLiteral("фильтр %1").arg(i), t0.addSecs(i * 60));
    QCOMPARE(h.recordCount(), 15);
    addHistoryFilter(h, "новый", t0.addDays(1));
    QCOMPARE(h.recordCount(), 15);
    const QStringList texts = historyTexts(h);
    QCOMPARE(texts.first(), QString("новый"));
    QVERIFY(!texts.contains("фильтр 0"));
    QVERIFY(texts.contains("фильтр 1"));
}

void TestHistorySendersSum::longerHistoryIsTrimmedAtNextAddition()
{
    TestBook t;
    {
        // A history file that holds 20 entries already.
        store::Tables other;
        other.openAllIn(t.folder());
        for (int i = 0; i < 20; ++i) {
            other.Table6.insert();
            other.Table6.setValue("Filter", QStringLiteral("старый %1").arg(i));
            other.Table6.setValue("Date", t0.date().addDays(-30 + i));
            other.Table6.setValue("Time", t0.time());
            other.Table6.post();
        }
    }
    store::Tables tables;
    tables.openAllIn(t.folder());
    QCOMPARE(tables.Table6.recordCount(), 20);
    addHistoryFilter(tables.Table6, "старый 19", t0);  // a repeat also trims
    QCOMPARE(tables.Table6.recordCount(), 15);
    QStringList expected{"старый 19"};
    for (int i = 18; i >= 5; --i)
        expected << QStringLiteral("старый %1").arg(i);
    QCOMPARE(historyTexts(tables.Table6), expected);
}

void TestHistorySendersSum::emptyFilterChangesNothing()
{
    TestBook t;
    addHistoryFilter(t.tables.Table6, QString(), t0);
    QCOMPARE(t.tables.Table6.recordCount(), 0);
}

void TestHistorySendersSum::longTextIsCutAndKeptOnce()
{
    TestBook t;
    const QString text = QString(300, QChar(0x0436));
    addHistoryFilter(t.tables.Table6, text, t0);
    addHistoryFilter(t.tables.Table6, text, t0.addSecs(5));
    QCOMPARE(t.tables.Table6.recordCount(), 1);
    QCOMPARE(historyTexts(t.tables.Table6).first(), text.left(250));
}

void TestHistorySendersSum::helpTextLines()
{
    const QStringList lines = filterHelpText().split(QChar(13));
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].isEmpty());
    QVERIFY(lines[1].startsWith("Фильтр очень простой"));
    QVERIFY(lines[1].endsWith("Окончательно наш пример будет выглядеть так: "));
    QCOMPARE(lines[2], QString("{FB}металл|оао|москва{F0}"));
    QVERIFY(lines[3].startsWith("В результате, если Вы выберите"));
    QVERIFY(lines[4].isEmpty());
    QVERIFY(lines[5].startsWith("{FS8}*Полезный совет"));
    QVERIFY(lines[5].endsWith("к группе ~Работа~."));
    QVERIFY(!filterHelpText().contains(QChar(10)));
}

void TestHistorySendersSum::senderFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("passes");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("small letters") << "рога" << true;
    QTest::newRow("capitals") << "РОГА И" << true;
    QTest::newRow("address") << "тверь" << true;
    QTest::newRow("postal code") << "1700" << true;
    QTest::newRow("bar is a character") << "рога|тверь" << false;
    QTest::newRow("bar present") << "a|b" << false;
}

void TestHistorySendersSum::senderFilter()
{
    QFETCH(QString, filter);
    QFETCH(bool, passes);
    const store::TableSchema &s = store::otListSchema();
    QVector<QVariant> values(s.fields.size());
    values[s.fieldIndex("OtKogo")] = QString("ООО \"Рога и копыта\"");
    values[s.fieldIndex("OtKuda")] = QString("г. Тверь");
    values[s.fieldIndex("OtIndex")] = QString("170000");
    SenderFilter f;
    f.setText(filter);
    QCOMPARE(f.accepts(store::RecordView(s, values, 1)), passes);

    values[s.fieldIndex("OtKuda")] = QString("a|b");
    f.setText("A|B");
    QVERIFY(f.accepts(store::RecordView(s, values, 1)));
}

void TestHistorySendersSum::senderChoiceAndHighlight()
{
    TestBook t;
    store::Cursor &senders = t.tables.Table3;
    store::Cursor &settings = t.tables.Table1;
    for (int i = 0; i < 2; ++i) {  // two identical rows
        senders.insert();
        senders.setValue("OtKogo", QString("Иванов"));
        senders.setValue("OtKuda", QString("Тверь"));
        senders.setValue("OtIndex", QString("170000"));
        senders.post();
    }
    senders.insert();
    senders.setValue("OtKogo", QString("Петров"));
    senders.post();
    settings.edit();  // the settings row stays in editing while the program runs

    senders.first();
    QCOMPARE(senders.asString("OtKogo"), QString("Иванов"));
    chooseSender(senders, settings);
    QCOMPARE(settings.asString("OtKogo"), QString("Иванов"));
    QCOMPARE(settings.asString("OtIndex"), QString("170000"));
    QVERIFY(isCurrentSender("Иванов", "Тверь", "170000", settings));
    QVERIFY(!isCurrentSender("иванов", "Тверь", "170000", settings));  // case counts
    settings.setValue("OtKogo", QString("Иванов И."));  // edited on the main page
    QVERIFY(!isCurrentSender("Иванов", "Тверь", "170000", settings));
}

void TestHistorySendersSum::chooseFromEmptyList()
{
    TestBook t;
    t.tables.Table1.edit();
    t.tables.Table1.setValue("OtKogo", QString("старый"));
    chooseSender(t.tables.Table3, t.tables.Table1);
    QCOMPARE(t.tables.Table1.asString("OtKogo"), QString());
    QVERIFY(isCurrentSender("", "", "", t.tables.Table1));
}

void TestHistorySendersSum::sumParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("comma, ru") << "1234,5" << true << true << 1234.5;
    QTest::newRow("point, ru") << "1234.5" << true << true << 1234.5;
    QTest::newRow("point, C") << "1234.5" << false << true << 1234.5;
    QTest::newRow("comma, C") << "1234,5" << false << true << 1234.5;
    QTest::newRow("comma and point, ru") << "1,234.5" << true << false << 0.0;
    QTest::newRow("comma and point, C") << "1,234.5" << false << false << 0.0;
    QTest::newRow("negative") << "-3,25" << true << true << -3.25;
    QTest::newRow("exponent") << "1,5e3" << true << true << 1500.0;
    QTest::newRow("empty") << "" << true << false << 0.0;
    QTest::newRow("letters") << "12а" << true << false << 0.0;
    QTest::newRow("two separators") << "1,2,3" << true << false << 0.0;
    QTest::newRow("group separator") << "1\u00a0234,00" << true << false << 0.0;
    QTest::newRow("infinite") << "1e999" << true << false << 0.0;
    QTest::newRow("inf word") << "inf" << false << false << 0.0;
    QTest::newRow("nan word") << "nan" << false << false << 0.0;
}

void TestHistorySendersSum::sumParsing()
{
    QFETCH(QString, text);
    QFETCH(bool, russian);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const QLocale locale = russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    double parsed = 0;
    QCOMPARE(letters::parseSum(text, locale, &parsed), ok);
    if (ok)
        QCOMPARE(parsed, value);
}

void TestHistorySendersSum::sumUndoRule()
{
    letters::SumEntry sum(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(sum.accepted(), QString("0,00"));
    QCOMPARE(sum.changed("0,0"), QString("0,0"));
    QCOMPARE(sum.changed("0,0x"), QString("0,0"));   // a letter is taken back
    QCOMPARE(sum.changed(""), QString("0,0"));       // so is deleting everything
    QCOMPARE(sum.changed("150,5"), QString("150,5"));
    QCOMPARE(sum.changed("150,5,"), QString("150,5")); // a second separator
    QCOMPARE(sum.value(), 150.5);
}

void TestHistorySendersSum::zeroShowsLocaleSeparator()
{
    QCOMPARE(letters::zeroSumText(QLocale(QLocale::Russian, QLocale::Russia)), QString("0,00"));
    QCOMPARE(letters::zeroSumText(QLocale::c()), QString("0.00"));
    QVERIFY(letters::parseSum(letters::zeroSumText(QLocale::c()), QLocale::c()));
    QCOMPARE(letters::SumEntry(QLocale::c()).accepted(), QString("0.00"));
}

QTEST_GUILESS_MAIN(TestHistorySendersSum)
#include "tst_historysenderssum.moc"
