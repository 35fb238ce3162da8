// The walk of the envelope print run over the recipient cursor: which
// envelopes, in which order, the return envelopes, the filter, pending
// edits, progress, and a printer failure in the middle of a run.

#include "addressbook/recipientbook.h"
#include "envelope/printrun.h"
#include "tests/support/printrunfixture.h"

#include <QtTest>
#include <stdexcept>

using namespace envelope;

namespace {

// "recipient name -> sender name" of every envelope handed to the printer.
QStringList run(store::Tables &tables, runs::PrintScope scope, bool withReturn, QList<QPair<int, int>> *progress = nullptr)
{
    QStringList printed;
    runEnvelopes(tables.Table2, senderOfSettingsRow(tables.Table1), RunOptions{scope, withReturn},
                 [&printed](const EnvelopeTexts &e) {
                     printed << e.komu + '|' + e.kuda + '|' + e.index + " <- " + e.otKogo + '|' + e.otKuda + '|'
                                    + e.otIndex;
                 },
                 [progress](int number, int total) {
                     if (progress)
                         progress->append({number, total});
                 });
    return printed;
}

QString env(const QString &name)
{
    return name + "|ул." + name + "|" + QString::number(name.size()) + " <- Отправителев|Тверь, Садовая 5|170000";
}
QString back(const QString &name)
{
    return "Отправителев|Тверь, Садовая 5|170000 <- " + name + "|ул." + name + "|" + QString::number(name.size());
}

class Book : public printruntest::Data {
public:
    Book() : book(tables.Table2, tables.Table2_) { standardSetup(); }
    void add(const QString &name, bool marked, const QString &prim = QString())
    {
        addRecipient(name, "ул." + name, QString::number(name.size()), marked, prim);
    }
    addressbook::RecipientBook book;
};

} // namespace

class TestPrintRunWalk : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void currentRecipientKeepsItsPendingEdit();
    void walkStoresThePendingEditAndEndsOnTheLastRow();
    void emptyBookPrintsOneEnvelopeForTheCurrentScope();
    void progressCountsEveryEnvelope();
    void printerFailureStopsTheRun();
};

void TestPrintRunWalk::runs_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<bool>("withReturn");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("byMarks");
    QTest::addColumn<QStringList>("expected");

    // Book (name order): Анна*, Борис, Вера*, Глеб*, Дина — * marked;
    // "оао" in Prim of Анна, Борис and Глеб.
    QTest::newRow("marked with return, name order") << 1 << true << "" << false
        << QStringList{env("Анна"), back("Анна"), env("Вера"), back("Вера"), env("Глеб"), back("Глеб")};
    QTest::newRow("marked, filter") << 1 << false << "ОАО" << false << QStringList{env("Анна"), env("Глеб")};
    QTest::newRow("all, filter") << 2 << false << "оао" << false
        << QStringList{env("Анна"), env("Борис"), env("Глеб")};
    QTest::newRow("all with return, filter of two terms") << 2 << true << "оао|г" << false
        << QStringList{env("Глеб"), back("Глеб")};
    QTest::newRow("all, no filter") << 2 << false << "" << false
        << QStringList{env("Анна"), env("Борис"), env("Вера"), env("Глеб"), env("Дина")};
    // Check_i: marked first, ties in the order the recipients were added.
    QTest::newRow("all, marked first") << 2 << false << "" << true
        << QStringList{env("Глеб"), env("Анна"), env("Вера"), env("Дина"), env("Борис")};
    QTest::newRow("marked, marked first") << 1 << false << "" << true
        << QStringList{env("Глеб"), env("Анна"), env("Вера")};
    QTest::newRow("filter lets nothing through") << 2 << true << "нет такого" << false << QStringList{};
}

void TestPrintRunWalk::runs()
{
    QFETCH(int, scope);
    QFETCH(bool, withReturn);
    QFETCH(QString, filter);
    QFETCH(bool, byMarks);
    QFETCH(QStringList, expected);

    Book b;
    b.add("Глеб", true, "ОАО Гранит");
    b.add("Анна", true, "оао");
    b.add("Дина", false);
    b.add("Борис", false, "ОАО");
    b.add("Вера", true);
    b.book.setSortByMarks(byMarks);
    b.book.setFilterText(filter);
    QCOMPARE(run(b.tables, runs::PrintScope(scope), withReturn), expected);
}

