#include "office/officeerror.h"

namespace office {

OfficeError::OfficeError(Kind kind, const QString &message, const QString &cause)
    : core::Error(message, cause), m_kind(kind)
{
}

} // namespace office
