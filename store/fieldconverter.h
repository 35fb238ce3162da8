#pragma once
// The conversion between texts and the values of a table's fields: a typed
// text into a field's type, a value into the text a control shows, and the
// readings of a field as a number.

#include "store/schema.h"

#include <QString>
#include <QVariant>

namespace store {

class FieldConverter {
public:
    explicit FieldConverter(const TableSchema &schema) : m_schema(schema) {}

    // A typed text in the type of a field: texts cut to capacity, an empty
    // or blank text empty. Throws ConversionError.
    QVariant fromText(int field, const QString &text) const;
    // The text a control shows for a value of a field; empty for no value.
    QString toText(int field, const QVariant &value) const;
    // A value in the type of a field: texts cut to capacity, typed-in texts
    // converted (throws ConversionError).
    QVariant typed(int field, const QVariant &value) const;
    // A value read as a number: an empty value is 0; a text must hold one
    // (throws ConversionError); a real is rounded to the nearest integer.
    int toInteger(int field, const QVariant &value) const;
    double toFloat(int field, const QVariant &value) const;

private:
    const TableSchema &m_schema;
};

} // namespace store
