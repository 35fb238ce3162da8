#include "runs/preflight.h"

#include "runs/numerals.h"
#include "store/cursor.h"

namespace runs {
namespace {

// Names shown in the summary, and how much of each.
constexpr int NamesShown = 3;
constexpr int NameLengthShown = 40;

QString shownName(const QString &name)
{
    QString shown = name.simplified();
    if (shown.isEmpty())
        return QStringLiteral("(без имени)");
    if (shown.size() > NameLengthShown)
        shown = shown.left(NameLengthShown - 1) + QChar(0x2026);
    shown.replace(QLatin1Char('{'), QLatin1Char('('));
    shown.replace(QLatin1Char('}'), QLatin1Char(')'));
    return shown;
}

QString problemWords(unsigned problems)
{
    QStringList words;
    if (problems & NameClipped)
        words << QStringLiteral("имя не помещается");
    if (problems & AddressClipped)
        words << QStringLiteral("адрес не помещается");
    if (problems & EmptyName)
        words << QStringLiteral("пустое имя");
    if (problems & BadPostalCode)
        words << QStringLiteral("индекс не из шести цифр");
    return words.join(QStringLiteral(", "));
}

// "из 1 адресата", "из 5 адресатов".
QString recipientsWord(int n)
{
    return byNumber(n, QStringLiteral("адресата"), QStringLiteral("адресатов"), QStringLiteral("адресатов"));
}

} // namespace

bool isSixDigitPostalCode(const QString &index)
{
    const QString code = index.trimmed();
    if (code.size() != 6)
        return false;
    for (const QChar c : code)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

unsigned dataProblems(const QString &komu, const QString &index)
{
    unsigned problems = 0;
    if (komu.trimmed().isEmpty())
        problems |= EmptyName;
    if (!isSixDigitPostalCode(index))
        problems |= BadPostalCode;
    return problems;
}

void forEachRunRecipient(const store::Cursor &recipients, PrintScope scope, const VisitRecipientTexts &visit)
{
    const int komu = recipients.fieldIndex(QStringLiteral("Komu"));
    const int kuda = recipients.fieldIndex(QStringLiteral("Kuda"));
    const int index = recipients.fieldIndex(QStringLiteral("Index"));
    if (scope == PrintScope::Current) {
        visit(recipients.asString(QStringLiteral("Komu")), recipients.asString(QStringLiteral("Kuda")),
              recipients.asString(QStringLiteral("Index")));
        return;
    }
    for (const int row : rowsInScope(recipients, scope)) {
        visit(recipients.valueAt(row, komu).toString(), recipients.valueAt(row, kuda).toString(),
              recipients.valueAt(row, index).toString());
    }
}

PreflightReport preflightBlanks(const store::Cursor &recipients, PrintScope scope)
{
    PreflightReport report;
    forEachRunRecipient(recipients, scope, [&](const QString &komu, const QString &, const QString &index) {
        ++report.recipients;
        if (const unsigned problems = dataProblems(komu, index))
            report.flagged.append({komu, problems});
    });
    return report;
}

QString preflightParagraph(const PreflightReport &report)
{
    if (!report.hasFindings())
        return QString();
    QString s = QStringLiteral("\r\r{FB-}{FC$0000FF} Проверка перед печатью:{F0}");
    for (const QString &problem : report.runProblems)
        s += QStringLiteral(" ") + problem + QLatin1Char(';');
    if (!report.flagged.isEmpty()) {
        s += QStringLiteral(" {FB}замечания у %1 из %2 %3{FB-}: ")
                 .arg(report.flagged.size())
                 .arg(report.recipients)
                 .arg(recipientsWord(report.recipients));
        QStringList shown;
        for (int i = 0; i < report.flagged.size() && i < NamesShown; ++i)
            shown << shownName(report.flagged[i].name) + QStringLiteral(" (")
                         + problemWords(report.flagged[i].problems) + QLatin1Char(')');
        s += shown.join(QStringLiteral("; "));
        if (report.flagged.size() > NamesShown)
            s += QStringLiteral(" и ещё %1").arg(report.flagged.size() - NamesShown);
        s += QLatin1Char('.');
    }
    return s;
}

QStringList preflightLines(const PreflightReport &report)
{
    QStringList lines;
    const QString warning = QStringLiteral("Предупреждение: ");
    for (const QString &problem : report.runProblems)
        lines << warning + problem + QLatin1Char('.');
    for (const FlaggedRecipient &r : report.flagged) {
        const QString name = r.name.simplified();
        lines << warning
                + (name.isEmpty() ? QStringLiteral("адресат без имени") : QStringLiteral("«%1»").arg(name))
                + QStringLiteral(": ") + problemWords(r.problems) + QLatin1Char('.');
    }
    return lines;
}

} // namespace runs
