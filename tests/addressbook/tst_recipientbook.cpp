#include "addressbook/marks.h"
#include "addressbook/recipientbook.h"
#include "testbook.h"

#include <QSignalSpy>

using addressbook::RecipientBook;

class TestRecipientBook : public QObject {
    Q_OBJECT
private slots:
    void emptyBookCountsNothing();
    void countStopsAtFirstUnmarked();
    void hiddenMarkedKeepsMarkAndIsNotCounted();
    void markAllThroughFilterVisitsEachRowOnce();
    void toggleSavesPendingEditAndRecounts();
    void toggleOnEmptyListDoesNothing();
    void toggleMarksNewUnsavedRecipient();
    void sortSwitchMovesToggledRowAtOnce();
    void filterChangeAndMarkAllDropUnsavedEdits();
    void saveReminderStates();
    void editedTextIsFilteredByNewValue();
    void deletedMarkedRecipientIsNoLongerCounted();
};

void TestRecipientBook::emptyBookCountsNothing()
{
    TestBook t;
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    QCOMPARE(book.selectedCalc(), 0);
    QCOMPARE(addressbook::markedScopeCaption(book.selectedCount()), QString("выделенных(0)"));
}

void TestRecipientBook::countStopsAtFirstUnmarked()
{
    TestBook t;
    t.add({"А", "", "", -5});
    t.add({"Б", "", "", 1});   // positive: not marked
    t.add({"В", "", "", QVariant()});  // empty: not marked
    t.add({"Г", "", "", -1});
    t.add({"Д", "", "", 0});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    QCOMPARE(book.selectedCalc(), 2);
    QCOMPARE(t.tables.Table2.recNo() >= 0, true);  // the main cursor was not used
}

void TestRecipientBook::hiddenMarkedKeepsMarkAndIsNotCounted()
{
    TestBook t;
    t.add({"Иванов", "Москва", "", -1});
    t.add({"Петров", "Тверь", "", -1});
    t.add({"Сидоров", "Москва", "", 0});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("москва");
    QCOMPARE(book.selectedCount(), 1);
    book.setAllMarks(false);
    QCOMPARE(book.selectedCount(), 0);
    book.setFilterText("");
    QCOMPARE(book.selectedCount(), 1);  // Петров kept his mark
    book.setFilterText("москва");
    book.setAllMarks(true);
    book.setFilterText("");
    QCOMPARE(book.selectedCount(), 3);
}

void TestRecipientBook::markAllThroughFilterVisitsEachRowOnce()
{
    TestBook t;
    for (int i = 0; i < 40; ++i)
        t.add({QStringLiteral("Адресат %1").arg(i, 2, 10, QChar('0')), i % 3 ? "Москва" : "Омск", "",
               i % 2 ? -1 : 0});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("моск");
    const int listed = t.tables.Table2.recordCount();
    QSignalSpy posts(&t.tables.Table2_, &store::Cursor::afterPost);
    book.setAllMarks(true);
    QCOMPARE(book.selectedCount(), listed);
    // Only the listed rows that were unmarked are written, each once.
    int unmarkedListed = 0;
    for (int i = 0; i < 40; ++i)
        unmarkedListed += (i % 3 && !(i % 2));
    QCOMPARE(posts.count(), unmarkedListed);
    book.setAllMarks(false);
    QCOMPARE(book.selectedCount(), 0);
    QCOMPARE(t.tables.Table2_.indexName(), QString("Check_i"));
    // The hidden ones (Омск) kept the marks they had.
    int hiddenMarked = 0;
    for (int i = 0; i < 40; ++i)
        hiddenMarked += (i % 3 == 0 && i % 2);
    book.setFilterText("");
    QCOMPARE(book.selectedCount(), hiddenMarked);
}

void TestRecipientBook::toggleSavesPendingEditAndRecounts()
{
    TestBook t;
    t.add({"Иванов", "Москва", ""});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.selectedCalc();
    t.tables.Table2.first();
    t.tables.Table2.setValue("Kuda", QString("Тверь"));
    QVERIFY(book.savePending());
    book.toggleMark();
    QVERIFY(!book.savePending());
    QCOMPARE(book.selectedCount(), 1);
    t.tables.Table2.refresh();
    QCOMPARE(t.tables.Table2.asString("Kuda"), QString("Тверь"));
    QCOMPARE(t.tables.Table2.asInteger("Check"), -1);
    book.toggleMark();
    QCOMPARE(book.selectedCount(), 0);
    QCOMPARE(t.tables.Table2.asInteger("Check"), 0);
}

