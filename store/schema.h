#pragma once
// The six tables of the data folder: their fields, capacities and named
// indexes. Everything that creates, opens or orders a table reads it here.

#include <QString>
#include <QVariant>
#include <QVector>

namespace store {

enum class FieldType { AutoInc, Text, Int, Bool, Real, Date, Time };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int capacity = 0;          // characters, for Text only
    QVariant defaultValue;     // given to a newly inserted row; null = empty
};

struct IndexKey {
    QString field;
    bool descending = false;
};

struct IndexDef {
    QString name;
    QVector<IndexKey> keys;
};

struct TableSchema {
    QString fileName;   // e.g. "AdrList.DB"
    QString tableName;  // SQL table inside the file, e.g. "AdrList"
    QVector<FieldDef> fields;
    QVector<IndexDef> indexes;

    int fieldIndex(const QString &name) const;  // -1 when absent
    const IndexDef *index(const QString &name) const;
    // The SQL that creates this table with its indexes in an empty file.
    QStringList createStatements() const;
    QString createTableStatement() const;
    // A field's column as ALTER TABLE adds it to a table that has rows: with
    // its default, which those rows then hold.
    QString columnDefinition(const FieldDef &field) const;
    // The SQL that creates the indexes the table does not have yet.
    QStringList indexStatements() const;
};

const TableSchema &configSchema();     // config.DB
const TableSchema &adrListSchema();    // AdrList.DB
const TableSchema &otListSchema();     // OtList.DB
const TableSchema &konvertsSchema();   // konverts.DB
const TableSchema &printersSchema();   // Printers.db
const TableSchema &filterSchema();     // Filter.db
QVector<const TableSchema *> allSchemas();

// Cuts a text to a field's capacity in characters, never splitting a
// surrogate pair.
QString cutToCapacity(const QString &text, int capacity);

} // namespace store
