// The spreadsheet and clearing buttons of the address book page, driven by
// clicks and answers, with a fake sheet in place of LibreOffice Calc.

#include "addressbook/addressbooktab.h"
#include "messages/popup_message.h"
#include "modalscript.h"
#include "testbook.h"

#include <QRadioButton>
#include <QTemporaryFile>
#include <QToolButton>

using namespace addressbook;

namespace {

struct FakeSheet : SheetOffice {
    bool present = true;
    QVector<QStringList> cells;
    std::optional<SheetError> failure;
    // What the exchange asked for.
    QVector<QStringList> exported;
    QString readFile;
    int readRows = -1;
    int readColumns = -1;
    bool noteShownWhileWorking = false;

    bool available() override { return present; }
    void exportRows(const QVector<QStringList> &rows) override
    {
        noteShownWhileWorking = PopUpMsgIsOpen();
        if (failure)
            throw *failure;
        exported = rows;
    }
    SheetCells readCells(const QString &file, int rowCount, int columnCount) override
    {
        noteShownWhileWorking = PopUpMsgIsOpen();
        if (failure)
            throw *failure;
        readFile = file;
        readRows = rowCount;
        readColumns = columnCount;
        return SheetCells(cells);
    }
};

} // namespace

class TestSheetButtons : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buttonsStandRightOfNavigator();
    void clearingNeedsTwoAnswers_data();
    void clearingNeedsTwoAnswers();
    void exportWritesListedRows();
    void importAsksColumnsAndRows();
    void importCancelledAtColumnAddsNothing();
    void failuresAreReportedInRussian_data();
    void failuresAreReportedInRussian();
    void missingOfficeIsReported();

private:
    void click(const char *button)
    {
        QTest::mouseClick(m_page->findChild<QToolButton *>(button), Qt::LeftButton);
    }
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<AddressBookTab> m_page;
    FakeSheet m_fake;
    FakeSheet *m_sheet = &m_fake;
};

void TestSheetButtons::init()
{
    m_book = std::make_unique<TestBook>();
    m_book->add({"Иванов И. И.", "г. Тверь", "клиент", -1});
    m_book->add({"Петров П. П.", "г. Омск", "клиент"});
    m_book->add({"Сидоров С. С.", "г. Пермь", "поставщик", -1});
    m_page = std::make_unique<AddressBookTab>(m_book->tables, m_book->dir.path() + '/');
    m_page->setWindowTitle("Kuvertix");
    m_page->recountSelected();
    m_page->show();
    m_fake = FakeSheet();
    // The exchange takes a new office for each click; each passes the calls
    // on to the one fake the test reads.
    m_page->setSheetOfficeFactory([this]() -> std::unique_ptr<SheetOffice> {
        struct Forward : SheetOffice {
            FakeSheet *to;
            bool available() override { return to->available(); }
            void exportRows(const QVector<QStringList> &rows) override { to->exportRows(rows); }
            SheetCells readCells(const QString &f, int r, int c) override { return to->readCells(f, r, c); }
        };
        auto forward = std::make_unique<Forward>();
        forward->to = m_sheet;
        return forward;
    });
}

void TestSheetButtons::cleanup()
{
    m_page.reset();
    m_book.reset();
    QVERIFY(!PopUpMsgIsOpen());
}

void TestSheetButtons::buttonsStandRightOfNavigator()
{
    auto *navigator = m_page->findChild<QWidget *>("DBNavigator1");
    int left = navigator->mapTo(m_page.get(), QPoint(navigator->width(), 0)).x();
    for (const char *name : {"SpeedButton2", "SpeedButton3"}) {
        auto *button = m_page->findChild<QToolButton *>(name);
        QCOMPARE(button->size(), QSize(26, 26));
        const QPoint at = button->mapTo(m_page.get(), QPoint(0, 0));
        QVERIFY(at.x() > left);
        QCOMPARE(at.y(), navigator->mapTo(m_page.get(), QPoint(0, 0)).y());
        left = at.x() + 26;
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(m_page->findChild<QToolButton *>("SpeedButton2")->toolTip(),
             QString("Выгрузка/загрузка данных из Excel"));
    QCOMPARE(m_page->findChild<QToolButton *>("SpeedButton3")->toolTip(), QString("Очистка базы адресатов"));
}

void TestSheetButtons::clearingNeedsTwoAnswers_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"Иванов И. И.", "Петров П. П.", "Сидоров С. С."};
    QTest::newRow("Нет at the first question") << QList<int>{2} << all;
    QTest::newRow("Нет at the second question") << QList<int>{1, 2} << all;
    QTest::newRow("Очистить twice: the filtered recipients go") << QList<int>{1, 1}
                                                                << QStringList{"Сидоров С. С."};
}

