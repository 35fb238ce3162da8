#include "report/pdfdocument.h"

#include "report/renderer.h"
#include "report/reporterror.h"

#ifdef __GLIBC__
#include <malloc.h>

namespace report {
#endif

namespace {

void requireUsablePaper(const ReportPage &page)
{
    const QString problem = page.paperProblem();
    if (!problem.isEmpty())
        throw ReportError(ReportError::Kind::BadPaperSize, problem);
}

} // namespace

ReportPdfDocument::ReportPdfDocument(QIODevice *device) : m_writer(device)
{
    m_writer.setCreator(QStringLiteral("Kuvertix"));
}

ReportPdfDocument::~ReportPdfDocument()
{
    if (m_painter.isActive())
        m_painter.end();
}

void ReportPdfDocument::addPage(const ReportPage &page)
{
    requireUsablePaper(page);
    // A layout set while painting applies from the next page on.
    if (m_pages == 0 || page.sizeMm() != m_paperMm)
        m_writer.setPageLayout(reportPageLayout(page));
    m_paperMm = page.sizeMm();
    if (m_pages == 0) {
        if (!m_painter.begin(&m_writer))
            throw ReportError(ReportError::Kind::OutputFailed,
                              QStringLiteral("Не удалось начать файл PDF с конвертами."));
    } else if (!m_writer.newPage()) {
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Не удалось добавить страницу в файл PDF."));
    }
    paintReportPage(page, m_painter);
    ++m_pages;
}

void ReportPdfDocument::finish()
{
    if (m_painter.isActive())
        m_painter.end();
}

void keepFreedMemoryForPdfPages()
{
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
#endif
}

} // namespace report
