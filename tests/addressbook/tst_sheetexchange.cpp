#include "addressbook/importmarker.h"
#include "addressbook/sheetcells.h"
#include "testbook.h"

#include <QFileInfo>
#include <QProcess>
#include <csignal>

using namespace addressbook;

class TestSheetExchange : public QObject {
    Q_OBJECT
private slots:
    void importAddsOneRecipientPerRow_data();
    void importAddsOneRecipientPerRow();
    void importCleansAndCutsCells();
    void importCountsCutCells_data();
    void importCountsCutCells();
    void interruptedImportIsToldAtTheNextStart_data();
    void interruptedImportIsToldAtTheNextStart();
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

} // namespace

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
    t.add({"Старый адресат", "г. Тула", "", -1});
    // Row 2 is empty; the name is in column C, the postal code in A.
    const SheetCells cells({{"012345", "", "Иванов И. И.", "г. Омск"}, {}, {"644000", "x", "Петров П. П."}});
    const ColumnMap map = mapOf(t.tables.Table2, mapped ? QHash<QString, int>{{"Index", 0}, {"Komu", 2}, {"Kuda", 3}}
                                                        : QHash<QString, int>{});
    ImportOutcome outcome;
    importRows(t.tables.Table2, cells, map, rowCount, outcome);

    store::Cursor &c = t.tables.Table2;
    QCOMPARE(outcome.added, rowCount);
    QVERIFY(!outcome.errors);
    QCOMPARE(c.recordCount(), 1 + rowCount);
    int marked = 0;
    for (c.first(); !c.eof(); c.next())
        marked += c.asInteger("Check") < 0;
    QCOMPARE(marked, 1);  // the new recipients are unmarked
    if (mapped && rowCount >= 3) {
        QVERIFY(c.findKey("Иванов И. И."));
        QCOMPARE(c.asString("Index"), QString("012345"));
        QCOMPARE(c.asString("Kuda"), QString("г. Омск"));
        QVERIFY(c.findKey("Петров П. П."));
        QCOMPARE(c.asString("Kuda"), QString());
    }
}

void TestSheetExchange::importCleansAndCutsCells()
{
    TestBook t;
    const SheetCells cells({{"ООО {FB}Ромашка{FS8}", "г. Москва,\nул. Ленина\t1"},
                            {QString(120, QChar(u'ж')), QString("a") + QChar(1) + "b" + QChar(0x7f)}});
    ImportOutcome outcome;
    importRows(t.tables.Table2, cells, mapOf(t.tables.Table2, {{"Komu", 0}, {"Kuda", 1}}), 2, outcome);

    QVERIFY(outcome.errors);  // the control characters are reported
    QCOMPARE(TestBook::names(t.tables.Table2), QStringList({QString(100, QChar(u'ж')), "ООО {FB}Ромашка{FS8}"}));
    store::Cursor &c = t.tables.Table2;
    c.first();
    QCOMPARE(c.asString("Kuda"), QString("ab"));
    c.next();
    QCOMPARE(c.asString("Kuda"), QString("г. Москва, ул. Ленина 1"));
}

void TestSheetExchange::importCountsCutCells_data()
{
    // Komu holds 100 characters, Kuda 150, Index 50, Prim 250.
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<int>("cut");
    const QString x = QStringLiteral("ж");
    QTest::newRow("every cell fits exactly") << QStringList{x.repeated(100), x.repeated(150), x.repeated(50), x.repeated(250)} << 0;
    QTest::newRow("one character too many") << QStringList{x.repeated(101), "", "", ""} << 1;
    QTest::newRow("10,000 characters in every cell")
        << QStringList{x.repeated(10000), x.repeated(10000), x.repeated(10000), x.repeated(10000)} << 4;
}

void TestSheetExchange::importCountsCutCells()
{
    QFETCH(QStringList, row);
    QFETCH(int, cut);
    TestBook t;
    ImportOutcome outcome;
    importRows(t.tables.Table2, SheetCells({row, row}),
               mapOf(t.tables.Table2, {{"Komu", 0}, {"Kuda", 1}, {"Index", 2}, {"Prim", 3}}), 2, outcome);
    QCOMPARE(outcome.cutCells, 2 * cut);
    QCOMPARE(outcome.errors, cut > 0);
    if (cut > 0)
        QVERIFY2(importErrorsText(outcome).endsWith(QStringLiteral(": %1.").arg(2 * cut)), qPrintable(importErrorsText(outcome)));
    t.tables.Table2.first();
    QCOMPARE(t.tables.Table2.asString("Kuda").size(), std::min(150, int(row[1].size())));
}

void TestSheetExchange::interruptedImportIsToldAtTheNextStart_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("killed");
    QTest::newRow("killed in the middle") << 400000 << true;
    QTest::newRow("ended") << 700 << false;
}

void TestSheetExchange::interruptedImportIsToldAtTheNextStart()
{
    QFETCH(int, rows);
    QFETCH(bool, killed);
    QTemporaryDir dir;
    store::createAllTables(dir.path());
    {
        store::Tables before;
        before.openAllIn(dir.path());
        before.Table2.insert();
        before.Table2.setValue("Komu", QStringLiteral("Прежний адресат"));
        before.Table2.post();
    }
    const QString book = QDir(dir.path()).filePath("AdrList.DB");
    const qint64 emptySize = QFileInfo(book).size();

    QProcess child;
    child.start(KUVERTIX_IMPORT_CHILD, {dir.path(), QString::number(rows)});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(60000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("started"));
    if (killed) {
        // Some batches are in the file: the program is killed.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(book).size() > emptySize + 256 * 1024, 60000);
        ::kill(pid_t(child.processId()), SIGKILL);
    }
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus() == QProcess::CrashExit, killed);

    store::Tables next;
    next.openAllIn(dir.path());
    const int imported = next.Table2.recordCount() - 1;
    const QString notice = addressbook::ImportMarker::interruptedNotice(next.Table2);
    if (!killed) {
        QCOMPARE(imported, rows);
        QCOMPARE(notice, QString());
        return;
    }
    QVERIFY2(imported > 0 && imported < rows && imported % importBatchSize == 0, qPrintable(QString::number(imported)));
    QVERIFY2(notice.contains(QStringLiteral("«Большая книга.xlsx» был прерван")), qPrintable(notice));
    QVERIFY2(notice.contains(QStringLiteral(" %1 из %2 строк").arg(imported).arg(rows)), qPrintable(notice));
    // Told once.
    QCOMPARE(addressbook::ImportMarker::interruptedNotice(next.Table2), QString());
}

QTEST_GUILESS_MAIN(TestSheetExchange)
#include "tst_sheetexchange.moc"
