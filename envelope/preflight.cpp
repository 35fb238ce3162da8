#include "envelope/preflight.h"

#include "runs/printscope.h"
#include "envelope/envelopepage.h"
#include "envelope/envelopeprinter.h"
#include "envelope/units.h"
#include "report/renderer.h"
#include "store/cursor.h"

#include <QPdfWriter>

namespace envelope {
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

// "адресат", "адресата", "адресатов" by the number.
QString recipientsWord(int n)
{
    const int lastTwo = n % 100;
    const int last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("адресатов");
    if (last == 1)
        return QStringLiteral("адресата");
    return QStringLiteral("адресатов");
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

EnvelopeFitCheck::EnvelopeFitCheck(const EnvelopeFormat &format, const EnvelopeOptions &options)
    : m_format(format)
{
    buildEnvelopeTemplate(m_page);
    layOutEnvelope(m_page, format, PrintOffset{}, EnvelopeTexts{}, options);
    m_buffer.open(QIODevice::WriteOnly);
    // Laid out as on a printer: outlines without screen hinting.
    m_device = std::make_unique<QPdfWriter>(&m_buffer);
}

EnvelopeFitCheck::~EnvelopeFitCheck() = default;

bool EnvelopeFitCheck::clipped(const QString &object, const QString &text)
{
    report::ReportText &box = m_page.text(object);
    box.setText(text);
    return report::textIsClipped(box, *m_device);
}

unsigned EnvelopeFitCheck::clipping(const QString &name, const QString &address, bool asSender)
{
    unsigned problems = 0;
    if (clipped(asSender ? obj::OtKogo : obj::Komu, name))
        problems |= NameClipped;
    if (clipped(asSender ? obj::OtKuda : obj::Kuda, address))
        problems |= AddressClipped;
    return problems;
}

QStringList EnvelopeFitCheck::boxesOffTheEnvelope() const
{
    QStringList captions;
    for (const QString &name : envelope::boxesOffTheEnvelope(m_page, m_format))
        captions << boxCaption(name);
    return captions;
}

void forEachRunRecipient(const store::Cursor &recipients, runs::PrintScope scope, const VisitRecipient &visit)
{
    const int komu = recipients.fieldIndex(QStringLiteral("Komu"));
    const int kuda = recipients.fieldIndex(QStringLiteral("Kuda"));
    const int index = recipients.fieldIndex(QStringLiteral("Index"));
    if (scope == runs::PrintScope::Current) {
        visit(recipients.asString(QStringLiteral("Komu")), recipients.asString(QStringLiteral("Kuda")),
              recipients.asString(QStringLiteral("Index")));
        return;
    }
    for (const int row : runs::rowsInScope(recipients, scope)) {
        visit(recipients.valueAt(row, komu).toString(), recipients.valueAt(row, kuda).toString(),
              recipients.valueAt(row, index).toString());
    }
}

QList<EnvelopeTexts> runEnvelopeTexts(const store::Cursor &recipients, const RunOptions &run,
                                      const EnvelopeTexts &sender)
{
    QList<EnvelopeTexts> envelopes;
    forEachRunRecipient(recipients, run.scope, [&](const QString &komu, const QString &kuda,
                                                    const QString &index) {
        EnvelopeTexts e = sender;
        e.komu = komu;
        e.kuda = kuda;
        e.index = index;
        envelopes << e;
        if (run.withReturn)
            envelopes << returnEnvelopeOf(e);
    });
    return envelopes;
}

PreflightReport preflightEnvelopes(const store::Cursor &recipients, const RunOptions &run,
                                   const EnvelopeFormat &format, const EnvelopeOptions &options,
                                   const EnvelopeTexts &sender)
{
    PreflightReport report;
    EnvelopeFitCheck fit(format, options);
    if (options.printLogo && options.logo.isNull())
        report.runProblems << QStringLiteral("печать логотипа включена, но картинка не выбрана");
    const QStringList off = fit.boxesOffTheEnvelope();
    if (!off.isEmpty())
        report.runProblems << QStringLiteral("поля за краем конверта: ") + off.join(QStringLiteral(", "));
    if (fit.clipping(sender.otKogo, sender.otKuda, true) != 0
        || (run.withReturn && fit.clipping(sender.otKogo, sender.otKuda) != 0))
        report.runProblems << QStringLiteral("отправитель не помещается в свои поля");

    forEachRunRecipient(recipients, run.scope, [&](const QString &komu, const QString &kuda,
                                                    const QString &index) {
        ++report.recipients;
        unsigned problems = dataProblems(komu, index) | fit.clipping(komu, kuda);
        if (run.withReturn)
            problems |= fit.clipping(komu, kuda, true);
        if (problems)
            report.flagged.append({komu, problems});
    });
    return report;
}

PreflightReport preflightRun(bool envelopes, const store::Cursor &recipients, const RunOptions &run,
                             EnvelopePrinter &printer)
{
    if (!envelopes)
        return preflightBlanks(recipients, run.scope);
    return preflightEnvelopes(recipients, run, printer.chosenFormat(), printer.settingsRowOptions(),
                              printer.settingsRowTexts());
}

PreflightReport preflightBlanks(const store::Cursor &recipients, runs::PrintScope scope)
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

} // namespace envelope
