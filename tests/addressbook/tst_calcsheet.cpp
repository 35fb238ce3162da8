// The spreadsheet exchange against the installed LibreOffice Calc: exports
// read back through the office, imports of workbooks the test makes through
// the office in each format, and the failures a user can meet.

#include "addressbook/calcsheet.h"
#include "addressbook/recipientbook.h"
#include "office/officeprocess.h"
#include "office/unotext.h"
#include "testbook.h"
#include "tests/support/services.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <csignal>

using namespace addressbook;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5);
}

// A viewer that only notes the copy it was given.
CopyViewer noting(QStringList &shown)
{
    return {[] { return true; }, [&shown](const QString &copy) { shown << copy; }};
}

int numberFormat(const Reference<css::lang::XComponent> &doc, const char *code)
{
    const Reference<css::util::XNumberFormatsSupplier> supplier(doc, UNO_QUERY_THROW);
    const Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
    const css::lang::Locale locale;
    const office::OUString text = office::OUString::createFromAscii(code);
    const sal_Int32 key = formats->queryKey(text, locale, false);
    return key >= 0 ? key : formats->addNew(text, locale);
}

// A workbook made by the office: a name, a postal code typed as a number
// shown with six digits, a date; an empty row; a name with markup braces and
// a postal code typed as text.
void makeFixture(office::OfficeProcess &process, const QString &path, const char *filter, const char *options)
{
    Reference<css::lang::XComponent> doc = process.desktop()->loadComponentFromURL(
        "private:factory/scalc", "_blank", 0, office::properties({{"Hidden", Any(true)}}));
    const Reference<css::sheet::XSpreadsheetDocument> book(doc, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
    const Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
    auto cell = [&](int c, int r) { return sheet->getCellByPosition(c, r); };
    cell(0, 0)->setFormula(office::toOUString("Иванов И. И."));
    cell(1, 0)->setValue(12345);
    Reference<css::beans::XPropertySet>(cell(1, 0), UNO_QUERY_THROW)
        ->setPropertyValue("NumberFormat", Any(numberFormat(doc, "000000")));
    cell(2, 0)->setValue(45366);  // 15 March 2024
    Reference<css::beans::XPropertySet>(cell(2, 0), UNO_QUERY_THROW)
        ->setPropertyValue("NumberFormat", Any(numberFormat(doc, "DD.MM.YYYY")));
    cell(0, 2)->setFormula(office::toOUString("ООО {FB}Ромашка"));
    cell(1, 2)->setFormula(office::toOUString("'012345"));
    auto args = office::properties({{"FilterName", Any(office::OUString::createFromAscii(filter))},
                                    {"Overwrite", Any(true)}});
    if (options) {
        args.realloc(3);
        args[2].Name = "FilterOptions";
        args[2].Value <<= office::OUString::createFromAscii(options);
    }
    Reference<css::frame::XStorable>(doc, UNO_QUERY_THROW)->storeToURL(office::fileUrl(path), args);
    office::OfficeProcess::closeDocument(doc);
}

} // namespace

class TestCalcSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportWritesFilteredRowsIntoACopy_data();
    void exportWritesFilteredRowsIntoACopy();
    void importShowsCellsAsDisplayed_data();
    void importShowsCellsAsDisplayed();
    void badInputIsTyped_data();
    void badInputIsTyped();
    void officeKilledMidwayIsReported();
    void csvOfMixedEncodingsIsReadLineByLine();

private:
    QTemporaryDir m_dir;
    QStringList m_shown;
    QString m_programFolder = QStringLiteral(KUVERTIX_PROGRAM_DIR);
};

void TestCalcSheet::initTestCase()
{
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(m_programFolder + "/Kuvertix.xls"), "the build makes the export workbook");
}

void TestCalcSheet::exportWritesFilteredRowsIntoACopy_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("rows");
    QTest::newRow("three of four") << "клиент" << 3;
    QTest::newRow("none passes: an untouched copy, still shown") << "никого" << 0;
}

void TestCalcSheet::exportWritesFilteredRowsIntoACopy()
{
    QFETCH(QString, filter);
    QFETCH(int, rows);
    TestBook t;
    Recipient a("Иванов И. И.", "г. Тверь, ул. {FB}Советская", "клиент");
    a.index = "012345";
    a.reserv6 = "последнее поле";
    t.add(a);
    t.add({"Петров П. П.", "г. Омск", "клиент"});
    t.add({"Сидоров С. С.", "г. Пермь", "поставщик"});
    t.add({"Антонов А. А.", "", "клиент"});
    RecipientBook book(t.tables.Table2, t.tables.Table2_);
    book.setFilterText(filter);
    const QString workbook = m_programFolder + "/Kuvertix.xls";
    const QByteArray before = digest(workbook);

    QStringList shown;
    CalcSheet calc(m_programFolder, noting(shown));
    calc.exportRows(exportRows(t.tables.Table2));

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0], calc.exportedCopy());
    QCOMPARE(digest(workbook), before);
    const SheetCells back = calc.readCells(shown[0], 4, 11);
    QFile::remove(shown[0]);
    if (rows == 0) {
        for (int c = 0; c < 11; ++c)
            QCOMPARE(back.text(0, c), QString());
        return;
    }
    QCOMPARE(back.rowCount(), rows);
    QCOMPARE(back.text(0, 0), QString("Антонов А. А."));
    QCOMPARE(back.text(1, 0), QString("Иванов И. И."));
    QCOMPARE(back.text(1, 1), QString("г. Тверь, ул. {FB}Советская"));
    QCOMPARE(back.text(1, 2), QString("012345"));
    QCOMPARE(back.text(1, 10), QString("последнее поле"));
    QCOMPARE(back.text(2, 0), QString("Петров П. П."));
}

