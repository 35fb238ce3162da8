#pragma once
// One row of a table kept in memory as a single byte block: a table of field
// offsets followed by each field's value (texts in UTF-8, numbers in binary).
// A block is never changed once made, so cursors share it freely; a field is
// decoded only when it is read. An empty value is a field of no bytes.

#include "store/schema.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>
#include <string_view>

namespace store::packed {

// Builds a block field by field, in the schema's order.
class Builder {
public:
    explicit Builder(int fieldCount);
    void addNull();
    void addText(const char *utf8, qsizetype size);
    void addInt(qint32 v);
    void addBool(bool v);
    void addReal(double v);
    void addDate(qint64 julianDay);
    void addTime(qint32 msecs);
    void copyField(const QByteArray &row, int field);  // as it stands in another block
    QByteArray finish();

private:
    void mark();
    QVector<quint32> m_offsets;
    QByteArray m_data;
};

QByteArray pack(const TableSchema &schema, const QVector<QVariant> &values);
QVector<QVariant> unpack(const TableSchema &schema, const QByteArray &row);
// The same block with the listed fields taken from values (one per field of
// the schema), or with one field replaced.
QByteArray withFields(const TableSchema &schema, const QByteArray &row, const QVector<int> &fields,
                      const QVector<QVariant> &values);
QByteArray withField(const TableSchema &schema, const QByteArray &row, int field, const QVariant &value);

QVariant value(const TableSchema &schema, const QByteArray &row, int field);
bool isNull(const QByteArray &row, int field);
QString text(const TableSchema &schema, const QByteArray &row, int field);
// The UTF-8 bytes of a text field, pointing into the block.
std::string_view textBytes(const QByteArray &row, int field);
// Length in UTF-16 units of a text field, without decoding it.
qsizetype textLength(const QByteArray &row, int field);
// The value by which an index orders a number, date or time field; an empty
// value orders as 0 (numbers), before every date, or before midnight.
double orderNumber(const TableSchema &schema, const QByteArray &row, int field);
bool sameField(const QByteArray &a, const QByteArray &b, int field);

} // namespace store::packed