void TestSheetButtons::clearingNeedsTwoAnswers()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, left);
    m_page->book().setFilterText("клиент");
    ModalScript script;
    for (int k : answers)
        script.message(k);
    click("SpeedButton3");
    QVERIFY(script.done());
    QCOMPARE(script.texts.value(0), QString("Очистка базы адресатов"));
    if (answers.size() > 1)
        QCOMPARE(script.texts.value(1), QString("Вы уверены, что хотите полностью очистить базу адресатов?"));
    m_page->book().setFilterText("");
    QCOMPARE(TestBook::names(m_book->tables.Table2), left);
    QCOMPARE(m_page->selectedCount(), left.size() == 1 ? 1 : 2);
    QCOMPARE(m_page->findChild<QRadioButton *>("RadioButton2")->text(),
             QString("выделенных(%1)").arg(m_page->selectedCount()));
}

void TestSheetButtons::exportWritesListedRows()
{
    m_page->book().setFilterText("клиент");
    ModalScript script;
    script.message(1);
    click("SpeedButton2");
    QVERIFY(script.done());
    QCOMPARE(script.texts.value(0), QString("Выгрузка/загрузка данных из Excel"));
    QVERIFY(m_sheet->noteShownWhileWorking);
    QCOMPARE(m_sheet->exported.size(), 2);
    QCOMPARE(m_sheet->exported[0].mid(0, 2), QStringList({"Иванов И. И.", "г. Тверь"}));
    QCOMPARE(m_sheet->exported[1].value(4), QString("клиент"));
    QCOMPARE(m_sheet->exported[1].size(), 11);
}

void TestSheetButtons::importAsksColumnsAndRows()
{
    QTemporaryFile book(QDir::tempPath() + "/XXXXXX.ods");
    QVERIFY(book.open());
    m_sheet->cells = {{"Кузнецов К. К.", "г. Уфа", "450000"}, {}, {"Орлов О. О.", "", "012345"}};
    ModalScript script;
    script.message(2).message(1).file(book.fileName());
    // Кому, Куда, Индекс, Группа, Примечание, Reserv1..6: the name from a,
    // the postal code from C, nothing else.
    const QStringList letters{"a", "", "C", "", "", "", "", "", "", "", ""};
    for (const QString &l : letters)
        script.input(l);
    script.input("3").message(1);
    click("SpeedButton2");
    QVERIFY(script.done());

    QVERIFY(m_sheet->noteShownWhileWorking);
    QCOMPARE(m_sheet->readFile, book.fileName());
    QCOMPARE(m_sheet->readRows, 3);
    QCOMPARE(m_sheet->readColumns, 3);
    QCOMPARE(script.texts.last(), QString("Импорт завершён."));
    store::Cursor &c = m_book->tables.Table2;
    QCOMPARE(c.recordCount(), 6);
    QVERIFY(c.findKey("Орлов О. О."));
    QCOMPARE(c.asString("Index"), QString("012345"));
    QCOMPARE(c.asString("Kuda"), QString());
    QCOMPARE(m_page->selectedCount(), 2);
}

void TestSheetButtons::importCancelledAtColumnAddsNothing()
{
    QTemporaryFile book(QDir::tempPath() + "/XXXXXX.xls");
    QVERIFY(book.open());
    ModalScript script;
    script.message(2).message(1).file(book.fileName()).input("a").input("b", false);
    click("SpeedButton2");
    QVERIFY(script.done());
    QCOMPARE(m_sheet->readRows, -1);
    QCOMPARE(m_book->tables.Table2.recordCount(), 3);
}

void TestSheetButtons::failuresAreReportedInRussian_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("begins");
    QTest::newRow("export: office gone") << 1 << int(SheetError::Kind::OfficeGone)
                                         << "LibreOffice Calc неожиданно завершил работу";
    QTest::newRow("export: no display") << 1 << int(SheetError::Kind::NoDisplay)
                                        << "Выгруженных адресатов негде показать";
    QTest::newRow("import: not a workbook") << 2 << int(SheetError::Kind::NotAWorkbook) << "Файл \"";
    QTest::newRow("import: rows beyond the sheet") << 2 << int(SheetError::Kind::RowsBeyondSheet)
                                                   << "В листе книги не больше 1048576 строк";
}

void TestSheetButtons::failuresAreReportedInRussian()
{
    QFETCH(int, button);
    QFETCH(int, kind);
    QFETCH(QString, begins);
    m_sheet->failure = SheetError(SheetError::Kind(kind), {}, 1048576);
    QTemporaryFile book(QDir::tempPath() + "/XXXXXX.txt");
    QVERIFY(book.open());
    ModalScript script;
    script.message(button);
    if (button == 2) {
        script.message(1).file(book.fileName());
        for (int i = 0; i < 11; ++i)
            script.input("a");
        script.input("5");
    }
    script.notice();
    click("SpeedButton2");
    QVERIFY(script.done());
    QVERIFY2(script.texts.last().startsWith(begins), qPrintable(script.texts.last()));
    QCOMPARE(m_book->tables.Table2.recordCount(), 3);
}

void TestSheetButtons::missingOfficeIsReported()
{
    m_sheet->present = false;
    ModalScript script;
    script.notice();
    click("SpeedButton2");
    QVERIFY(script.done());
    QVERIFY(script.texts.value(0).startsWith("Ошибка обращения к LibreOffice Calc."));
}

QTEST_MAIN(TestSheetButtons)
#include "tst_sheetbuttons.moc"
