#include "envelope/preflight.h"

#include "envelope/envelopepage.h"
#include "envelope/envelopeprinter.h"
#include "envelope/units.h"
#include "report/renderer.h"
#include "store/cursor.h"

#include <QPdfWriter>

namespace envelope {

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
        problems |= runs::NameClipped;
    if (clipped(asSender ? obj::OtKuda : obj::Kuda, address))
        problems |= runs::AddressClipped;
    return problems;
}

QStringList EnvelopeFitCheck::boxesOffTheEnvelope() const
{
    QStringList captions;
    for (const QString &name : envelope::boxesOffTheEnvelope(m_page, m_format))
        captions << boxCaption(name);
    return captions;
}

QList<EnvelopeTexts> runEnvelopeTexts(const store::Cursor &recipients, const RunOptions &run,
                                      const EnvelopeTexts &sender)
{
    QList<EnvelopeTexts> envelopes;
    runs::forEachRunRecipient(recipients, run.scope, [&](const QString &komu, const QString &kuda,
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

runs::PreflightReport preflightEnvelopes(const store::Cursor &recipients, const RunOptions &run,
                                         const EnvelopeFormat &format, const EnvelopeOptions &options,
                                         const EnvelopeTexts &sender)
{
    runs::PreflightReport report;
    EnvelopeFitCheck fit(format, options);
    if (options.printLogo && options.logo.isNull())
        report.runProblems << QStringLiteral("печать логотипа включена, но картинка не выбрана");
    const QStringList off = fit.boxesOffTheEnvelope();
    if (!off.isEmpty())
        report.runProblems << QStringLiteral("поля за краем конверта: ") + off.join(QStringLiteral(", "));
    if (fit.clipping(sender.otKogo, sender.otKuda, true) != 0
        || (run.withReturn && fit.clipping(sender.otKogo, sender.otKuda) != 0))
        report.runProblems << QStringLiteral("отправитель не помещается в свои поля");

    runs::forEachRunRecipient(recipients, run.scope, [&](const QString &komu, const QString &kuda,
                                                         const QString &index) {
        ++report.recipients;
        unsigned problems = runs::dataProblems(komu, index) | fit.clipping(komu, kuda);
        if (run.withReturn)
            problems |= fit.clipping(komu, kuda, true);
        if (problems)
            report.flagged.append({komu, problems});
    });
    return report;
}

runs::PreflightReport preflightEnvelopeRun(const store::Cursor &recipients, const RunOptions &run,
                                           EnvelopePrinter &printer)
{
    return preflightEnvelopes(recipients, run, printer.chosenFormat(), printer.settingsRowOptions(),
                              printer.settingsRowTexts());
}

} // namespace envelope
