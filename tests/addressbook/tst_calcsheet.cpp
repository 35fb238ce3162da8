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
#include <QElapsedTimer>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <zlib.h>

using namespace addressbook;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// Declared before the helpers: their raw strings confuse moc.
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
    void officeThatDoesNotStartIsNamed_data();
    void officeThatDoesNotStartIsNamed();
    void formulasKeepTheValuesTheFileHolds_data();
    void formulasKeepTheValuesTheFileHolds();
    void csvOfMixedEncodingsIsReadLineByLine();

private:
    QTemporaryDir m_dir;
    QStringList m_shown;
    QString m_programFolder = QStringLiteral(KUVERTIX_PROGRAM_DIR);
};

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

// A zip container written the way other programs write workbooks: each
// member deflated, `padding` spaces before the last line of the last
// member (so that a small file unpacks into a large one).
struct Member {
    QByteArray name, data;
};
void writeZip(const QString &path, QList<Member> members, qint64 padding, const QByteArray &lastLine)
{
    QFile zip(path);
    zip.open(QIODevice::WriteOnly);
    QByteArray directory;
    auto le = [](QByteArray &out, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    for (int m = 0; m < members.size(); ++m) {
        const bool last = m == members.size() - 1;
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        QByteArray packed;
        uLong crc = crc32(0, nullptr, 0);
        quint32 unpacked = 0;
        auto feed = [&](const QByteArray &in, bool finish) {
            crc = crc32(crc, reinterpret_cast<const Bytef *>(in.constData()), uInt(in.size()));
            unpacked += quint32(in.size());
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
            z.avail_in = uInt(in.size());
            char out[65536];
            do {
                z.next_out = reinterpret_cast<Bytef *>(out);
                z.avail_out = sizeof out;
                deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
                packed.append(out, int(sizeof out - z.avail_out));
            } while (z.avail_out == 0);
        };
        feed(members[m].data, false);
        if (last) {
            const QByteArray spaces(1 << 20, ' ');
            for (qint64 left = padding; left > 0; left -= spaces.size())
                feed(spaces.left(int(std::min<qint64>(left, spaces.size()))), false);
            feed(lastLine, true);
        } else {
            feed({}, true);
        }
        deflateEnd(&z);
        const quint32 offset = quint32(zip.pos());
        QByteArray header("PK\x03\x04", 4);
        le(header, 20, 2), le(header, 0, 2), le(header, 8, 2), le(header, 0, 4);
        le(header, quint32(crc), 4), le(header, quint32(packed.size()), 4), le(header, unpacked, 4);
        le(header, quint32(members[m].name.size()), 2), le(header, 0, 2);
        zip.write(header + members[m].name);
        zip.write(packed);
        QByteArray entry("PK\x01\x02", 4);
        le(entry, 20, 2), le(entry, 20, 2), le(entry, 0, 2), le(entry, 8, 2), le(entry, 0, 4);
        le(entry, quint32(crc), 4), le(entry, quint32(packed.size()), 4), le(entry, unpacked, 4);
        le(entry, quint32(members[m].name.size()), 2), le(entry, 0, 2), le(entry, 0, 2), le(entry, 0, 2);
        le(entry, 0, 2), le(entry, 0, 4), le(entry, offset, 4);
        directory += entry + members[m].name;
    }
    const quint32 start = quint32(zip.pos());
    zip.write(directory);
    QByteArray end("PK\x05\x06", 4);
    le(end, 0, 4), le(end, quint32(members.size()), 2), le(end, quint32(members.size()), 2);
    le(end, quint32(directory.size()), 4), le(end, start, 4), le(end, 0, 2);
    zip.write(end);
}

// An .xlsx as a program other than the office writes it, with `cells` in
// the first row of its sheet.
void writeXlsx(const QString &path, const QByteArray &cells, qint64 padding = 0)
{
    const QByteArray types = R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)";
    const QByteArray rels = R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    const QByteArray workbook = R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="List1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const QByteArray bookRels = R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
    const QByteArray sheet = R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1">)"
        + cells + "</row></sheetData>";
    writeZip(path,
             {{"[Content_Types].xml", types}, {"_rels/.rels", rels}, {"xl/workbook.xml", workbook},
              {"xl/_rels/workbook.xml.rels", bookRels}, {"xl/worksheets/sheet1.xml", sheet}},
             padding, "</worksheet>");
}

} // namespace


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
    // The copy holds the address book: in a folder of the program's own.
    const QString folder = QFileInfo(shown[0]).absolutePath();
    struct stat info {};
    QVERIFY(::stat(QFile::encodeName(folder).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QVERIFY(QDir(folder) != QDir::temp());
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
    // A cell in column ALL and one in row 2100: more than two million cells
    // to read, in a few KB.
    QTest::newRow("a sheet of over two million cells")
        << "wide.csv" << QByteArray("x" + QByteArray(999, ';') + "x" + QByteArray(2100, '\n') + "x\n") << 10
        << int(SheetError::Kind::TooLarge);
    // 300 MB of spaces in a sheet, packed into a few hundred KB.
    QTest::newRow("a workbook that unpacks into 300 MB") << "bomb.xlsx" << QByteArray() << 10
                                                         << int(SheetError::Kind::TooLarge);
}

void TestCalcSheet::badInputIsTyped()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, rows);
    QFETCH(int, kind);
    QString path = m_dir.filePath("absent.xls");
    if (name == "bomb.xlsx") {
        path = m_dir.filePath(name);
        writeXlsx(path, R"(<c r="A1" t="inlineStr"><is><t>Иванов</t></is></c>)", qint64(300) << 20);
        QVERIFY(QFileInfo(path).size() < 2 * 1024 * 1024);
    } else if (!name.isEmpty()) {
        path = m_dir.filePath(name);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    CalcSheet calc(m_programFolder, noting(m_shown));
    QElapsedTimer clock;
    clock.start();
    try {
        calc.readCells(path, rows, 2);
        QFAIL("read without a failure");
    } catch (const SheetError &e) {
        QCOMPARE(int(e.kind()), kind);
        if (e.kind() == SheetError::Kind::TooLarge) {
            if (name == "bomb.xlsx")
                QVERIFY2(clock.elapsed() < 1000, "refused before the office read it");
            QVERIFY2(sheetErrorText(e, path).contains("\"" + name + "\" слишком велик"), qPrintable(sheetErrorText(e, path)));
        }
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

void TestCalcSheet::officeThatDoesNotStartIsNamed_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("cause");
    QTest::newRow("never answers") << QByteArray("exec sleep 600") << "LibreOffice запускается слишком долго";
    QTest::newRow("ends at once") << QByteArray("exit 1") << "LibreOffice завершился при запуске.";
}

void TestCalcSheet::officeThatDoesNotStartIsNamed()
{
    QFETCH(QByteArray, script);
    const QString program = m_dir.filePath("soffice");
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = m_dir.filePath("any.csv");
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("a;b\n");
    csv.close();
    CalcSheet calc(m_programFolder, noting(m_shown));
    calc.setOfficeProgram(program, 2000);
    QElapsedTimer clock;
    clock.start();
    try {
        calc.readCells(path, 1, 2);
        QFAIL("read without an office");
    } catch (const SheetError &e) {
        QCOMPARE(e.kind(), SheetError::Kind::OfficeNotStarting);
        const QString text = sheetErrorText(e, path);
        QVERIFY2(text.startsWith("LibreOffice Calc не запустился."), qPrintable(text));
        QFETCH(QString, cause);
        QVERIFY2(text.contains(cause), qPrintable(text));
        QVERIFY(!text.contains("установите"));
    }
    QVERIFY(clock.elapsed() < 15000);
}

void TestCalcSheet::formulasKeepTheValuesTheFileHolds_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("a function the office lacks")
        << QByteArray(R"(<c r="B1"><f>_xlfn.NOSUCHFUNCTION(1)</f><v>42</v></c>)") << "42" << QStringList();
    // The office drops a text result it cannot compute: the cell is named.
    QTest::newRow("a text of a function the office lacks")
        << QByteArray(R"(<c r="B1" t="str"><f>_xlfn.NOSUCHTEXT("a")</f><v>Петров</v></c>)") << ""
        << QStringList{"B1"};
    QTest::newRow("an error the file holds")
        << QByteArray(R"(<c r="B1" t="e"><f>1/0</f><v>#DIV/0!</v></c>)") << "" << QStringList{"B1"};
}

void TestCalcSheet::formulasKeepTheValuesTheFileHolds()
{
    QFETCH(QByteArray, cell);
    const QString path = m_dir.filePath("formulas.xlsx");
    writeXlsx(path, R"(<c r="A1" t="inlineStr"><is><t>Иванов</t></is></c>)" + cell);
    CalcSheet calc(m_programFolder, noting(m_shown));
    const SheetCells cells = calc.readCells(path, 1, 2);
    QCOMPARE(cells.text(0, 0), QString("Иванов"));
    QTEST(cells.text(0, 1), "text");
    QTEST(cells.formulaErrors(), "errors");
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
