#pragma once

#include <QString>

#include <stdexcept>

namespace report {

// Failure to render or print a report page. message() is a Russian text for
// the user (what() holds the same text in UTF-8); kind() says which problem it
// is and printerName() which printer, when a printer is involved.
class ReportError : public std::runtime_error
{
public:
    enum class Kind {
        BadPaperSize,     // zero, negative or absurd paper size
        OutputFailed,     // the PDF could not be written
        NoDefaultPrinter, // no printer installed / no default destination
        SpoolerUnreachable, // the print service does not answer
        JobRefused,       // the printer (spooler) did not accept the job
        QueueFull,        // the spooler's queue stayed full and the wait was given up
    };

    ReportError(Kind kind, const QString &message, const QString &printerName = QString());

    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    const QString &printerName() const { return m_printerName; }

private:
    Kind m_kind;
    QString m_message;
    QString m_printerName;
};

} // namespace report
