#pragma once
// The sum of money typed for the blank forms. The field always holds a text
// the number parser of the system's regional format accepts: a change that
// does not parse is taken back at once.

#include <QLocale>
#include <QString>

namespace letters {

// Parses a sum with the locale's decimal separator, sign and exponent, no
// group separators. Infinite and not-a-number values are refused.
bool parseSum(const QString &text, const QLocale &locale, double *value = nullptr);

// Zero as the field first shows it: "0,00" with a Russian locale.
QString zeroSumText(const QLocale &locale);

// The rule of the sum field: the last accepted text and what the field must
// show after a change.
class SumEntry {
public:
    explicit SumEntry(const QLocale &locale = QLocale());
    const QString &accepted() const { return m_accepted; }
    // Returns the text the field must hold after it changed to `text`: the
    // text itself when it parses, else the last accepted text.
    QString changed(const QString &text);
    double value() const;

private:
    QLocale m_locale;
    QString m_accepted;
};

} // namespace letters
