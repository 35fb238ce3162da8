#pragma once
// The print-run controls wired as the main window wires them: the address
// book's filter, marks and history, the summary in its window, and the
// envelope printer with its output recorded.

#include "addressbook/filterhistory.h"
#include "addressbook/recipientbook.h"
#include "envelope/envelopeprinter.h"
#include "envelope/ui/printrunpanel.h"
#include "runs/ui/summarywindow.h"
#include "tests/support/modal.h"
#include "tests/support/printrunfixture.h"

#include <QCheckBox>
#include <QTextEdit>

namespace printruntest {

class Harness : public Data, public runs::RunHost {
public:
    Harness() : book(tables.Table2, tables.Table2_), printer(tables), panel(tables, printer)
    {
        standardSetup();
        panel.setWindowTitle(QStringLiteral("Kuvertix"));
        panel.setHost(this);
        panel.setOneJobSwitch([this] { return oneJob; });
    }

    runs::RunRequest runRequest(runs::RunKind kind) override
    {
        runs::RunRequest r;
        r.kind = kind;
        r.scope = runs::PrintScope(scope);
        r.selectedCount = book.selectedCount();
        r.filterText = book.filterText();
        r.returnEnvelope = panel.returnEnvelope();
        return r;
    }
    void rememberFilter(const runs::RunRequest &request) override
    {
        addressbook::addHistoryFilter(tables.Table6, request);
    }
    // The summary of the request alone.
    bool confirmRun(const runs::RunRequest &request, const runs::RunSummary &) override
    {
        return runs::ShowResume(QStringLiteral("Kuvertix"), request, tables);
    }

    // Envelopes go through this output; the default records and discards.
    void setOutput(envelope::EnvelopePrinter::Output output)
    {
        printer.setOutput([this, output](const report::ReportPage &page) {
            const int job = output ? output(page) : 0;
            jobs << job;
            return job;
        });
    }

    // Presses "Печать конвертов", answering the summary with button 1
    // (" {FS12}Печатать ") or 2 (" {FS12}Нет ").
    envelope::PrintRunPanel::Outcome click(int answer = 1)
    {
        modal::whenShown(QStringLiteral("TForm1001"), [this, answer](QWidget *window) {
            if (auto *text = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1")))
                summaries << text->toPlainText();
            modal::pressMessageButton(window, answer);
        });
        const auto outcome = panel.BitBtnPrintCheckClick();
        modal::stopPolls();
        return outcome;
    }

    void setReturnEnvelope(bool on)
    {
        panel.findChild<QCheckBox *>(QStringLiteral("CheckBoxObr"))->setChecked(on);
    }

    addressbook::RecipientBook book;
    envelope::EnvelopePrinter printer;
    envelope::PrintRunPanel panel;
    int scope = 0;
    bool oneJob = false;
    QList<int> jobs;
    QStringList summaries;
};

} // namespace printruntest
