#include "report/reporterror.h"

namespace report {

ReportError::ReportError(Kind kind, const QString &message, const QString &printerName)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message),
      m_printerName(printerName)
{
}

} // namespace report