void TestRecipientBook::toggleOnEmptyListDoesNothing()
{
    TestBook t;
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.toggleMark();
    QCOMPARE(t.tables.Table2.recordCount(), 0);
    QVERIFY(!t.tables.Table2.isEditing());
}

void TestRecipientBook::toggleMarksNewUnsavedRecipient()
{
    TestBook t;
    t.add({"Б", "", ""});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    t.tables.Table2.insert();
    t.tables.Table2.setValue("Komu", QString("А"));
    book.toggleMark();
    QCOMPARE(book.selectedCount(), 1);
    QCOMPARE(t.tables.Table2.recordCount(), 2);
    QCOMPARE(t.tables.Table2.asString("Komu"), QString("А"));
}

void TestRecipientBook::sortSwitchMovesToggledRowAtOnce()
{
    TestBook t;
    for (const char *name : {"А", "Б", "В", "Г"})
        t.add({QString::fromUtf8(name), "", ""});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setSortByMarks(true);
    t.tables.Table2.last();
    QCOMPARE(t.tables.Table2.asString("Komu"), QString("Г"));
    book.toggleMark();
    QCOMPARE(TestBook::names(t.tables.Table2).first(), QString("Г"));
    QCOMPARE(t.tables.Table2.recNo(), 0);  // the cursor went along
    book.toggleMark();
    QCOMPARE(TestBook::names(t.tables.Table2).last(), QString("Г"));
    book.setSortByMarks(false);
    QCOMPARE(TestBook::names(t.tables.Table2), (QStringList{"А", "Б", "В", "Г"}));
}

void TestRecipientBook::filterChangeAndMarkAllDropUnsavedEdits()
{
    TestBook t;
    t.add({"Иванов", "Москва", ""});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    t.tables.Table2.first();
    t.tables.Table2.setValue("Kuda", QString("Тверь"));
    book.setFilterText("ив");
    QVERIFY(!book.savePending());
    QCOMPARE(t.tables.Table2.asString("Kuda"), QString("Москва"));

    t.tables.Table2.setValue("Kuda", QString("Омск"));
    book.setAllMarks(true);
    QVERIFY(!book.savePending());
    QCOMPARE(t.tables.Table2.asString("Kuda"), QString("Москва"));
    QCOMPARE(t.tables.Table2.asInteger("Check"), -1);  // the grid sees the new mark
}

void TestRecipientBook::saveReminderStates()
{
    TestBook t;
    t.add({"Иванов", "", ""});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    QSignalSpy inserting(&book, &RecipientBook::inserting);
    t.tables.Table2.first();
    t.tables.Table2.edit();
    QVERIFY(book.savePending());
    t.tables.Table2.cancel();
    QVERIFY(!book.savePending());
    t.tables.Table2.insert();
    QVERIFY(book.savePending());
    QCOMPARE(inserting.count(), 1);
    t.tables.Table2.setValue("Komu", QString("Петров"));
    t.tables.Table2.post();
    QVERIFY(!book.savePending());
    t.tables.Table2.remove();
    QVERIFY(!book.savePending());
}

void TestRecipientBook::editedTextIsFilteredByNewValue()
{
    TestBook t;
    t.add({"Иванов", "Москва", "", -1});
    t.add({"Петров", "Москва", "", -1});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText("моск");
    QCOMPARE(book.selectedCount(), 2);
    t.tables.Table2.first();
    t.tables.Table2.setValue("Kuda", QString("Тверь"));
    t.tables.Table2.post();
    QCOMPARE(t.tables.Table2.recordCount(), 1);
    QCOMPARE(book.selectedCalc(), 1);  // the mark cursor follows the saved text
    book.setFilterText("тверь");
    QCOMPARE(t.tables.Table2.recordCount(), 1);
    QCOMPARE(book.selectedCount(), 1);
    // A recipient added while the filter hides it is still known to the walks.
    t.tables.Table2.insert();
    t.tables.Table2.setValue("Komu", QString("Сидоров"));
    t.tables.Table2.post();
    book.setFilterText("");
    book.setAllMarks(true);
    QCOMPARE(book.selectedCount(), 3);
}

void TestRecipientBook::deletedMarkedRecipientIsNoLongerCounted()
{
    TestBook t;
    t.add({"Иванов", "", "", -1});
    t.add({"Петров", "", "", -1});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    QCOMPARE(book.selectedCalc(), 2);
    t.tables.Table2.first();
    t.tables.Table2.remove();
    QCOMPARE(book.selectedCount(), 1);
}

QTEST_GUILESS_MAIN(TestRecipientBook)
#include "tst_recipientbook.moc"