void TestPrintRunWalk::currentRecipientKeepsItsPendingEdit()
{
    Book b;
    b.add("Анна", false);
    b.add("Борис", false);
    store::Cursor &t = b.tables.Table2;
    t.first();
    t.next();
    t.setValue(QStringLiteral("Komu"), QStringLiteral("Борис Петрович"));
    QCOMPARE(run(b.tables, runs::PrintScope::Current, true),
             (QStringList{"Борис Петрович|ул.Борис|5 <- Отправителев|Тверь, Садовая 5|170000",
                          "Отправителев|Тверь, Садовая 5|170000 <- Борис Петрович|ул.Борис|5"}));
    QVERIFY(t.isEditing());
    QVERIFY(t.isModified());
    t.cancel();
    QCOMPARE(t.asString(QStringLiteral("Komu")), QStringLiteral("Борис"));
}

void TestPrintRunWalk::walkStoresThePendingEditAndEndsOnTheLastRow()
{
    Book b;
    b.add("Анна", true);
    b.add("Борис", true);
    b.add("Вера", false);
    store::Cursor &t = b.tables.Table2;
    t.first();
    t.next();
    t.setValue(QStringLiteral("Kuda"), QStringLiteral("новый адрес"));
    QCOMPARE(run(b.tables, runs::PrintScope::Marked, false),
             (QStringList{env("Анна"), "Борис|новый адрес|5 <- Отправителев|Тверь, Садовая 5|170000"}));
    QVERIFY(!t.isEditing());
    QCOMPARE(t.recNo(), 2);
    QVERIFY(t.eof());
    t.refresh();
    t.first();
    t.next();
    QCOMPARE(t.asString(QStringLiteral("Kuda")), QStringLiteral("новый адрес"));
}

void TestPrintRunWalk::emptyBookPrintsOneEnvelopeForTheCurrentScope()
{
    Book b;
    QCOMPARE(run(b.tables, runs::PrintScope::Current, false),
             QStringList{"|| <- Отправителев|Тверь, Садовая 5|170000"});
    QCOMPARE(run(b.tables, runs::PrintScope::All, true), QStringList{});
    QCOMPARE(run(b.tables, runs::PrintScope::Marked, true), QStringList{});
}

void TestPrintRunWalk::progressCountsEveryEnvelope()
{
    Book b;
    b.add("Анна", true);
    b.add("Борис", false);
    b.add("Вера", true);
    QList<QPair<int, int>> progress;
    run(b.tables, runs::PrintScope::Marked, true, &progress);
    QCOMPARE(progress, (QList<QPair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    progress.clear();
    run(b.tables, runs::PrintScope::All, false, &progress);
    QCOMPARE(progress, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    progress.clear();
    run(b.tables, runs::PrintScope::Current, true, &progress);
    QCOMPARE(progress, (QList<QPair<int, int>>{{1, 2}, {2, 2}}));
}

void TestPrintRunWalk::printerFailureStopsTheRun()
{
    Book b;
    b.add("Анна", true);
    b.add("Борис", true);
    b.add("Вера", true);
    QStringList printed;
    int calls = 0;
    const auto failing = [&](const EnvelopeTexts &e) {
        if (++calls == 4)
            throw std::runtime_error("refused");
        printed << e.komu;
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             runEnvelopes(b.tables.Table2, senderOfSettingsRow(b.tables.Table1),
                                          RunOptions{runs::PrintScope::All, true}, failing));
    QCOMPARE(printed, (QStringList{"Анна", "Отправителев", "Борис"}));
    // The cursor stays where the run stopped, and bound controls follow it again.
    QCOMPARE(b.tables.Table2.asString(QStringLiteral("Komu")), QStringLiteral("Борис"));
    QVERIFY(!b.tables.Table2.controlsDisabled());
}

QTEST_GUILESS_MAIN(TestPrintRunWalk)
#include "tst_printrunwalk.moc"
