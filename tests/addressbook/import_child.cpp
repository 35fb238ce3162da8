// A program that imports rows and may be killed meanwhile:
//   import_child <data folder> <rows>
// prints "started" once the import is marked, "done" when it ended.

#include "addressbook/importmarker.h"
#include "addressbook/sheetcells.h"
#include "store/tables.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    store::Tables t;
    t.openAllIn(QString::fromLocal8Bit(argv[1]));
    const int rows = QByteArray(argv[2]).toInt();
    QVector<QStringList> cells;
    cells.reserve(rows);
    for (int i = 0; i < rows; ++i)
        cells << QStringList{QStringLiteral("Адресат %1").arg(i), QStringLiteral("г. Омск, ул. Мира, %1").arg(i)};
    addressbook::ColumnMap map;
    map.columnOfField = QVector<int>(t.Table2.schema().fields.size(), -1);
    map.columnOfField[t.Table2.fieldIndex("Komu")] = 0;
    map.columnOfField[t.Table2.fieldIndex("Kuda")] = 1;
    addressbook::ImportOutcome outcome;
    const addressbook::ImportMarker running(t.Table2, QStringLiteral("Большая книга.xlsx"), rows);
    std::printf("started\n");
    std::fflush(stdout);
    addressbook::importRows(t.Table2, addressbook::SheetCells(cells), map, rows, outcome);
    std::printf("done %d\n", outcome.added);
    return 0;
}
