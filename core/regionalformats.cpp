#include "core/regionalformats.h"

namespace core {

QLocale regionalLocale(const QLocale &system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void useRegionalFormats()
{
    QLocale::setDefault(regionalLocale());
}

} // namespace core
