#include "addressbook/recipientbook.h"
#include "addressbook/sheetexchange.h"
#include "testbook.h"

using namespace addressbook;

class TestSheetExchange : public QObject {
    Q_OBJECT
private slots:
    void exportFollowsFilterAndOrder();
    void columnLetters_data();
    void columnLetters();
    void importAddsOneRecipientPerRow_data();
    void importAddsOneRecipientPerRow();
    void importCleansAndCutsCells();
    void importedRowsOutsideFilterStayStored();
    void clearingDeletesOnlyListed();
};

namespace {

ColumnMap mapOf(const store::Cursor &c, const QHash<QString, int> &columns)
{
    ColumnMap map;
    map.columnOfField = QVector<int>(c.schema().fields.size(), -1);
    for (auto it = columns.begin(); it != columns.end(); ++it)
        map.columnOfField[c.schema().fieldIndex(it.key())] = it.value();
    return map;
}

int storedRows(TestBook &t)
{
    store::Cursor &c = t.tables.Table2;
    const bool filtered = c.isFiltered();
    c.setFiltered(false);
    const int n = c.recordCount();
    c.setFiltered(filtered);
    return n;
}

} // namespace

void TestSheetExchange::exportFollowsFilterAndOrder()
{
    TestBook t;
    Recipient a("Бобров Б. Б.", "г. Тверь", "клиент");
    a.index = "012345";
    a.group = "опт";
    a.reserv6 = "р6";
    t.add({"Антонов А. А.", "г. Омск", "клиент"});
    t.add(a);
    t.add({"Воронов В. В.", "г. Москва", "клиент", -1});
    t.add({"Галкин Г. Г.", "г. Пермь", "поставщик", -1});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("клиент");
    book.setSortByMarks(true);

    const QVector<QStringList> rows = exportRows(t.tables.Table2);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].value(0), QString("Воронов В. В."));  // marked first
    QCOMPARE(rows[1].value(0), QString("Антонов А. А."));
    const QStringList expected{"Бобров Б. Б.", "г. Тверь", "012345", "опт", "клиент", "", "", "", "", "", "р6"};
    QCOMPARE(rows[2], expected);
}

void TestSheetExchange::columnLetters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("column");
    QTest::newRow("empty: not imported") << "" << -1;
    QTest::newRow("a") << "a" << 0;
    QTest::newRow("A") << "A" << 0;
    QTest::newRow("k lower") << "k" << 10;
    QTest::newRow("Z") << "Z" << 25;
    QTest::newRow("two letters") << "AB" << -2;
    QTest::newRow("digit") << "1" << -2;
    QTest::newRow("Cyrillic") << "Ф" << -2;
}

void TestSheetExchange::columnLetters()
{
    QFETCH(QString, typed);
    QFETCH(int, column);
    QCOMPARE(columnOfLetter(typed), column);
}

void TestSheetExchange::importAddsOneRecipientPerRow_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<bool>("mapped");
    QTest::newRow("no columns, 3 rows: 3 empty recipients") << 3 << false;
    QTest::newRow("0 rows: nothing") << 0 << true;
    QTest::newRow("rows past the sheet's content stay empty") << 6 << true;
    QTest::newRow("several batches") << 2 * importBatchSize + 7 << true;
}

void TestSheetExchange::importAddsOneRecipientPerRow()
{
    QFETCH(int, rowCount);
    QFETCH(bool, mapped);
    TestBook t;
    t.add({"Старый адресат", "г. Тула"});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    // Row 2 is empty; the name is in column C, the postal code in A.
    const SheetCells cells({{"012345", "", "Иванов И. И.", "г. Омск"}, {}, {"644000", "x", "Петров П. П."}});
    const ColumnMap map = mapOf(t.tables.Table2, mapped ? QHash<QString, int>{{"Index", 0}, {"Komu", 2}, {"Kuda", 3}}
                                                        : QHash<QString, int>{});
    ImportOutcome outcome;
    importRows(t.tables.Table2, cells, map, rowCount, outcome);

    QCOMPARE(outcome.added, rowCount);
    QVERIFY(!outcome.errors);
    QCOMPARE(storedRows(t), 1 + rowCount);
    QCOMPARE(book.selectedCalc(), 0);  // new recipients are unmarked
    if (mapped && rowCount >= 3) {
        store::Cursor &c = t.tables.Table2;
        QVERIFY(c.findKey("Иванов И. И."));
        QCOMPARE(c.asString("Index"), QString("012345"));
        QCOMPARE(c.asString("Kuda"), QString("г. Омск"));
        QVERIFY(c.findKey("Петров П. П."));
        QCOMPARE(c.asString("Kuda"), QString());
        QVERIFY(c.findKey("Старый адресат"));
        QCOMPARE(c.asString("Kuda"), QString("г. Тула"));
    }
}

void TestSheetExchange::importCleansAndCutsCells()
{
    TestBook t;
    const QString longName = QString(120, QChar(u'ж'));
    const SheetCells cells({{QString("ООО {FB}Ромашка{FS8}"), "г. Москва,\nул. Ленина\t1"},
                            {longName, QString("a") + QChar(1) + "b" + QChar(0x7f)}});
    ImportOutcome outcome;
    importRows(t.tables.Table2, cells, mapOf(t.tables.Table2, {{"Komu", 0}, {"Kuda", 1}}), 2, outcome);

    QVERIFY(outcome.errors);  // the control characters are reported
    QCOMPARE(TestBook::names(t.tables.Table2),
             QStringList({QString(100, QChar(u'ж')), "ООО {FB}Ромашка{FS8}"}));
    store::Cursor &c = t.tables.Table2;
    c.first();
    QCOMPARE(c.asString("Kuda"), QString("ab"));
    c.next();
    QCOMPARE(c.asString("Kuda"), QString("г. Москва, ул. Ленина 1"));
}

void TestSheetExchange::importedRowsOutsideFilterStayStored()
{
    TestBook t;
    t.add({"Клиент один", "", "клиент"});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("клиент");
    ImportOutcome outcome;
    importRows(t.tables.Table2, SheetCells({{"Новый клиент"}, {"Поставщик"}}),
               mapOf(t.tables.Table2, {{"Komu", 0}}), 2, outcome);
    t.tables.Table2.refresh();
    QCOMPARE(TestBook::names(t.tables.Table2), QStringList({"Клиент один", "Новый клиент"}));
    QCOMPARE(storedRows(t), 3);
}

void TestSheetExchange::clearingDeletesOnlyListed()
{
    TestBook t;
    t.add({"Иванов", "", "клиент", -1});
    t.add({"Петров", "", "клиент"});
    t.add({"Сидоров", "", "поставщик", -1});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("клиент");
    QCOMPARE(book.selectedCalc(), 1);

    QCOMPARE(book.clearListed(), 2);
    QCOMPARE(t.tables.Table2.recordCount(), 0);
    QCOMPARE(book.selectedCount(), 0);
    book.setFilterText("");
    QCOMPARE(TestBook::names(t.tables.Table2), QStringList({"Сидоров"}));
    QCOMPARE(book.selectedCount(), 1);
    QCOMPARE(book.clearListed(), 1);
    QCOMPARE(storedRows(t), 0);
}

QTEST_GUILESS_MAIN(TestSheetExchange)
#include "tst_sheetexchange.moc"
