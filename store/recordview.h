#pragma once
// The fields of one row as a cursor's filter hook sees them: either values
// at hand or a row kept packed by a cursor, decoded on first use.

#include "store/schema.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

namespace store {

class RecordView {
public:
    RecordView(const TableSchema &schema, const QVector<QVariant> &values, qint64 rowId)
        : m_schema(schema), m_values(&values), m_rowId(rowId) {}
    RecordView(const TableSchema &schema, const QByteArray &packedRow, qint64 rowId)
        : m_schema(schema), m_packed(&packedRow), m_rowId(rowId) {}
    const QVariant &value(int field) const;
    QString text(int field) const;
    int integer(int field) const { return value(field).toInt(); }
    // Length of a field's text in UTF-16 units, without making the text.
    qsizetype textLength(int field) const;
    // The storage of the values: it changes whenever the row's values are
    // replaced or read again.
    const void *identity() const;
    qint64 rowId() const { return m_rowId; }
    const TableSchema &schema() const { return m_schema; }

private:
    const TableSchema &m_schema;
    const QVector<QVariant> *m_values = nullptr;
    const QByteArray *m_packed = nullptr;
    mutable QVector<QVariant> m_decoded;
    qint64 m_rowId;
};

} // namespace store
