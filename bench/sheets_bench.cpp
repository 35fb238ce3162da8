// Spreadsheet exchange with LibreOffice Calc, 10,000 recipients of eleven
// Cyrillic texts, once the office has started: the export as one range
// (load of the export workbook, one write, the stored copy) and the import
// as one read of the shown texts, each beside the same work done one cell
// at a time; then the storing of the imported rows into an address book.
// Prints wall-clock milliseconds.
//   sheets_bench [rows] [rows done cell by cell]

#include "addressbook/calcsheet.h"
#include "office/officeprocess.h"
#include "office/unotext.h"
#include "store/tables.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace addressbook;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

QVector<QStringList> recipients(int count)
{
    const QStringList names{"Иванов Иван Иванович", "ООО \"Металлоторг\"", "Петрова Анна Сергеевна",
                            "ЗАО \"Сибтранс\"", "Кузнецов Пётр Ильич"};
    QVector<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        QStringList row{names[i % names.size()] + QString::number(i),
                        QStringLiteral("г. Москва, ул. Садовая, д. %1, кв. %2").arg(i % 200).arg(i % 97),
                        QStringLiteral("%1").arg(100000 + i % 900000, 6, 10, QLatin1Char('0')),
                        QStringLiteral("клиенты"), QStringLiteral("примечание %1").arg(i)};
        for (int r = 1; r <= 6; ++r)
            row << QStringLiteral("резерв %1-%2").arg(r).arg(i);
        rows << row;
    }
    return rows;
}

Reference<css::sheet::XSpreadsheet> firstSheet(const Reference<css::lang::XComponent> &doc)
{
    const Reference<css::sheet::XSpreadsheetDocument> book(doc, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
    return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW);
}

// The export workbook filled by one write of a text per cell.
qint64 exportCellByCell(office::OfficeProcess &process, const QString &workbook, const QVector<QStringList> &rows)
{
    QElapsedTimer clock;
    clock.start();
    Reference<css::lang::XComponent> doc = process.loadHidden(workbook, false);
    const auto sheet = firstSheet(doc);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 11; ++c)
            Reference<css::text::XText>(sheet->getCellByPosition(c, r), UNO_QUERY_THROW)
                ->setString(office::toOUString(rows[r][c]));
    office::OfficeProcess::closeDocument(doc);
    return clock.elapsed();
}

// A workbook read by one read of a cell's address per cell ("C12").
qint64 importCellByCell(office::OfficeProcess &process, const QString &file, int rowCount)
{
    QElapsedTimer clock;
    clock.start();
    Reference<css::lang::XComponent> doc = process.loadHidden(file, true);
    const auto sheet = firstSheet(doc);
    qint64 characters = 0;
    for (int r = 1; r <= rowCount; ++r)
        for (char column = 'A'; column <= 'K'; ++column) {
            const QString address = QStringLiteral("%1%2").arg(QLatin1Char(column)).arg(r);
            const auto cell = sheet->getCellRangeByName(office::toOUString(address))->getCellByPosition(0, 0);
            characters += Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString().getLength();
        }
    office::OfficeProcess::closeDocument(doc);
    return characters > 0 ? clock.elapsed() : -1;
}

void print(const char *what, int rows, qint64 ms)
{
    std::printf("%-44s %6d rows %8lld ms\n", what, rows, static_cast<long long>(ms));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int cellRows = argc > 2 ? std::atoi(argv[2]) : count;
    const QString folder = QStringLiteral(KUVERTIX_PROGRAM_DIR);
    const QVector<QStringList> rows = recipients(count);

    CalcSheet calc(folder, {[] { return true; }, [](const QString &) {}});
    QElapsedTimer clock;
    clock.start();
    office::OfficeProcess &process = calc.office();
    print("office start", 0, clock.elapsed());

    clock.restart();
    calc.exportRows(rows);
    print("export, one range (load, write, store copy)", count, clock.elapsed());
    print("export, cell by cell (load, write)", cellRows,
          exportCellByCell(process, folder + QStringLiteral("/Kuvertix.xls"), rows.mid(0, cellRows)));

    clock.restart();
    const SheetCells cells = calc.readCells(calc.exportedCopy(), count, 11);
    print("import, shown texts at once (load, read)", cells.rowCount(), clock.elapsed());
    print("import, cell by cell (load, read)", cellRows, importCellByCell(process, calc.exportedCopy(), cellRows));

    QTemporaryDir dir;
    store::createAllTables(dir.path());
    store::Tables tables;
    tables.openAllIn(dir.path());
    ColumnMap map;
    map.columnOfField = QVector<int>(tables.Table2.schema().fields.size(), -1);
    for (int c = 0; c < exportedFields().size(); ++c)
        map.columnOfField[tables.Table2.fieldIndex(exportedFields()[c])] = c;
    ImportOutcome outcome;
    clock.restart();
    importRows(tables.Table2, cells, map, count, outcome);
    print("storing the imported rows, in batches", outcome.added, clock.elapsed());
    QFile::remove(calc.exportedCopy());
    return 0;
}
