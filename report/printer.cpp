#include "report/printer.h"

#include "report/renderer.h"
#include "report/reporterror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cups/cups.h>

namespace {

// Whether the scheduler answers at all: libcups reports a missing scheduler
// like a missing default ("No default destination"), so ask it directly.
bool spoolerUnreachable()
{
    if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return true;
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                1, 5000, nullptr);
    if (!http)
        return true;
    httpClose(http);
    return false;
}

[[noreturn]] void throwSpoolerUnreachable(const QString &printer, const QString &notPrinted)
{
    throw ReportError(ReportError::Kind::SpoolerUnreachable,
                      QStringLiteral("Служба печати не отвечает (%1). %2 "
                                     "Проверьте, что служба печати запущена, и повторите печать.")
                          .arg(QString::fromUtf8(cupsServer()), notPrinted),
                      printer);
}

// The spooler's reason for the last failure, as a clause inside a sentence.
QString lastCupsReason()
{
    QString reason = QString::fromUtf8(cupsLastErrorString()).trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

// The size as the spooler names a custom medium, e.g. "Custom.220x110mm".
QByteArray customMediaName(const QSizeF &paperMm)
{
    return "Custom." + QByteArray::number(paperMm.width(), 'g', 10) + 'x'
        + QByteArray::number(paperMm.height(), 'g', 10) + "mm";
}

} // namespace

ReportPrinter::ReportPrinter(const QString &printerName) : m_printerName(printerName) {}

QString ReportPrinter::defaultPrinterName()
{
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return QString();
    const QString name = QString::fromUtf8(dest->name);
    cupsFreeDests(1, dest);
    return name;
}

QString ReportPrinter::destination() const
{
    if (!m_printerName.isEmpty())
        return m_printerName;
    const QString name = defaultPrinterName();
    if (!name.isEmpty())
        return name;
    if (spoolerUnreachable())
        throwSpoolerUnreachable(QString(), m_notPrinted);
    throw ReportError(ReportError::Kind::NoDefaultPrinter,
                      QStringLiteral("Принтер не установлен: в системе нет принтера по умолчанию. "
                                     "%1 Установите принтер или выберите "
                                     "принтер по умолчанию и повторите печать.")
                          .arg(m_notPrinted));
}

int ReportPrinter::print(const ReportPage &page, const QString &jobTitle) const
{
    const QString printer = destination();

    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/kuvertix-XXXXXX.pdf"));
    if (!file.open())
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Не удалось создать временный файл для печати: %1.")
                              .arg(file.errorString()),
                          printer);
    writeReportPagePdf(page, &file);
    file.close();

    return submit(printer, file.fileName(), jobTitle, customMediaName(page.sizeMm()));
}

int ReportPrinter::printPdf(const QString &pdfPath, const QString &jobTitle) const
{
    return submit(destination(), pdfPath, jobTitle, QByteArray());
}

int ReportPrinter::printPdf(const QString &pdfPath, const QSizeF &paperMm, const QString &jobTitle) const
{
    return submit(destination(), pdfPath, jobTitle, customMediaName(paperMm));
}

int ReportPrinter::submit(const QString &printer, const QString &pdfPath, const QString &jobTitle,
                          const QByteArray &media) const
{
    cups_option_t *options = nullptr;
    int count = 0;
    if (!media.isEmpty())
        count = cupsAddOption("media", media.constData(), count, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);
    const int job = cupsPrintFile(printer.toUtf8().constData(),
                                  QFile::encodeName(pdfPath).constData(),
                                  jobTitle.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job > 0)
        return job;
    if (spoolerUnreachable())
        throwSpoolerUnreachable(printer, m_notPrinted);
    throw ReportError(ReportError::Kind::JobRefused,
                      QStringLiteral("Принтер «%1» не принял задание печати: %2. %3")
                          .arg(printer, lastCupsReason(), m_notPrinted),
                      printer);
}
