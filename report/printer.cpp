#include "report/printer.h"

#include "report/renderer.h"
#include "report/reporterror.h"

#include "report/oserror.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include <cups/cups.h>

namespace report {

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

namespace {

// The rendered page in a file of the temporary folder, removed again when
// the job has been handed over.
class SpoolFile {
public:
    SpoolFile(const QByteArray &pdf, const QString &printer, const QString &notPrinted)
    {
        m_name = QFile::encodeName(QDir::tempPath() + QStringLiteral("/kuvertix-XXXXXX.pdf"));
        const int fd = ::mkstemps(m_name.data(), 4);
        if (fd < 0)
            fail(errno, printer, notPrinted);
        int error = writeAllBytes(fd, pdf);
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error == 0 && QFileInfo(QFile::decodeName(m_name)).size() != pdf.size())
            error = EIO;
        if (error != 0) {
            ::unlink(m_name.constData());
            fail(error, printer, notPrinted);
        }
    }
    ~SpoolFile() { ::unlink(m_name.constData()); }
    SpoolFile(const SpoolFile &) = delete;
    SpoolFile &operator=(const SpoolFile &) = delete;
    const QByteArray &name() const { return m_name; }

private:
    [[noreturn]] static void fail(int error, const QString &printer, const QString &notPrinted)
    {
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Не удалось подготовить документ к печати во временной папке %1: %2. "
                                         "%3 Освободите место в этой папке и повторите печать.")
                              .arg(QDir::toNativeSeparators(QDir::tempPath()), writeFailureCause(error),
                                   notPrinted),
                          printer);
    }
    QByteArray m_name;
};

ReportPrinter::QueueWait &queueWait()
{
    static ReportPrinter::QueueWait wait;
    return wait;
}

// Jobs the scheduler holds that are not finished yet, on every destination.
int pendingJobs()
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return std::max(count, 0);
}

// The scheduler refused a job as it holds too many unfinished ones; waiting
// for some of them to print makes room.
bool refusedForFullQueue()
{
    return cupsLastError() == IPP_STATUS_ERROR_NOT_POSSIBLE && pendingJobs() > 0;
}

} // namespace

void ReportPrinter::setQueueWait(QueueWait wait)
{
    queueWait() = std::move(wait);
}

// Waits until at least one job fewer is pending than when the job was
// refused. Without a handler it gives up when nothing has printed for a minute.
void ReportPrinter::waitForRoom(const QString &printer) const
{
    const int atRefusal = pendingJobs();
    int pending = atRefusal;
    QElapsedTimer still;
    still.start();
    while (pending >= atRefusal && pending > 0) {
        const QueueWait &wait = queueWait();
        const bool goOn = wait ? wait(pending) : still.elapsed() < 60000;
        if (!goOn)
            throw ReportError(ReportError::Kind::QueueFull,
                              QStringLiteral("Очередь печати переполнена (заданий в очереди: %1), "
                                             "и печать прервана. %2")
                                  .arg(pending)
                                  .arg(m_notPrinted),
                              printer);
        QThread::msleep(200);
        pending = pendingJobs();
    }
}

int ReportPrinter::print(const ReportPage &page, const QString &jobTitle) const
{
    const QString printer = destination();

    // The whole document is rendered first and checked to be complete; only
    // then does it go to a file and, checked again, to the spooler.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        writeReportPagePdf(page, &buffer);
    }
    if (!pdf.trimmed().endsWith("%%EOF"))
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Документ для печати получился неполным. %1").arg(m_notPrinted),
                          printer);
    const SpoolFile file(pdf, printer, m_notPrinted);

    return submit(printer, QFile::decodeName(file.name()), jobTitle, customMediaName(page.sizeMm()));
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
    int job = 0;
    for (;;) {
        job = cupsPrintFile(printer.toUtf8().constData(), QFile::encodeName(pdfPath).constData(),
                            jobTitle.toUtf8().constData(), count, options);
        if (job > 0 || !refusedForFullQueue())
            break;
        try {
            waitForRoom(printer);
        } catch (...) {
            cupsFreeOptions(count, options);
            throw;
        }
    }
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

} // namespace report
