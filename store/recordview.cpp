#include "store/recordview.h"
#include "store/packedrow.h"

namespace store {

const QVariant &RecordView::value(int field) const
{
    if (m_values)
        return (*m_values)[field];
    if (m_decoded.isEmpty())
        m_decoded = packed::unpack(m_schema, *m_packed);
    return m_decoded[field];
}

QString RecordView::text(int field) const
{
    return m_values ? (*m_values)[field].toString() : packed::text(m_schema, *m_packed, field);
}

qsizetype RecordView::textLength(int field) const
{
    if (m_values)
        return (*m_values)[field].toString().size();
    if (m_schema.fields[field].type == FieldType::Text)
        return packed::textLength(*m_packed, field);
    return text(field).size();
}

const void *RecordView::identity() const
{
    return m_values ? static_cast<const void *>(m_values->constData())
                    : static_cast<const void *>(m_packed->constData());
}

} // namespace store
