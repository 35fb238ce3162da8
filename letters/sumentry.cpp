#include "letters/sumentry.h"

#include <cmath>

namespace letters {

bool parseSum(const QString &text, const QLocale &locale, double *value)
{
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = strict.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

QString zeroSumText(const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(0.0, 'f', 2);
}

SumEntry::SumEntry(const QLocale &locale) : m_locale(locale), m_accepted(zeroSumText(locale)) {}

QString SumEntry::changed(const QString &text)
{
    if (parseSum(text, m_locale))
        m_accepted = text;
    return m_accepted;
}

double SumEntry::value() const
{
    double v = 0;
    parseSum(m_accepted, m_locale, &v);
    return v;
}

} // namespace letters
