#include "letters/blankrun.h"

#include "letters/amountinwords.h"
#include "store/cursor.h"

#include <cmath>

namespace letters {

namespace {

QString numbered(const char *name, int i)
{
    return QStringLiteral("~%1%2~").arg(QString::fromUtf8(name)).arg(i);
}

// The long time format of the regional settings: hours, minutes and seconds,
// without the time zone Qt's long format adds.
QString longTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString wordLiteral(const QString &text)
{
    QString literal = text;
    return literal.replace(QLatin1Char('^'), QStringLiteral("^^"));
}

BlankRecipient blankRecipientOf(const store::Cursor &recipients)
{
    BlankRecipient r;
    r.komu = recipients.asString(QStringLiteral("Komu"));
    r.kuda = recipients.asString(QStringLiteral("Kuda"));
    r.index = recipients.asString(QStringLiteral("Index"));
    for (int i = 0; i < 6; ++i)
        r.reserv[i] = recipients.asString(QStringLiteral("Reserv%1").arg(i + 1));
    return r;
}

BlankSender blankSenderOf(const store::Cursor &settings)
{
    return BlankSender{settings.asString(QStringLiteral("OtKogo")), settings.asString(QStringLiteral("OtKuda")),
                       settings.asString(QStringLiteral("OtIndex"))};
}

SumTexts sumTexts(double sum, const QLocale &locale)
{
    const double whole = std::trunc(sum);
    // The kopecks: the fraction times 100, a half to the even number (the
    // default rounding of the floating-point unit).
    const QString kopecks = QString::number(std::nearbyint((sum - whole) * 100), 'f', 0);
    SumTexts t;
    t.inWords = AmountInWords(sum);
    t.figures = QString::number(sum, 'f', 2).replace(QLatin1Char('.'), locale.decimalPoint());
    t.roubles = QString::number(whole, 'f', 0);
    t.kopecks = kopecks.size() == 1 ? QLatin1Char('0') + kopecks : kopecks;
    return t;
}

std::vector<std::pair<QString, QString>> formVariables(int i, const BlankRecipient &r, const BlankSender &s,
                                                       const QDateTime &now, const SumTexts &sum,
                                                       const QLocale &locale)
{
    std::vector<std::pair<QString, QString>> v;
    v.emplace_back(numbered("Кому", i), wordLiteral(r.komu));
    v.emplace_back(numbered("Куда", i), wordLiteral(r.index + QLatin1Char(' ') + r.kuda));
    v.emplace_back(numbered("От кого", i), wordLiteral(s.otKogo));
    v.emplace_back(numbered("Откуда", i), wordLiteral(s.otIndex + QLatin1Char(' ') + s.otKuda));
    for (int k = 0; k < 6; ++k)
        v.emplace_back(QStringLiteral("~Резерв%1_%2~").arg(k + 1).arg(i), wordLiteral(r.reserv[k]));
    v.emplace_back(QStringLiteral("~Дата~"), locale.toString(now.date(), QLocale::ShortFormat));
    v.emplace_back(QStringLiteral("~Время~"), locale.toString(now.time(), longTimeFormat(locale)));
    v.emplace_back(QStringLiteral("~Сумма прописью~"), sum.inWords);
    v.emplace_back(QStringLiteral("~Сумма~"), sum.figures);
    v.emplace_back(QStringLiteral("~Руб~"), sum.roubles);
    v.emplace_back(QStringLiteral("~Коп~"), sum.kopecks);
    return v;
}

int sheetCapacity(WordSession &word)
{
    int capacity = 0;
    for (const char *name : {"Кому", "От кого"})
        for (int i = 1; i <= MaxFormsPerSheet; ++i)
            if (i > capacity && word.WordContains(numbered(name, i)))
                capacity = i;
    return capacity;
}

BlankRun::BlankRun(WordSession &word, Sources sources) : m_word(word), m_sources(std::move(sources)) {}

void BlankRun::prepare()
{
    m_capacity = sheetCapacity(m_word);
    m_rowMode = m_word.WordContains(RowMarker);
    m_position = 0;
    m_number = 0;
}

void BlankRun::printSheet()
{
    m_word.WordFinish(true);
    ++m_sheetsPrinted;
}

void BlankRun::FillBlank(const store::Cursor &recipients)
{
    ++m_position;
    ++m_number;
    if (m_position > m_capacity) {
        m_position = 1;
        if (m_capacity != 0 && !m_rowMode) {
            printSheet();
            m_word.WordOpen(m_sources.templateName);
        }
    }
    const BlankRecipient r = blankRecipientOf(recipients);
    if (m_rowMode) {
        m_word.WordCopyRow(RowMarker);
        m_word.WordReplace(RowMarker, QString::number(m_number));
        m_word.WordReplace(QStringLiteral("~Адресат~"),
                           wordLiteral(r.komu) + QStringLiteral("^p") + wordLiteral(r.index + QLatin1Char(' ') + r.kuda));
    }
    const SumTexts sum = sumTexts(m_sources.sum, m_sources.locale);
    for (const auto &[variable, value] :
         formVariables(m_position, r, m_sources.sender, m_sources.now(), sum, m_sources.locale))
        m_word.WordReplace(variable, value);
    if (m_rowMode)
        m_word.WordAddRow();
}

void BlankRun::finish()
{
    printSheet();
}

int BlankRun::run(store::Cursor &recipients, runs::PrintScope scope)
{
    prepare();
    const int filled = runs::walkScope(recipients, scope,
                                              [this](store::Cursor &row, int, int) { FillBlank(row); });
    finish();
    return filled;
}

} // namespace letters
