#pragma once
// The word session over LibreOffice Writer: one private office for the whole
// blank run (documents open and close per sheet, the office stays), the
// template loaded hidden and read-only, and every printed document exported
// to PDF and handed to the spooler by the program itself, one job each, as
// envelopes are.

#include "office/officeprocess.h"
#include "letters/wordsession.h"
#include "report/printer.h"

#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <QList>
#include <QSet>
#include <QStringList>

#include <vector>

namespace letters {

class WriterSession : public WordSession {
public:
    // programFolder ends with the path separator; relative template names are
    // taken from it. Nothing starts before the first WordOpen.
    WriterSession(QString programFolder, report::ReportPrinter printer,
                  QString officeProgram = office::officeExecutable());
    // Closes the document and ends the office.
    ~WriterSession() override;

    // Starts the office when it is not running yet. Throws office::OfficeError
    // (NotInstalled, StartFailed, ConnectionLost, DocumentUnreadable) and
    // OperationFailed when a document is open already.
    void WordOpen(const QString &name) override;
    void WordReplace(const QString &text, const QString &replacement) override;
    bool WordContains(const QString &text) override;
    void WordCopyRow(const QString &marker) override;
    void WordAddRow() override;
    void WordDeleteRow(const QString &marker) override;
    // Also throws ReportError when the spooler does not take the job; the
    // document is closed in any case.
    void WordFinish(bool print) override;

    // The text of the open document: every paragraph the search reaches
    // (body, tables, headers and footers, frames) and the drawing shapes'
    // texts, one a line.
    QString WordText();
    // The texts of the cells of the table row holding the marker; empty when
    // the marker stands in no table.
    QString WordRowText(const QString &marker);

    // Closes the document without printing and ends the office; never throws.
    void end() noexcept;

    // From now on a sheet to print is exported as a PDF file into the folder
    // instead (sheet-0001.pdf, ...), for a run saved as one file; an empty
    // folder prints again.
    void collectSheetsIn(const QString &folder);
    // The sheets exported so far, in order.
    const QStringList &sheetFiles() const { return m_sheetFiles; }

    bool isOpen() const { return m_document.is(); }
    // The spooler's numbers of the jobs printed, in order.
    const QList<int> &jobs() const { return m_jobs; }
    office::OfficeProcess &office() { return m_office; }

private:
    void requireDocument() const;
    void forgetRow();
    // Closes the document without saving; never throws.
    void forgetDocument() noexcept;
    // Runs a row operation; the office's refusals are swallowed, its loss is not.
    template <class F>
    void rowOperation(F &&f);

    QString m_programFolder;
    report::ReportPrinter m_printer;
    office::OfficeProcess m_office;
    css::uno::Reference<css::lang::XComponent> m_document;
    // The texts of the document's drawing shapes, which its search misses.
    std::vector<css::uno::Reference<css::text::XText>> m_shapes;
    QString m_documentName;
    QStringList m_repeatList;
    bool m_rowCopied = false;
    css::uno::Reference<css::text::XTextTable> m_rowTable;
    int m_rowIndex = -1;
    css::uno::Reference<css::datatransfer::XTransferable> m_row;
    QList<int> m_jobs;
    QString m_sheetFolder;
    QStringList m_sheetFiles;
    // Replacing a text the template does not hold costs a call to the
    // office for every form; it is skipped once the template is known not to
    // hold it. A text that never matched in a document opened from the
    // template is absent from the template (user data is inserted
    // literally, so only a repeated row can bring placeholders back).
    QString m_templatePath;
    QSet<QString> m_absent;   // lower case
    QSet<QString> m_present;  // lower case: matched at least once
};

} // namespace letters
