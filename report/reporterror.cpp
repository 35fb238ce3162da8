#include "report/reporterror.h"

namespace report {

ReportError::ReportError(Kind kind, const QString &message, const QString &printerName,
                         const QString &cause)
    : core::Error(message, cause), m_kind(kind), m_printerName(printerName)
{
}

} // namespace report
