#pragma once
// The sum of money typed for the blank forms. The field always holds a text
// the number parser of the system's regional format accepts: a change that
// does not parse is taken back at once. Either "," or "." is taken for the
// decimal separator (the keypad's key gives "." whatever the layout); the
// field shows the locale's one.

#include <QLocale>
#include <QString>

namespace letters {

// The text with its one decimal separator, "," or ".", written as the
// locale's; a text with more than one of them is returned as it is (and
// does not parse).
QString withLocaleSeparator(const QString &text, const QLocale &locale);

// Parses a sum with "," or "." as the decimal separator, sign and exponent,
// no group separators. Infinite and not-a-number values are refused. The
// sum field and the command line's --sum read it so.
bool parseSum(const QString &text, const QLocale &locale, double *value = nullptr);

// The sum a text gives: 0 when it does not parse.
double sumValue(const QString &text, const QLocale &locale);

// Zero as the field first shows it: "0,00" with a Russian locale.
QString zeroSumText(const QLocale &locale);

// The rule of the sum field: the last accepted text and what the field must
// show after a change.
class SumEntry {
public:
    explicit SumEntry(const QLocale &locale = QLocale());
    const QString &accepted() const { return m_accepted; }
    // Returns the text the field must hold after it changed to `text`: the
    // text with the locale's separator when it parses, else the last
    // accepted text.
    QString changed(const QString &text);
    double value() const;

private:
    QLocale m_locale;
    QString m_accepted;
};

} // namespace letters