void TestCalcSheet::importShowsCellsAsDisplayed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("options");
    QTest::newRow("xls") << "book.xls" << "MS Excel 97" << "";
    QTest::newRow("xlsx") << "book.xlsx" << "Calc MS Excel 2007 XML" << "";
    QTest::newRow("ods") << "book.ods" << "calc8" << "";
    QTest::newRow("csv UTF-8 with ;") << "utf8.csv" << "Text - txt - csv (StarCalc)" << "59,34,76,1";
    QTest::newRow("csv Windows-1251 with ,") << "cp1251.csv" << "Text - txt - csv (StarCalc)" << "44,34,34,1";
}

void TestCalcSheet::importShowsCellsAsDisplayed()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QString, options);
    const QString path = m_dir.filePath(name);
    CalcSheet calc(m_programFolder, noting(m_shown));
    makeFixture(calc.office(), path, filter.toLatin1().constData(),
                options.isEmpty() ? nullptr : options.toLatin1().constData());
    if (name == "cp1251.csv") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString asUtf8 = utf8(f.readAll());
        QVERIFY2(utf8.hasError(), "the fixture is really not UTF-8");
    }

    const SheetCells cells = calc.readCells(path, 4, 3);
    QCOMPARE(cells.text(0, 0), QString("Иванов И. И."));
    QCOMPARE(cells.text(0, 1), QString("012345"));
    QCOMPARE(cells.text(0, 2), QString("15.03.2024"));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(cells.text(1, c), QString());
    QCOMPARE(cells.text(2, 0), QString("ООО {FB}Ромашка"));
    QCOMPARE(cells.text(2, 1), QString("012345"));
    QCOMPARE(cells.text(3, 0), QString());
}

void TestCalcSheet::badInputIsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("kind");
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 251);
    QTest::newRow("binary junk named .xls") << "junk.xls" << junk << 3 << int(SheetError::Kind::NotAWorkbook);
    QTest::newRow("a text, not a workbook") << "letter.txt" << QByteArray("Dear friend,\nhello.\n") << 3
                                            << int(SheetError::Kind::NotAWorkbook);
    QTest::newRow("missing file") << "" << QByteArray() << 3 << int(SheetError::Kind::NotAWorkbook);
    QTest::newRow("more rows than a sheet holds") << "rows.csv" << QByteArray("a;b\n") << 2000000
                                                  << int(SheetError::Kind::RowsBeyondSheet);
}

void TestCalcSheet::badInputIsTyped()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, rows);
    QFETCH(int, kind);
    QString path = m_dir.filePath("absent.xls");
    if (!name.isEmpty()) {
        path = m_dir.filePath(name);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    CalcSheet calc(m_programFolder, noting(m_shown));
    try {
        calc.readCells(path, rows, 2);
        QFAIL("read without a failure");
    } catch (const SheetError &e) {
        QCOMPARE(int(e.kind()), kind);
        if (e.kind() == SheetError::Kind::RowsBeyondSheet)
            QCOMPARE(e.limit(), 1048576);
    }
}

void TestCalcSheet::officeKilledMidwayIsReported()
{
    const QString path = m_dir.filePath("killed.ods");
    auto calc = std::make_unique<CalcSheet>(m_programFolder, noting(m_shown));
    makeFixture(calc->office(), path, "calc8", nullptr);
    const pid_t group = calc->office().pid();
    QVERIFY(group > 0);
    ::kill(-group, SIGKILL);
    QTRY_VERIFY(!calc->office().isAlive());
    try {
        calc->readCells(path, 3, 3);
        QFAIL("read from a killed office");
    } catch (const SheetError &e) {
        QCOMPARE(e.kind(), SheetError::Kind::OfficeGone);
    }
    calc.reset();
    QTRY_VERIFY(::kill(-group, 0) != 0);  // nothing of the office is left
}

// UTF-8 lines with one Windows-1251 line pasted in between.
void TestCalcSheet::csvOfMixedEncodingsIsReadLineByLine()
{
    const QString path = m_dir.filePath("mixed.csv");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("Иванов;г. Омск\n").toUtf8());
    f.write(QStringEncoder("windows-1251")(QStringLiteral("Петров;г. Тула\n")));
    f.write(QStringLiteral("Сидоров;г. Ёмск\n").toUtf8());
    f.close();
    CalcSheet calc(m_programFolder, noting(m_shown));
    const SheetCells cells = calc.readCells(path, 3, 2);
    QCOMPARE(cells.text(0, 0), QStringLiteral("Иванов"));
    QCOMPARE(cells.text(1, 0), QStringLiteral("Петров"));
    QCOMPARE(cells.text(1, 1), QStringLiteral("г. Тула"));
    QCOMPARE(cells.text(2, 1), QStringLiteral("г. Ёмск"));
}

QTEST_GUILESS_MAIN(TestCalcSheet)
#include "tst_calcsheet.moc"
