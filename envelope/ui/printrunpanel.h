#pragma once
// The print-run controls of the address-book tab: "Печать конвертов"
// (BitBtnPrintCheck), "В PDF" (BitBtnPdf) and "Печатать и обратный конв."
// (CheckBoxObr). The print button stores the filter in the history, asks
// for the summary, and prints the envelopes of the chosen scope one job
// each (or all as one job when the print settings say so), showing
// "конверт k из n" while the run goes. "В PDF" saves the same run as one
// PDF file.

#include "envelope/printrun.h"

#include <QElapsedTimer>
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
struct EnvelopeRun;

// What the run needs of the other pages; the main window provides it.
struct PrintRunSources {
    std::function<void()> addHistoryFilter;                 // the filter in force into the history
    std::function<bool(const QString &kind)> showResume;    // the summary; true to print
    std::function<runs::PrintScope()> printScope;    // whom the run serves
    std::function<int()> selectedCount;                     // the marked count
    std::function<bool()> oneJobPerRun;                     // a run as one job (print settings)
};

class PrintRunPanel : public QWidget {
    Q_OBJECT
public:
    // The two buttons on top of each other, the check box below them (its
    // caption on two lines).
    static constexpr int PreferredWidth = 136;
    static constexpr int PreferredHeight = 86;

    enum class Outcome { Declined, NoneMarked, Printed, Stopped, Saved, Cancelled };

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
    // Envelopes handed to the printer (or saved) by the last run.
    int lastRunPrinted() const { return m_printed; }

    // The click of "В PDF": the run the print button would print, as one
    // PDF file the user names (the file dialog proposes one). A long run
    // shows its progress and can be cancelled; a cancelled or failed run
    // leaves no file under the chosen name.
    Outcome BitBtnPdfClick();
    // How the file is chosen: given the proposed path, the chosen one or
    // empty when cancelled. The default runs the save-file dialog.
    using FileChooser = std::function<QString(const QString &proposed)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    QString lastPdfFile() const { return m_lastPdf; }

private:
    bool startRun(RunOptions &options);
    Outcome runGoingOnAfterStops(const RunOptions &options);
    QString nextRecipientText(const RunResume &at) const;
    bool waitForQueue(int pendingJobs);
    Outcome printAsOneJob(const RunOptions &options);
    // How a run made as one document ended: cancelled, or stopped with the
    // printer's or the file's message, or (neither) done.
    struct DocumentEnd {
        bool cancelled = false;
        QString error;
    };
    // Makes the run as one document (`make` writes it) under a cancellable
    // progress window titled by `action`; `total` is set to the run's
    // envelope count as it becomes known.
    DocumentEnd runAsDocument(const RunOptions &options, const QString &action, int *total,
                              const std::function<void(const EnvelopeRun &)> &make);
    QString choosePdfFile();
    void showProgress(int number, int total);
    // Progress of a run written as one document: repainted a few times a
    // second, with a cancel button; throws RunCancelled once it is pressed.
    void showDocumentProgress(int number, int total, const QString &action);
    // The progress window over the main window, with or without "Отмена";
    // nothing when it is open already.
    void openProgress(bool cancellable = false);
    void closeProgress();
    QString caption() const;

    store::Tables &m_tables;
    EnvelopePrinter &m_printer;
    PrintRunSources m_sources;
    FileChooser m_chooseFile;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
    QCheckBox *m_return = nullptr;
    QProgressDialog *m_progress = nullptr;
    QElapsedTimer m_sinceRepaint;
    QString m_lastPdf;
    int m_printed = 0;
    int m_number = 0;  // the envelope being printed, of m_total
    int m_total = 0;
    bool m_running = false;
};

} // namespace envelope
