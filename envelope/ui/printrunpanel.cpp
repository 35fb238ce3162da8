#include "envelope/ui/printrunpanel.h"

#include "envelope/envelopeprinter.h"
#include "envelope/preflight.h"
#include "envelope/rundocument.h"
#include "messages/ui/notices.h"
#include "messages/ui/placecentered.h"
#include "report/printer.h"
#include "report/reporterror.h"
#include "runs/numerals.h"
#include "runs/printscope.h"
#include "store/tables.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace envelope {

namespace {

// A check box whose caption wraps onto a second line when the box is
// narrower than the caption; the whole box takes clicks.
class WrappingCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
        option.rect = QRect(indicator.left(), (height() - indicator.height()) / 2, indicator.width(),
                            indicator.height());
        painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(option.rect.right() + 6, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    }
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace

PrintRunPanel::PrintRunPanel(store::Tables &tables, EnvelopePrinter &printer, QWidget *parent)
    : QWidget(parent), m_tables(tables), m_printer(printer)
{
    setObjectName(QStringLiteral("PrintRunPanel"));
    resize(PreferredWidth, PreferredHeight);

    m_print = new QPushButton(QStringLiteral("Печать конвертов"), this);
    m_print->setObjectName(QStringLiteral("BitBtnPrintCheck"));
    m_print->setGeometry(0, 0, PreferredWidth, 26);
    connect(m_print, &QPushButton::clicked, this, [this] { BitBtnPrintCheckClick(); });

    m_pdf = new QPushButton(QStringLiteral("В PDF"), this);
    m_pdf->setObjectName(QStringLiteral("BitBtnPdf"));
    m_pdf->setToolTip(QStringLiteral("Сохранить конверты в один файл PDF, по странице на конверт"));
    m_pdf->setGeometry(0, 28, PreferredWidth, 24);
    connect(m_pdf, &QPushButton::clicked, this, [this] { BitBtnPdfClick(); });

    m_return = new WrappingCheckBox(QStringLiteral("Печатать и обратный конв."), this);
    m_return->setObjectName(QStringLiteral("CheckBoxObr"));
    m_return->setGeometry(2, 52, PreferredWidth - 2, 34);
}

PrintRunPanel::~PrintRunPanel() = default;

bool PrintRunPanel::returnEnvelope() const
{
    return m_return->isChecked();
}

QString PrintRunPanel::caption() const
{
    return window()->windowTitle();
}

// The envelope part of the summary: the print font and the check boxes of
// the settings row, and the check of the run's recipients.
runs::RunSummary PrintRunPanel::runSummary(const RunOptions &options)
{
    const PrintFont &font = m_printer.printFont();
    runs::RunSummary summary;
    summary.screen.font = {font.family, font.pointSize(), font.bold, font.italic};
    summary.screen.printLogo = m_tables.Table1.asBoolean(QStringLiteral("PrintLogo"));
    summary.screen.printZipCode = m_tables.Table1.asBoolean(QStringLiteral("PrintZIPcode"));
    summary.screen.printComment = m_tables.Table1.asBoolean(QStringLiteral("PrintKonvertComment"));
    summary.findings = runs::preflightParagraph(preflightEnvelopeRun(m_tables.Table2, options, m_printer));
    return summary;
}

PrintRunPanel::Outcome PrintRunPanel::BitBtnPrintCheckClick()
{
    // The progress window keeps painting between envelopes; a second click
    // arriving meanwhile must not start a run inside the run.
    if (m_running || !m_host)
        return Outcome::Declined;
    m_printed = 0;
    const runs::RunRequest request = m_host->runRequest(runs::RunKind::Envelope);
    const RunOptions options = runOptionsOf(request);
    const runs::RunStart start = runs::startRun(this, *m_host, request, runSummary(options));
    if (start != runs::RunStart::Go)
        return start == runs::RunStart::Declined ? Outcome::Declined : Outcome::NoneMarked;
    if (m_oneJob && m_oneJob())
        return printAsOneJob(options);

    m_running = true;
    // A full spooler queue is waited out with the progress window saying so.
    report::ReportPrinter::setQueueWait([this](int pending) { return waitForQueue(pending); });
    Outcome outcome = Outcome::Printed;
    try {
        outcome = runGoingOnAfterStops(options);
    } catch (...) {
        report::ReportPrinter::setQueueWait({});
        closeProgress();
        m_running = false;
        throw;
    }
    report::ReportPrinter::setQueueWait({});
    m_running = false;
    return outcome;
}

// Prints the run; when it stops, says how far it got and which envelope is
// next, and goes on from there when the user asks.
PrintRunPanel::Outcome PrintRunPanel::runGoingOnAfterStops(const RunOptions &options)
{
    RunResume position;
    for (;;) {
        int total = 0;
        const int printedBefore = m_printed;
        try {
            runEnvelopes(m_tables.Table2, senderOfSettingsRow(m_tables.Table1), options,
                         [this](const EnvelopeTexts &texts) {
                             m_printer.PrintKonvert(texts);
                             ++m_printed;
                         },
                         [this, &total](int number, int all) {
                             total = all;
                             showProgress(number, all);
                         },
                         &position);
            closeProgress();
            return Outcome::Printed;
        } catch (const report::ReportError &e) {
            closeProgress();
            const QString next = nextRecipientText(position);
            const QString text = runStoppedText(e.message(), m_printed, printedBefore + total)
                                 + QStringLiteral("\nСледующий: %1.").arg(next);
            if (!messages::AskRetryNotice(this, caption(), text + QStringLiteral("\n\nПродолжить печать с него?"),
                                QStringLiteral("Продолжить"), QStringLiteral("Закрыть")))
                return Outcome::Stopped;
        }
    }
}

QString PrintRunPanel::nextRecipientText(const RunResume &at) const
{
    const QString name = m_tables.Table2.asString(QStringLiteral("Komu"));
    return at.returnOnly ? QStringLiteral("обратный конверт адресата «%1»").arg(name)
                         : QStringLiteral("конверт адресата «%1»").arg(name);
}

bool PrintRunPanel::waitForQueue(int pending)
{
    openProgress();
    if (!m_progress->findChild<QPushButton *>(QStringLiteral("PrintRunCancel"))) {
        auto *cancel = new QPushButton(QStringLiteral("Прервать печать"), m_progress);
        cancel->setObjectName(QStringLiteral("PrintRunCancel"));
        m_progress->setCancelButton(cancel);
    }
    m_progress->setLabelText(QStringLiteral("Печать конвертов: конверт %1 из %2\n"
                                            "Очередь принтера заполнена (заданий в очереди: %3).\n"
                                            "Ждём, пока принтер напечатает прежние задания…")
                                 .arg(m_number)
                                 .arg(m_total)
                                 .arg(pending));
    // The cancel button must take its click while the run waits.
    QApplication::processEvents();
    return !m_progress->wasCanceled();
}

// The whole run rendered into one document first, then sent as one job:
// until it is sent the run can be cancelled and nothing is printed.
PrintRunPanel::Outcome PrintRunPanel::printAsOneJob(const RunOptions &options)
{
    int total = 0;
    const DocumentEnd end = runAsDocument(options, QStringLiteral("Подготовка задания печати"), &total,
                                          [this, &total](const EnvelopeRun &run) {
                                              if (printRunAsOneJob(run) > 0)
                                                  m_printed = total;
                                          });
    if (!end.error.isEmpty()) {
        messages::ShowErrorNotice(this, caption(),
                        QStringLiteral("Печать конвертов остановлена: %1\nЗадание из %2 %3 не отправлено.")
                            .arg(end.error)
                            .arg(total)
                            .arg(runs::byNumber(total, QStringLiteral("конверта"), QStringLiteral("конвертов"),
                                                QStringLiteral("конвертов"))));
        return Outcome::Stopped;
    }
    return end.cancelled ? Outcome::Cancelled : Outcome::Printed;
}

PrintRunPanel::DocumentEnd PrintRunPanel::runAsDocument(const RunOptions &options, const QString &action,
                                                        int *total,
                                                        const std::function<void(const EnvelopeRun &)> &make)
{
    m_running = true;
    EnvelopeRun run{m_tables.Table2, m_printer, senderOfSettingsRow(m_tables.Table1), options,
                    [this, total, action](int number, int all) {
                        *total = all;
                        showDocumentProgress(number, all, action);
                    }};
    DocumentEnd end;
    try {
        make(run);
    } catch (const RunCancelled &) {
        end.cancelled = true;
    } catch (const report::ReportError &e) {
        end.error = e.message();
    } catch (...) {
        closeProgress();
        m_running = false;
        throw;
    }
    closeProgress();
    m_running = false;
    return end;
}

PrintRunPanel::Outcome PrintRunPanel::BitBtnPdfClick()
{
    if (m_running || !m_host)
        return Outcome::Declined;
    m_printed = 0;
    const runs::RunRequest request = m_host->runRequest(runs::RunKind::Envelope);
    if (runs::warnedNoneMarked(this, request))
        return Outcome::NoneMarked;
    const RunOptions options = runOptionsOf(request);
    const QString file = choosePdfFile();
    if (file.isEmpty())
        return Outcome::Declined;
    m_host->rememberFilter(request);

    int total = 0;
    const DocumentEnd end = runAsDocument(options, QStringLiteral("Сохранение в PDF"), &total,
                                          [this, &file](const EnvelopeRun &run) {
                                              m_printed = saveRunPdf(run, file);
                                          });
    Outcome outcome = Outcome::Saved;
    QString problem;
    if (end.cancelled) {
        outcome = Outcome::Cancelled;
    } else if (!end.error.isEmpty()) {
        outcome = Outcome::Stopped;
        problem = QStringLiteral("Конверты не сохранены в PDF: %1").arg(end.error);
    } else if (m_printed == 0) {
        outcome = Outcome::NoneMarked;
        problem = runs::noRecipientsText(true);
    }
    if (outcome == Outcome::Saved)
        m_lastPdf = file;
    if (outcome == Outcome::NoneMarked)
        messages::ShowWarningNotice(this, caption(), problem);
    else if (outcome == Outcome::Stopped)
        messages::ShowErrorNotice(this, caption(), problem);
    return outcome;
}

// The file dialog, proposing "Конверты <date>.pdf" in the folder of the last
// saved file (the home folder at first); ".pdf" is added to a bare name.
QString PrintRunPanel::choosePdfFile()
{
    const QString folder = m_lastPdf.isEmpty() ? QDir::homePath() : QFileInfo(m_lastPdf).absolutePath();
    const QString proposed =
        folder + QStringLiteral("/Конверты %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate));
    QString file;
    if (m_chooseFile)
        file = m_chooseFile(proposed);
    else
        file = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить конверты в PDF"), proposed,
                                            QStringLiteral("Файлы PDF (*.pdf)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    return file;
}

void PrintRunPanel::showDocumentProgress(int number, int total, const QString &action)
{
    m_number = number;
    m_total = total;
    if (total < 2 && !m_progress)
        return;
    if (!m_progress) {
        openProgress(true);
        m_sinceRepaint.invalidate();
    }
    // Thousands of pages a second: repainting for each would cost more
    // than the pages themselves.
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < 100 && number < total)
        return;
    m_sinceRepaint.start();
    m_progress->setLabelText(QStringLiteral("%1: конверт %2 из %3").arg(action).arg(number).arg(total));
    m_progress->setValue(number - 1);
    // The window is modal: of all clicks only its cancel button can arrive.
    QApplication::processEvents();
    if (m_progress->wasCanceled())
        throw RunCancelled{};
}

void PrintRunPanel::showProgress(int number, int total)
{
    m_number = number;
    m_total = total;
    if (total < 2 && !m_progress)
        return;
    openProgress();
    m_progress->setLabelText(QStringLiteral("Печать конвертов: конверт %1 из %2").arg(number).arg(total));
    m_progress->setValue(number - 1);
    // Paint the window and the progress, but take no clicks or keys now.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PrintRunPanel::openProgress(bool cancellable)
{
    if (m_progress)
        return;
    m_progress = new QProgressDialog(this);
    m_progress->setObjectName(QStringLiteral("PrintRunProgress"));
    m_progress->setWindowTitle(caption());
    if (cancellable)
        m_progress->setCancelButtonText(QStringLiteral("Отмена"));
    else
        m_progress->setCancelButton(nullptr);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setRange(0, std::max(m_total, 1));
    m_progress->setMinimumWidth(360);
    m_progress->adjustSize();
    messages::PlaceCentered(m_progress);
    m_progress->show();
}

void PrintRunPanel::closeProgress()
{
    if (!m_progress)
        return;
    m_progress->close();
    delete m_progress;
    m_progress = nullptr;
}

} // namespace envelope
