#include "store/errors.h"

namespace store {

StoreError::StoreError(Kind kind, const QString &message, const QString &file, const QString &cause)
    : core::Error(message, cause), m_kind(kind), m_file(file)
{
}

ConversionError::ConversionError(const QString &value, const char *typeName)
    : core::Error(QStringLiteral("'%1' is not a valid %2 value").arg(value, QString::fromLatin1(typeName)))
{
}

} // namespace store
