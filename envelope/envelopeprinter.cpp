#include "envelope/envelopeprinter.h"

#include "envelope/envelopepage.h"
#include "report/printer.h"
#include "report/reporterror.h"
#include "store/tables.h"

namespace envelope {

EnvelopePrinter::EnvelopePrinter(store::Tables &tables)
    : m_tables(tables), m_page(std::make_unique<report::ReportPage>()), m_output(spoolerOutput()),
      m_documentOutput(spoolerDocumentOutput())
{
    buildEnvelopeTemplate(*m_page);
}

EnvelopePrinter::~EnvelopePrinter() = default;

EnvelopePrinter::Output EnvelopePrinter::spoolerOutput()
{
    return [](const report::ReportPage &page) {
        return report::ReportPrinter().print(page, QStringLiteral("Kuvertix: конверт"));
    };
}

EnvelopePrinter::DocumentOutput EnvelopePrinter::spoolerDocumentOutput()
{
    return [](const QString &pdfFile, const QSizeF &paperMm) {
        return report::ReportPrinter().printPdf(pdfFile, paperMm, QStringLiteral("Kuvertix: конверты"));
    };
}

void EnvelopePrinter::printDocument(const QString &pdfFile)
{
    m_lastJob = 0;
    m_lastJob = m_documentOutput(pdfFile, m_page->sizeMm());
}

EnvelopeOptions EnvelopePrinter::settingsRowOptions() const
{
    const store::Cursor &settings = m_tables.Table1;
    EnvelopeOptions options;
    options.typKonv = settings.asInteger(QStringLiteral("TypKonv"));
    options.printLogo = settings.asBoolean(QStringLiteral("PrintLogo"));
    options.printZipCode = settings.asBoolean(QStringLiteral("PrintZIPcode"));
    options.printComment = settings.asBoolean(QStringLiteral("PrintKonvertComment"));
    options.comment = settings.asString(QStringLiteral("KonvertComment"));
    options.font = m_font;
    options.logo = m_logo;
    return options;
}

EnvelopeTexts EnvelopePrinter::settingsRowTexts() const
{
    const store::Cursor &s = m_tables.Table1;
    return EnvelopeTexts{s.asString(QStringLiteral("Komu")),   s.asString(QStringLiteral("Kuda")),
                         s.asString(QStringLiteral("Index")),  s.asString(QStringLiteral("OtKogo")),
                         s.asString(QStringLiteral("OtKuda")), s.asString(QStringLiteral("OtIndex"))};
}

EnvelopeFormat EnvelopePrinter::chosenFormat()
{
    return findEnvelopeFormat(m_tables.Table4, m_tables.Table1.asInteger(QStringLiteral("N_Konvert")));
}

void EnvelopePrinter::layOut(const EnvelopeTexts &texts)
{
    const store::Cursor &settings = m_tables.Table1;
    const EnvelopeFormat format = chosenFormat();
    const PrintOffset offset =
        findPrintOffset(m_tables.Table5, settings.asInteger(QStringLiteral("Printer")));
    layOutEnvelope(*m_page, format, offset, texts, settingsRowOptions());
}

void EnvelopePrinter::PrintKonvert(const EnvelopeTexts &texts)
{
    layOut(texts);
    m_lastJob = 0;
    // A format with a zero or negative size is said so, whatever the output.
    const QString problem = m_page->paperProblem();
    if (!problem.isEmpty())
        throw report::ReportError(report::ReportError::Kind::BadPaperSize, problem);
    m_lastJob = m_output(*m_page);
}

void EnvelopePrinter::printFromSettingsRow()
{
    PrintKonvert(settingsRowTexts());
}

} // namespace envelope
