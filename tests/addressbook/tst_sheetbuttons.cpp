// The spreadsheet and clearing buttons of the address book page, driven by
// clicks and answers, with a fake sheet in place of LibreOffice Calc.

#include "addressbook/ui/addressbooktab.h"
#include "messages/ui/popupmessage.h"
#include "tests/support/modal.h"
#include "testbook.h"

#include <QTemporaryFile>
#include <QToolButton>

using namespace addressbook;

namespace {

// What the exchange asked of the sheet, kept by the test.
struct SheetLog {
    bool present = true;
    std::optional<SheetError> failure;
    QVector<QStringList> cells, exported;
    QString file;
    int rows = -1, columns = -1;
    bool noteShown = false;
};

struct FakeSheet : SheetOffice {
    SheetLog &log;
    explicit FakeSheet(SheetLog &log) : log(log) {}
    bool available() override { return log.present; }
    void work()
    {
        log.noteShown = messages::PopUpMsgIsOpen();
        if (log.failure)
            throw *log.failure;
    }
    void exportRows(const QVector<QStringList> &rows) override
    {
        work();
        log.exported = rows;
    }
    SheetCells readCells(const QString &file, int rowCount, int columnCount) override
    {
        work();
        log.file = file;
        log.rows = rowCount;
        log.columns = columnCount;
        return SheetCells(log.cells);
    }
};

} // namespace

class TestSheetButtons : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clearingNeedsTwoAnswers_data();
    void clearingNeedsTwoAnswers();
    void exportWritesListedRowsMarkedFirst();
    void importAsksColumnsAndRows();
    void failuresAreReportedInRussian_data();
    void failuresAreReportedInRussian();

private:
    void click(const char *button) { QTest::mouseClick(m_page->findChild<QToolButton *>(button), Qt::LeftButton); }
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<AddressBookTab> m_page;
    SheetLog m_log;
    QTemporaryFile m_file{QDir::tempPath() + "/XXXXXX.ods"};
};

void TestSheetButtons::init()
{
    QVERIFY(m_file.open());
    m_book = std::make_unique<TestBook>();
    m_book->add({"Иванов И. И.", "г. Тверь", "клиент"});
    m_book->add({"Петров П. П.", "г. Омск", "клиент", -1});
    m_book->add({"Сидоров С. С.", "г. Пермь", "поставщик", -1});
    m_page = std::make_unique<AddressBookTab>(m_book->tables, m_book->dir.path() + '/');
    m_page->setWindowTitle("Kuvertix");
    m_page->recountSelected();
    m_page->show();
    m_log = SheetLog();
    m_page->setSheetOfficeFactory([this] { return std::make_unique<FakeSheet>(m_log); });
}

void TestSheetButtons::cleanup()
{
    m_page.reset();
    m_book.reset();
    QVERIFY(!messages::PopUpMsgIsOpen());
}

void TestSheetButtons::clearingNeedsTwoAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"Иванов И. И.", "Петров П. П.", "Сидоров С. С."};
    QTest::newRow("Нет at the first question") << QList<int>{2} << all;
    QTest::newRow("Нет at the second question") << QList<int>{1, 2} << all;
    QTest::newRow("Очистить twice: the filtered go") << QList<int>{1, 1} << QStringList{"Сидоров С. С."};
}

void TestSheetButtons::clearingNeedsTwoAnswers()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, left);
    m_page->book().setFilterText("клиент");
    modal::Script script;
    for (int k : answers)
        script.message(k);
    click("SpeedButton3");
    QVERIFY(script.done());
    QCOMPARE(script.texts.value(0), QString("Очистка базы адресатов"));
    m_page->book().setFilterText("");
    QCOMPARE(TestBook::names(m_book->tables.Table2), left);
    QCOMPARE(m_page->selectedCount(), left.size() == 1 ? 1 : 2);
}

