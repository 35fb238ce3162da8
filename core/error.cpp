#include "core/error.h"

#include <cstdio>

namespace core {

Error::Error(const QString &message, const QString &cause)
    : std::runtime_error(message.toStdString()), m_message(message), m_cause(cause)
{
}

void writeCause(const QString &cause)
{
    if (cause.isEmpty())
        return;
    std::fprintf(stderr, "kuvertix: %s\n", cause.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace core
