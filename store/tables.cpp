#include "store/tables.h"
#include "store/database.h"

#include <QDir>

namespace store {

Tables::Tables(QObject *parent)
    : QObject(parent),
      Table1(configSchema(), "Table1"),
      Table2(adrListSchema(), "Table2"),
      Table2_(adrListSchema(), "Table2_"),
      Table3(otListSchema(), "Table3"),
      Table4(konvertsSchema(), "Table4"),
      Table4_(konvertsSchema(), "Table4_"),
      Table5(printersSchema(), "Table5"),
      Table6(filterSchema(), "Table6")
{
    Table2.setIndexName("Komu_i");
    Table2_.setIndexName("Check_i");
    Table3.setIndexName("OtKogo_i");
    Table4.setIndexName("NameKonvert_i");
    Table4_.setIndexName("NameKonvert_i");
    Table5.setIndexName("PrinterName_i");
    Table6.setIndexName("DateTime_i");
}

QList<Cursor *> Tables::all()
{
    return {&Table1, &Table2, &Table2_, &Table3, &Table4, &Table4_, &Table5, &Table6};
}

bool Tables::followFiles()
{
    bool recipients = false;
    for (Cursor *c : all())
        if (c->followFile() && (c == &Table2 || c == &Table2_))
            recipients = true;
    return recipients;
}

void Tables::openAll(const Cursor::BeforeOpenHook &beforeOpen)
{
    if (beforeOpen)
        beforeOpen(Table1);
    m_conversion = BaseConversion(Table1.databaseLocation()).run();
    for (Cursor *c : all()) {
        c->setBeforeOpen(beforeOpen);
        c->open();
    }
}

void Tables::openAllIn(const QString &dataFolder)
{
    openAll([dataFolder](Cursor &c) { c.setDatabaseLocation(dataFolder); });
}

QStringList Tables::openingNotes() const
{
    QStringList notes;
    if (!m_conversion.isEmpty())
        notes << m_conversion.text();
    for (const Cursor *c : {&Table1, &Table2, &Table3, &Table4, &Table5, &Table6})
        if (!c->repairNote().isEmpty())
            notes << c->repairNote();
    return notes;
}

void Tables::closeAll()
{
    for (Cursor *c : all())
        c->close();
}

void createAllTables(const QString &dataFolder)
{
    QDir().mkpath(dataFolder);
    for (const TableSchema *s : allSchemas())
        TableFile::create(QDir(dataFolder).filePath(s->fileName), *s);
}

} // namespace store