void TestSheetButtons::exportWritesListedRowsMarkedFirst()
{
    m_page->book().setFilterText("клиент");
    m_page->book().setSortByMarks(true);
    modal::Script script;
    script.message(1);
    click("SpeedButton2");
    QVERIFY(script.done());
    QCOMPARE(script.texts.value(0), QString("Выгрузка/загрузка данных из Excel"));
    QVERIFY(m_log.noteShown);
    QCOMPARE(m_log.exported.size(), 2);
    QCOMPARE(m_log.exported[0].mid(0, 2), QStringList({"Петров П. П.", "г. Омск"}));
    QCOMPARE(m_log.exported[1].value(4), QString("клиент"));
    QCOMPARE(m_log.exported[1].size(), 11);
}

void TestSheetButtons::importAsksColumnsAndRows()
{
    m_log.cells = {{"Кузнецов К. К.", "г. Уфа", "450000"}, {}, {"Орлов О. О.", "", "012345"}};
    modal::Script script;
    script.message(2).message(1).file(m_file.fileName());
    // Кому, Куда, Индекс, Группа, Примечание, Reserv1..6: the name from a,
    // the postal code from C, nothing else.
    for (const char *letter : {"a", "", "C", "", "", "", "", "", "", "", ""})
        script.input(letter);
    script.input("3").message(1);
    click("SpeedButton2");
    QVERIFY(script.done());

    QVERIFY(m_log.noteShown);
    QCOMPARE(m_log.file, m_file.fileName());
    QCOMPARE(m_log.rows, 3);
    QCOMPARE(m_log.columns, 3);
    QCOMPARE(script.texts.last(), QString("Импорт завершён."));
    store::Cursor &c = m_book->tables.Table2;
    QCOMPARE(c.recordCount(), 6);
    QVERIFY(c.findKey("Орлов О. О."));
    QCOMPARE(c.asString("Index"), QString("012345"));
    QCOMPARE(c.asString("Kuda"), QString());
    QCOMPARE(m_page->selectedCount(), 2);
}

void TestSheetButtons::failuresAreReportedInRussian_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("begins");
    using K = SheetError::Kind;
    QTest::newRow("no office") << 0 << int(K::NoOffice) << "Ошибка обращения к LibreOffice Calc.";
    QTest::newRow("export: office gone") << 1 << int(K::OfficeGone) << "LibreOffice Calc неожиданно завершил";
    QTest::newRow("export: no display") << 1 << int(K::NoDisplay) << "Выгруженных адресатов негде показать";
    QTest::newRow("import: not a workbook") << 2 << int(K::NotAWorkbook) << "Файл \"";
    QTest::newRow("import: cancelled at a column") << 2 << -1 << "";
    QTest::newRow("import: rows beyond the sheet") << 2 << int(K::RowsBeyondSheet)
                                                   << "В листе книги не больше 1048576 строк";
}

void TestSheetButtons::failuresAreReportedInRussian()
{
    QFETCH(int, button);
    QFETCH(int, kind);
    QFETCH(QString, begins);
    m_log.present = button != 0;
    if (kind >= 0)
        m_log.failure = SheetError(SheetError::Kind(kind), {}, 1048576);
    modal::Script script;
    if (button > 0)
        script.message(button);
    if (button == 2) {
        script.message(1).file(m_file.fileName()).input("a").input("b", kind >= 0);
        for (int i = 0; kind >= 0 && i < 10; ++i)
            script.input(i < 9 ? "" : "5");
    }
    if (kind >= 0)
        script.notice();
    click("SpeedButton2");
    QVERIFY(script.done());
    QVERIFY2(script.texts.value(script.texts.size() - 1).startsWith(begins), qPrintable(script.texts.join('|')));
    QCOMPARE(m_book->tables.Table2.recordCount(), 3);
    QCOMPARE(m_log.rows, -1);
}

QTEST_MAIN(TestSheetButtons)
#include "tst_sheetbuttons.moc"
