#include "letters/templatecheck.h"

#include "letters/blankrun.h"
#include "letters/writersession.h"
#include "office/officeerror.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace letters {

namespace {

constexpr int TokensShown = 5;

// "~Кому1~", "~От кого1~" and the other variables that carry the position
// of a form on the sheet; the second capture is the number.
const QRegularExpression &numberedVariable()
{
    static const QRegularExpression re(QStringLiteral("^~(кому|куда|от кого|откуда|резерв[1-6]_)(\\d+)~$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

bool isPlainVariable(const QString &lower)
{
    static const QSet<QString> plain{QStringLiteral("~n~"),    QStringLiteral("~адресат~"),
                                     QStringLiteral("~дата~"), QStringLiteral("~время~"),
                                     QStringLiteral("~сумма прописью~"), QStringLiteral("~сумма~"),
                                     QStringLiteral("~руб~"),  QStringLiteral("~коп~")};
    return plain.contains(lower);
}

// Every "~…~" of the text that reads as a variable, in order: letters,
// digits, "_" and inner blanks between two tildes (a tilde of "около ~5 км"
// starts none).
QStringList tokensOf(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("~[\\p{L}\\p{N}_](?:[\\p{L}\\p{N}_ ]{0,38}[\\p{L}\\p{N}_])?~"));
    QStringList tokens;
    for (auto it = re.globalMatch(text); it.hasNext();)
        tokens << it.next().captured(0);
    return tokens;
}

QString listed(QStringList tokens)
{
    tokens.removeDuplicates();
    QString shown = QStringList(tokens.mid(0, TokensShown)).join(QStringLiteral(", "));
    if (tokens.size() > TokensShown)
        shown += QStringLiteral(" и ещё %1").arg(tokens.size() - TokensShown);
    return shown;
}

} // namespace

QStringList templateFindings(const QString &text, const QString &rowText)
{
    QStringList findings;
    if (text.trimmed().isEmpty()) {
        findings << QStringLiteral("бланк пуст: в нём нет ни текста, ни переменных");
        return findings;
    }
    const QStringList tokens = tokensOf(text);
    QStringList unknown, beyond;
    QList<QPair<QString, int>> numbered;
    int capacity = 0;
    for (const QString &token : tokens) {
        const QRegularExpressionMatch m = numberedVariable().match(token);
        if (!m.hasMatch()) {
            if (!isPlainVariable(token.toLower()))
                unknown << token;
            continue;
        }
        const int index = m.captured(2).toInt();
        if (m.captured(2).startsWith(QLatin1Char('0')) || index < 1) {
            unknown << token;
        } else if (index > MaxFormsPerSheet) {
            beyond << token;
        } else {
            numbered.append({token, index});
            const QString name = m.captured(1).toLower();
            if (name == QStringLiteral("кому") || name == QStringLiteral("от кого"))
                capacity = std::max(capacity, index);
        }
    }
    if (!unknown.isEmpty())
        findings << QStringLiteral("в бланке есть неизвестные переменные: %1 — они напечатаются как есть")
                        .arg(listed(unknown));
    if (!beyond.isEmpty())
        findings << QStringLiteral("индекс больше 20: %1 — такие переменные не заполняются").arg(listed(beyond));
    QStringList above;
    for (const auto &[token, index] : numbered)
        if (index > capacity)
            above << token;
    if (!above.isEmpty())
        findings << QStringLiteral("форм на листе: %1 (по ~Кому…~ и ~От кого…~), а %2 — для формы с большим "
                                   "номером: они не заполнятся")
                        .arg(capacity)
                        .arg(listed(above));

    const bool rowMode = text.contains(RowMarker, Qt::CaseInsensitive);
    if (!rowMode && text.contains(QStringLiteral("~Адресат~"), Qt::CaseInsensitive))
        findings << QStringLiteral("~Адресат~ заполняется только в строке с ~N~, а ~N~ в бланке нет");
    if (rowMode) {
        // Recipient variables the repeated row does not bring back are
        // filled once, with the first recipients' data.
        QStringList rowTokens;
        for (const QString &t : tokensOf(rowText))
            rowTokens << t.toLower();
        QStringList outside;
        for (const auto &[token, index] : numbered) {
            const QString lower = token.toLower();
            if (lower.startsWith(QStringLiteral("~от кого")) || lower.startsWith(QStringLiteral("~откуда")))
                continue;  // the sender is the same for every row
            if (!rowTokens.removeOne(lower))
                outside << token;
        }
        if (!outside.isEmpty())
            findings << QStringLiteral("%1 стоят вне повторяемой строки с ~N~: они заполнятся один раз, "
                                       "данными первых адресатов")
                            .arg(listed(outside));
    }
    return findings;
}

QStringList checkTemplate(WriterSession &session, const QString &templateName)
{
    QString text, row;
    try {
        session.WordOpen(templateName);
        text = session.WordText();
        row = session.WordRowText(RowMarker);
        session.WordFinish(false);
    } catch (const office::OfficeError &e) {
        if (session.isOpen())
            session.WordFinish(false);
        using Kind = office::OfficeError::Kind;
        // An office that is missing or does not start cannot run the blanks
        // either: the caller says so once, without a second wait.
        if (e.kind() == Kind::NotInstalled || e.kind() == Kind::StartFailed)
            throw;
        if (e.kind() == Kind::ConnectionLost)
            return {};
        return {QStringLiteral("бланк не читается: %1").arg(e.message())};
    }
    return templateFindings(text, row);
}

} // namespace letters
