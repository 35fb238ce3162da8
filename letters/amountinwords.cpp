#include "letters/amountinwords.h"

#include <QStringList>
#include <cmath>

namespace letters {

namespace {

// Every word ends with one blank so that words join by concatenation.
const char *const unitsMasculine[20] = {
    "", "один ", "два ", "три ", "четыре ", "пять ", "шесть ", "семь ", "восемь ", "девять ",
    "десять ", "одиннадцать ", "двенадцать ", "тринадцать ", "четырнадцать ", "пятнадцать ",
    "шестнадцать ", "семнадцать ", "восемнадцать ", "девятнадцать "};

const char *const tens[10] = {
    "", "", "двадцать ", "тридцать ", "сорок ", "пятьдесят ",
    "шестьдесят ", "семьдесят ", "восемьдесят ", "девяносто "};

const char *const hundreds[10] = {
    "", "сто ", "двести ", "триста ", "четыреста ",
    "пятьсот ", "шестьсот ", "семьсот ", "восемьсот ", "девятьсот "};

// Forms of the scale word of each group of three digits: after 1, after
// 2..4, and otherwise.
struct ScaleForms {
    const char *one;
    const char *few;
    const char *many;
};

const ScaleForms scales[] = {
    {"рубль ", "рубля ", "рублей "},
    {"тысяча ", "тысячи ", "тысяч "},
    {"миллион ", "миллиона ", "миллионов "},
    {"миллиард ", "миллиарда ", "миллиардов "},
    {"триллион ", "триллиона ", "триллионов "},
    {"квадриллион ", "квадриллиона ", "квадриллионов "},
    {"квинтиллион ", "квинтиллиона ", "квинтиллионов "},
};
constexpr int groupCount = int(sizeof scales / sizeof scales[0]);

constexpr int thousandsGroup = 1;

QString unitWord(int n, int group)
{
    if (group == thousandsGroup && n == 1)
        return QStringLiteral("одна ");
    if (group == thousandsGroup && n == 2)
        return QStringLiteral("две ");
    return QString::fromUtf8(unitsMasculine[n]);
}

// The form index runs 0..19: 1 is singular, 2..4 "few", the rest plural.
QString scaleWord(int group, int index)
{
    const ScaleForms &s = scales[group];
    if (index == 1)
        return QString::fromUtf8(s.one);
    if (index >= 2 && index <= 4)
        return QString::fromUtf8(s.few);
    return QString::fromUtf8(s.many);
}

int formIndex(int t, int u) { return t >= 2 ? u : 10 * t + u; }

QString groupText(int h, int t, int u, int group)
{
    QString text;
    if (t >= 2) {
        text = QString::fromUtf8(tens[t]) + unitWord(u, group) + scaleWord(group, u);
    } else {
        const int n = 10 * t + u;
        if (group == 0 || h != 0 || n != 0)
            text = unitWord(n, group) + scaleWord(group, n);
    }
    return QString::fromUtf8(hundreds[h]) + text;
}

int digit(QChar c) { return c.unicode() - '0'; }

QString roublesInWords(QString s)
{
    if (s == QLatin1String("0"))
        return QStringLiteral("ноль рублей ");
    while (s.size() % 3 != 0)
        s.prepend(QLatin1Char('0'));
    QString result;
    const int groups = int(s.size() / 3);
    for (int g = 0; g < groups; ++g) {
        const int at = int(s.size()) - 3 * (g + 1);
        result.prepend(groupText(digit(s[at]), digit(s[at + 1]), digit(s[at + 2]), g));
    }
    return result;
}

// Beyond the named scales the roubles are given in figures with the
// rouble word in its proper form.
QString roublesInFigures(const QString &s)
{
    const int t = digit(s[s.size() - 2]);
    const int u = digit(s[s.size() - 1]);
    return s + QLatin1Char(' ') + scaleWord(0, formIndex(t, u));
}

QString kopeckWord(const QString &k)
{
    const int index = formIndex(digit(k[0]), digit(k[1]));
    if (index == 1)
        return QStringLiteral("копейка");
    if (index >= 2 && index <= 4)
        return QStringLiteral("копейки");
    return QStringLiteral("копеек");
}

// Adds one to a string of decimal digits; returns whether it overflowed.
bool incrementDigits(QString &digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = QLatin1Char('0');
    }
    return true;
}

} // namespace

QString amountFigures(double magnitude)
{
    // 18 significant digits: d.ddddddddddddddddde±XX
    const QString sci = QString::number(std::fabs(magnitude), 'e', 17);
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    const QString mantissa = sci.left(ePos).remove(QLatin1Char('.'));
    const int exponent = sci.mid(ePos + 1).toInt();

    // Place the decimal point exponent+1 digits into the mantissa.
    const int pointAt = exponent + 1;
    QString whole;
    QString fraction;
    if (pointAt <= 0) {
        whole = QStringLiteral("0");
        fraction = QString(-pointAt, QLatin1Char('0')) + mantissa;
    } else if (pointAt >= mantissa.size()) {
        whole = mantissa + QString(pointAt - mantissa.size(), QLatin1Char('0'));
    } else {
        whole = mantissa.left(pointAt);
        fraction = mantissa.mid(pointAt);
    }
    while (fraction.size() < 3)
        fraction += QLatin1Char('0');

    QString kept = whole + fraction.left(2);
    if (fraction[2] >= QLatin1Char('5') && incrementDigits(kept))
        kept.prepend(QLatin1Char('1'));
    QString roubles = kept.left(kept.size() - 2);
    while (roubles.size() > 1 && roubles[0] == QLatin1Char('0'))
        roubles.remove(0, 1);
    return roubles + QLatin1Char('.') + kept.right(2);
}

QString AmountInWords(double amount)
{
    if (!std::isfinite(amount))
        return {};
    const QString figures = amountFigures(amount);
    const qsizetype point = figures.indexOf(QLatin1Char('.'));
    const QString roubles = figures.left(point);
    const QString kopecks = figures.mid(point + 1, 2);

    QString text = roubles.size() <= 3 * groupCount ? roublesInWords(roubles)
                                                    : roublesInFigures(roubles);
    text += kopecks + QLatin1Char(' ') + kopeckWord(kopecks);

    const bool isZero = figures == QLatin1String("0.00");
    if (amount < 0 && !isZero)
        return QStringLiteral("Минус ") + text;
    text[0] = text[0].toUpper();
    return text;
}

} // namespace letters
