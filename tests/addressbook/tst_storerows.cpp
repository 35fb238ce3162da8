// What the address book relies on in the table store: a
// cursor re-reading single rows another cursor of the same file stored, and
// orders kept right when the index key fields are looked up once, and a
// stored row that keeps its keys and filter result staying where it is.

#include "testbook.h"

#include <QSignalSpy>

class TestStoreRows : public QObject {
    Q_OBJECT
private slots:
    void refreshRowFollowsOtherCursor();
    void refreshRowKeepsPositionAndFilter();
    void ordersAfterIndexSwitches();
    void storeKeepingKeysAndFilter();
};

void TestStoreRows::storeKeepingKeysAndFilter()
{
    TestBook t;
    for (const char *name : {"А", "Б", "В"})
        t.add({QString::fromUtf8(name), "Москва"});
    store::Cursor &c = t.tables.Table2;
    c.setFilterHook([](const store::RecordView &r) { return r.text(2) == "Москва"; });
    c.setFiltered(true);
    c.moveTo(1);
    QSignalSpy changed(&c, &store::Cursor::rowChanged);
    QSignalSpy reset(&c, &store::Cursor::rowsReset);
    c.setValue("Prim", QString("x"));  // neither key nor filter result changes
    c.post();
    QCOMPARE(reset.count(), 0);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(c.recNo(), 1);
    QCOMPARE(c.asString("Prim"), QString("x"));
    // Same key, but the filter now rejects the row: it leaves the list.
    c.setValue("Kuda", QString("Тверь"));
    c.post();
    QCOMPARE(TestBook::names(c), (QStringList{"А", "В"}));
    // A key change moves the row.
    c.first();
    c.setValue("Komu", QString("Я"));
    c.post();
    QCOMPARE(TestBook::names(c), (QStringList{"В", "Я"}));
    c.setFiltered(false);
    c.refresh();
    QCOMPARE(TestBook::names(c), (QStringList{"Б", "В", "Я"}));
}

void TestStoreRows::refreshRowFollowsOtherCursor()
{
    TestBook t;
    t.add({"Б"});
    t.add({"В"});
    store::Cursor &main = t.tables.Table2;
    store::Cursor &marks = t.tables.Table2_;
    marks.refresh();
    QCOMPARE(marks.recordCount(), 2);

    // Changed: the mark moves the row to the front in Check_i order.
    main.last();
    const qint64 changed = main.currentRowId();
    main.setValue("Check", -1);
    main.post();
    marks.refreshRow(changed);
    marks.first();
    QCOMPARE(marks.asString("Komu"), QString("В"));
    QCOMPARE(marks.asInteger("Check"), -1);

    // Added.
    main.insert();
    main.setValue("Komu", QString("А"));
    main.post();
    const qint64 added = main.currentRowId();
    marks.refreshRow(added);
    QCOMPARE(marks.recordCount(), 3);

    // Deleted.
    main.first();
    QCOMPARE(main.asString("Komu"), QString("А"));
    main.remove();
    marks.refreshRow(added);
    QCOMPARE(marks.recordCount(), 2);
    QVERIFY(!marks.gotoRowId(added));

    // A row neither in the file nor in the cursor changes nothing.
    marks.refreshRow(999);
    QCOMPARE(marks.recordCount(), 2);
}

void TestStoreRows::refreshRowKeepsPositionAndFilter()
{
    TestBook t;
    for (const char *name : {"А", "Б", "В", "Г"})
        t.add({QString::fromUtf8(name)});
    store::Cursor &main = t.tables.Table2;
    store::Cursor &other = t.tables.Table2_;
    other.refresh();
    other.setIndexName("Komu_i");
    other.setFilterHook([](const store::RecordView &r) { return !r.text(1).startsWith("Я"); });
    other.setFiltered(true);
    other.moveTo(2);
    QCOMPARE(other.asString("Komu"), QString("В"));

    main.first();  // А becomes Я: moves to the end and is filtered out
    const qint64 id = main.currentRowId();
    main.setValue("Komu", QString("Я"));
    main.post();
    other.refreshRow(id);
    QCOMPARE(other.recordCount(), 3);
    QCOMPARE(other.asString("Komu"), QString("В"));  // still on the same row
    QCOMPARE(other.recNo(), 1);
    other.setFiltered(false);
    other.last();
    QCOMPARE(other.asString("Komu"), QString("Я"));
}

void TestStoreRows::ordersAfterIndexSwitches()
{
    TestBook t;
    t.add({"В", "", "", 0});
    t.add({"А", "", "", -1});
    t.add({"Б", "", "", 0});
    store::Cursor &c = t.tables.Table2;
    QCOMPARE(TestBook::names(c), (QStringList{"А", "Б", "В"}));
    c.setIndexName("Check_i");
    QCOMPARE(TestBook::names(c), (QStringList{"А", "В", "Б"}));  // ties by number
    c.setIndexName(QString());
    QCOMPARE(TestBook::names(c), (QStringList{"В", "А", "Б"}));
    c.setIndexName("Komu_i");
    QCOMPARE(TestBook::names(c), (QStringList{"А", "Б", "В"}));

    store::Cursor &h = t.tables.Table6;  // two keys, both descending
    const QDate d(2026, 1, 1);
    const struct { const char *text; int day; int hour; } rows[] = {
        {"x", 0, 9}, {"y", 1, 8}, {"z", 0, 10}};
    for (const auto &r : rows) {
        h.insert();
        h.setValue("Filter", QString::fromLatin1(r.text));
        h.setValue("Date", d.addDays(r.day));
        h.setValue("Time", QTime(r.hour, 0));
        h.post();
    }
    QStringList order;
    for (h.first(); !h.eof(); h.next())
        order << h.asString("Filter");
    QCOMPARE(order, (QStringList{"y", "z", "x"}));
}

QTEST_GUILESS_MAIN(TestStoreRows)
#include "tst_storerows.moc"
