#include "store/schema.h"

namespace store {

namespace {

FieldDef text(const QString &name, int capacity) { return {name, FieldType::Text, capacity, {}}; }
FieldDef integer(const QString &name) { return {name, FieldType::Int, 0, {}}; }
FieldDef boolean(const QString &name) { return {name, FieldType::Bool, 0, {}}; }
FieldDef real(const QString &name) { return {name, FieldType::Real, 0, {}}; }
FieldDef autoKey() { return {QStringLiteral("N"), FieldType::AutoInc, 0, {}}; }

void addBox(QVector<FieldDef> &fields, const QString &prefix, bool withSize = true)
{
    fields << real(prefix + "L") << real(prefix + "T");
    if (withSize)
        fields << real(prefix + "H") << real(prefix + "W");
}

QString sqlType(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::AutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(f.capacity);
    case FieldType::Int: return QStringLiteral("INTEGER");
    case FieldType::Bool: return QStringLiteral("BOOLEAN");
    case FieldType::Real: return QStringLiteral("REAL");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    }
    return {};
}

QString quoted(const QString &name) { return '"' + name + '"'; }

// The column expression of an index key in the file. Text keys use NOCASE
// so that any SQLite tool can read and write the file; the program orders
// the rows with the Russian collation itself.
QString indexColumn(const TableSchema &t, const IndexKey &k)
{
    const FieldDef &f = t.fields[t.fieldIndex(k.field)];
    QString col = quoted(k.field);
    if (f.type == FieldType::Text)
        col += " COLLATE NOCASE";
    else if (f.type == FieldType::Int || f.type == FieldType::Real)
        col = "ifnull(" + col + ", 0)";
    if (k.descending)
        col += " DESC";
    return col;
}

TableSchema makeConfig()
{
    TableSchema t{"config.DB", "config", {}, {}};
    t.fields << autoKey() << text("OtKogo", 100) << text("OtKuda", 150) << text("OtIndex", 50)
             << text("Komu", 100) << text("Kuda", 150) << text("Index", 50) << integer("TypKonv")
             << boolean("PrintLogo") << text("Comment", 255) << integer("N_Konvert")
             << integer("Printer") << text("Logo_ext", 10) << boolean("PrintZIPcode");
    for (int i = 1; i <= 6; ++i)
        t.fields << text(QStringLiteral("ReservName%1").arg(i), 50);
    t.fields << boolean("ReservShow") << text("KonvertComment", 255)
             << boolean("PrintKonvertComment");
    return t;
}

TableSchema makeAdrList()
{
    TableSchema t{"AdrList.DB", "AdrList", {}, {}};
    FieldDef check = integer("Check");
    check.defaultValue = 0;
    t.fields << autoKey() << text("Komu", 100) << text("Kuda", 150) << text("Index", 50)
             << text("Group", 50) << text("Prim", 250) << check;
    for (int i = 1; i <= 6; ++i)
        t.fields << text(QStringLiteral("Reserv%1").arg(i), 250);
    t.indexes << IndexDef{"Komu_i", {{"Komu", false}}} << IndexDef{"Check_i", {{"Check", false}}};
    return t;
}

TableSchema makeOtList()
{
    TableSchema t{"OtList.DB", "OtList", {}, {}};
    t.fields << autoKey() << text("OtKogo", 100) << text("OtKuda", 150) << text("OtIndex", 50);
    t.indexes << IndexDef{"OtKogo_i", {{"OtKogo", false}}};
    return t;
}

TableSchema makeKonverts()
{
    TableSchema t{"konverts.DB", "konverts", {}, {}};
    t.fields << autoKey() << text("NameKonvert", 100) << real("H") << real("W") << real("LinesH");
    for (const char *box : {"Otkogo", "Otkuda", "Otindex", "Komu", "Kuda", "Index", "Logo"})
        addBox(t.fields, QString::fromLatin1(box));
    addBox(t.fields, "ZIPcode", false);
    addBox(t.fields, "KonvertComment");
    t.indexes << IndexDef{"NameKonvert_i", {{"NameKonvert", false}}} << IndexDef{"N_i", {{"N", false}}};
    return t;
}

TableSchema makePrinters()
{
    TableSchema t{"Printers.db", "Printers", {}, {}};
    t.fields << autoKey() << text("PrinterName", 100) << real("Dx") << real("Dy");
    t.indexes << IndexDef{"PrinterName_i", {{"PrinterName", false}}} << IndexDef{"N_i", {{"N", false}}};
    return t;
}

TableSchema makeFilter()
{
    TableSchema t{"Filter.db", "Filter", {}, {}};
    t.fields << text("Filter", 250) << FieldDef{"Date", FieldType::Date, 0, {}}
             << FieldDef{"Time", FieldType::Time, 0, {}};
    t.indexes << IndexDef{"DateTime_i", {{"Date", true}, {"Time", true}}}
              << IndexDef{"Filter_i", {{"Filter", false}}};
    return t;
}

} // namespace

int TableSchema::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const IndexDef *TableSchema::index(const QString &name) const
{
    for (const IndexDef &i : indexes)
        if (i.name.compare(name, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

QString TableSchema::columnDefinition(const FieldDef &field) const
{
    QString column = quoted(field.name) + ' ' + sqlType(field);
    const QVariant &d = field.defaultValue;
    if (d.isNull())
        return column;
    const bool number = field.type != FieldType::Text && field.type != FieldType::Date && field.type != FieldType::Time;
    return column + QStringLiteral(" DEFAULT ")
           + (number ? d.toString() : '\'' + d.toString().replace('\'', QStringLiteral("''")) + '\'');
}

QStringList TableSchema::indexStatements() const
{
    QStringList sql;
    for (const IndexDef &i : indexes) {
        QStringList cols;
        for (const IndexKey &k : i.keys)
            cols << indexColumn(*this, k);
        sql << QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                   .arg(quoted(i.name), quoted(tableName), cols.join(", "));
    }
    return sql;
}

QString TableSchema::createTableStatement() const
{
    QStringList columns;
    for (const FieldDef &f : fields)
        columns << quoted(f.name) + ' ' + sqlType(f);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(tableName), columns.join(", "));
}

QStringList TableSchema::createStatements() const
{
    return QStringList{createTableStatement()} + indexStatements();
}

const TableSchema &configSchema() { static const TableSchema t = makeConfig(); return t; }
const TableSchema &adrListSchema() { static const TableSchema t = makeAdrList(); return t; }
const TableSchema &otListSchema() { static const TableSchema t = makeOtList(); return t; }
const TableSchema &konvertsSchema() { static const TableSchema t = makeKonverts(); return t; }
const TableSchema &printersSchema() { static const TableSchema t = makePrinters(); return t; }
const TableSchema &filterSchema() { static const TableSchema t = makeFilter(); return t; }

QVector<const TableSchema *> allSchemas()
{
    return {&configSchema(), &adrListSchema(), &otListSchema(),
            &konvertsSchema(), &printersSchema(), &filterSchema()};
}

QString cutToCapacity(const QString &text, int capacity)
{
    if (capacity <= 0 || text.size() <= capacity)
        return text;
    int n = capacity;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

} // namespace store
