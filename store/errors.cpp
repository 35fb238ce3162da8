#include "store/errors.h"

namespace store {

StoreError::StoreError(Kind kind, const QString &message, const QString &file)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message), m_file(file)
{
}

ConversionError::ConversionError(const QString &value, const char *typeName)
    : std::runtime_error(QStringLiteral("'%1' is not a valid %2 value")
                             .arg(value, QString::fromLatin1(typeName))
                             .toStdString())
{
}

} // namespace store
