#pragma once

#include "report/page.h"

#include <QString>
#include <functional>

namespace report {

// Prints report pages on a CUPS destination, one job of one page per call,
// without any dialog. The page goes to the spooler as Qt's own PDF of exactly
// the paper size (custom width x height mm, no margins).
class ReportPrinter
{
public:
    // An empty name means the system's default destination, looked up on
    // every print (so a printer installed while the program runs is found).
    explicit ReportPrinter(const QString &printerName = QString());

    // The name of the system's default destination, empty when there is none.
    static QString defaultPrinterName();

    // The printer this object prints to now: the given name, or the current
    // default destination. Throws ReportError(NoDefaultPrinter) when empty.
    QString destination() const;

    // Submits the page as one job; returns the spooler's job number. The
    // page is rendered and written completely before it is submitted. While
    // the spooler refuses jobs because it holds too many unfinished ones, it
    // waits for them to print and tries again.
    // Throws ReportError: BadPaperSize, OutputFailed, NoDefaultPrinter,
    // SpoolerUnreachable, JobRefused or QueueFull (carrying the printer's name).
    int print(const ReportPage &page, const QString &jobTitle = QStringLiteral("Kuvertix")) const;

    // Submits a PDF made elsewhere (a filled blank) as one job, its pages at
    // their own size; returns the job number. Throws ReportError as print().
    int printPdf(const QString &pdfPath, const QString &jobTitle) const;
    // Submits a PDF of many pages of one paper size (a whole envelope run)
    // as one job, asking for that paper as print() does for one page.
    int printPdf(const QString &pdfPath, const QSizeF &paperMm, const QString &jobTitle) const;

    // The sentence errors end with, saying what was not printed; envelopes
    // by default.
    void setNotPrintedText(const QString &text) { m_notPrinted = text; }

    // Called about five times a second while print() waits for room in a
    // full queue, with the number of unfinished jobs; returning false gives
    // up (print() throws QueueFull). Without one, print() waits as long as
    // the queue moves. One for the program: every print run shares it.
    using QueueWait = std::function<bool(int pendingJobs)>;
    static void setQueueWait(QueueWait wait);

private:
    // Hands a ready PDF to the spooler with the given options, waiting for
    // room while the queue is full.
    int submit(const QString &printer, const QString &pdfPath, const QString &jobTitle,
               const QByteArray &media) const;
    void waitForRoom(const QString &printer) const;

    QString m_printerName;
    QString m_notPrinted = QStringLiteral("Конверт не напечатан.");
};

} // namespace report
