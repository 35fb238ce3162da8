#pragma once
// The print-run controls of the address-book tab: "Печать конвертов"
// (BitBtnPrintCheck) and "Печатать и обратный конв." (CheckBoxObr). The
// button stores the filter in the history, asks for the summary, and prints
// the envelopes of the chosen scope one job each, showing "конверт k из n"
// while the run goes.

#include "envelope/printrun.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QProgressDialog;
class QPushButton;

namespace store {
class Tables;
}

namespace envelope {

class EnvelopePrinter;

// What the run needs of the other pages; the main window provides it.
struct PrintRunSources {
    std::function<void()> addHistoryFilter;                 // the filter in force into the history
    std::function<bool(const QString &kind)> showResume;    // the summary; true to print
    std::function<addressbook::PrintScope()> printScope;    // whom the run serves
    std::function<int()> selectedCount;                     // the marked count
};

class PrintRunPanel : public QWidget {
    Q_OBJECT
public:
    // The button on top, the check box below it (its caption on two lines).
    static constexpr int PreferredWidth = 136;
    static constexpr int PreferredHeight = 66;

    enum class Outcome { Declined, NoneMarked, Printed, Stopped };

    PrintRunPanel(store::Tables &tables, EnvelopePrinter &printer, QWidget *parent = nullptr);
    ~PrintRunPanel() override;

    void setSources(PrintRunSources sources) { m_sources = std::move(sources); }
    bool returnEnvelope() const;

    // The click of "Печать конвертов". A printer that is missing or refuses
    // a job stops the run with a box saying how far it got and which
    // envelope is next, offering to go on from there; the program goes on.
    // A full spooler queue is waited out (the progress window says so and
    // can cancel).
    Outcome BitBtnPrintCheckClick();
    // Envelopes handed to the printer by the last run.
    int lastRunPrinted() const { return m_printed; }

private:
    Outcome runGoingOnAfterStops(const RunOptions &options);
    QString nextRecipientText(const RunResume &at) const;
    bool waitForQueue(int pendingJobs);
    void showProgress(int number, int total);
    void openProgress();
    void closeProgress();
    QString caption() const;

    store::Tables &m_tables;
    EnvelopePrinter &m_printer;
    PrintRunSources m_sources;
    QPushButton *m_print = nullptr;
    QCheckBox *m_return = nullptr;
    QProgressDialog *m_progress = nullptr;
    int m_printed = 0;
    int m_number = 0;  // the envelope being printed, of m_total
    int m_total = 0;
    bool m_running = false;
};

} // namespace envelope
