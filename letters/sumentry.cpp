#include "letters/sumentry.h"

#include <cmath>

namespace letters {

QString withLocaleSeparator(const QString &text, const QLocale &locale)
{
    const QString separator = locale.decimalPoint();
    qsizetype at = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('.'))
            continue;
        if (at >= 0)
            return text;
        at = i;
    }
    if (at < 0)
        return text;
    QString out = text;
    return out.replace(at, 1, separator);
}

bool parseSum(const QString &text, const QLocale &locale, double *value)
{
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = strict.toDouble(withLocaleSeparator(text, locale), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

double sumValue(const QString &text, const QLocale &locale)
{
    double value = 0;
    return parseSum(text, locale, &value) ? value : 0;
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
        m_accepted = withLocaleSeparator(text, m_locale);
    return m_accepted;
}

double SumEntry::value() const
{
    return sumValue(m_accepted, m_locale);
}

} // namespace letters
