#include "letters/ui/blankrunpanel.h"

#include "core/error.h"
#include "letters/blankoutput.h"
#include "letters/blankrun.h"
#include "letters/templatecheck.h"
#include "letters/writersession.h"
#include "messages/colourvalue.h"
#include "messages/ui/notices.h"
#include "messages/ui/popupmessage.h"
#include "report/reporterror.h"
#include "runs/preflight.h"
#include "runs/printscope.h"
#include "store/tables.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

namespace letters {

namespace {

const QString RunningNote = QStringLiteral("  Идёт печать. Подождите пожалуйста...   ");
const QString FinishedNote = QStringLiteral("  Печать завершена.   ");
const QString CheckingNote = QStringLiteral("  Проверка бланка. Подождите пожалуйста...   ");
const QString SavingNote = QStringLiteral("  Идёт сохранение в PDF. Подождите пожалуйста...   ");
const QString SavedNote = QStringLiteral("  Бланки сохранены в PDF.   ");

// Clears the running flag however the run ends.
struct RunningFlag {
    bool &flag;
    explicit RunningFlag(bool &f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
};

} // namespace

QString officeMissingText()
{
    return QStringLiteral(
        "Ошибка обращения к LibreOffice Writer. Для выполнения данной функции требуется наличие на "
        "компьютере LibreOffice Writer. Если LibreOffice Writer установлен, перезагрузите компьютер и "
        "попробуйте ещё раз. Если перезагрузка не поможет, переустановите LibreOffice Writer. Если "
        "LibreOffice Writer не установлен, установите его.");
}

BlankRunPanel::BlankRunPanel(store::Tables &tables, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_tables(tables), m_programFolder(programFolder),
      m_officeProgram(office::officeExecutable())
{
    setObjectName(QStringLiteral("BlankRunPanel"));
    resize(PreferredWidth, PreferredHeight);
    m_print = new QPushButton(QStringLiteral("Печать бланков"), this);
    m_print->setObjectName(QStringLiteral("BitBtn14"));
    m_print->setGeometry(0, 1, PreferredWidth, 26);
    connect(m_print, &QPushButton::clicked, this, [this] { BitBtn14Click(); });

    m_pdf = new QPushButton(QStringLiteral("В PDF"), this);
    m_pdf->setObjectName(QStringLiteral("BitBtnBlankPdf"));
    m_pdf->setToolTip(QStringLiteral("Сохранить все листы бланков в один файл PDF"));
    m_pdf->setGeometry(0, 29, PreferredWidth, 24);
    connect(m_pdf, &QPushButton::clicked, this, [this] { BitBtnBlankPdfClick(); });
}

QString BlankRunPanel::caption() const
{
    return window()->windowTitle();
}

BlankRunPanel::Outcome BlankRunPanel::BitBtn14Click()
{
    return start(false);
}

BlankRunPanel::Outcome BlankRunPanel::BitBtnBlankPdfClick()
{
    return start(true);
}

BlankRunPanel::Outcome BlankRunPanel::start(bool toPdf)
{
    if (m_running) {
        messages::ShowWarningNotice(this, caption(),
                          QStringLiteral("Одновременная работа с двумя отчётами невозможна. "
                                         "Сначала закончите работу с предыдущим."));
        return Outcome::Busy;
    }
    if (!m_host)
        return Outcome::Declined;
    m_sheets = 0;
    const runs::RunRequest request = m_host->runRequest(runs::RunKind::Blank);
    // The session that checks the template serves the run: its office
    // starts once.
    WriterSession session(m_programFolder, report::ReportPrinter(), m_officeProgram);
    if (m_officeStartTimeoutMs > 0)
        session.office().setStartTimeout(m_officeStartTimeoutMs);
    runs::PreflightReport report = runs::preflightBlanks(m_tables.Table2, request.scope);
    // A sheet with no recipient would carry the template's variables as
    // they stand: such a run fills nothing, and its template needs no check.
    const bool anyRecipient = runs::countInScope(m_tables.Table2, request.scope) > 0;
    if (!request.blankName.isEmpty() && anyRecipient) {
        RunningFlag checking(m_running);
        // The office may take seconds to start: the note is up meanwhile.
        messages::ShowPopUpMsg(CheckingNote, 0, false, -1, -1, messages::SystemColor::InfoBackground);
        try {
            report.runProblems << checkTemplate(session, request.blankName);
        } catch (const office::OfficeError &e) {
            return officeFailed(session, e, toPdf);
        }
        messages::ClosePopUpMsg();
    }
    runs::RunSummary summary;
    summary.findings = runs::preflightParagraph(report);
    const runs::RunStart start = runs::startRun(this, *m_host, request, summary);
    if (start != runs::RunStart::Go)
        return start == runs::RunStart::Declined ? Outcome::Declined : Outcome::NoneMarked;
    if (request.blankName.isEmpty()) {
        emit blankReminder(true);
        messages::ShowWarningNotice(this, caption(), QStringLiteral("Выберите бланк."));
        return Outcome::NoBlank;
    }
    if (!anyRecipient) {
        messages::ShowWarningNotice(this, caption(), runs::noRecipientsText(toPdf));
        return Outcome::NoneMarked;
    }
    QString pdfFile;
    if (toPdf) {
        pdfFile = choosePdfFile(request.blankName);
        if (pdfFile.isEmpty())
            return Outcome::Declined;
    }
    RunningFlag running(m_running);
    return run(session, request, pdfFile);
}

// The file dialog, proposing "<template name> <date>.pdf" in the folder of
// the last saved file (the home folder at first); ".pdf" is added to a bare
// name.
QString BlankRunPanel::choosePdfFile(const QString &blankName)
{
    const QString folder = m_lastPdf.isEmpty() ? QDir::homePath() : QFileInfo(m_lastPdf).absolutePath();
    const QString proposed = QDir(folder).filePath(proposedBlankPdfName(blankName, QDate::currentDate()));
    QString file = m_chooseFile ? m_chooseFile(proposed)
                                : QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить бланки в PDF"), proposed,
                                                               QStringLiteral("Файлы PDF (*.pdf)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    return file;
}

// The office did not start or could not open the template: nothing was
// printed or saved. The cause goes to the standard error output.
BlankRunPanel::Outcome BlankRunPanel::officeFailed(WriterSession &session, const office::OfficeError &e, bool toPdf)
{
    session.end();
    messages::ClosePopUpMsg();
    core::writeCause(e);
    messages::ShowErrorNotice(this, caption(),
                    e.kind() == office::OfficeError::Kind::NotInstalled
                        ? officeMissingText() + QStringLiteral("\n\n") + e.message()
                    : toPdf ? blankRunStoppedText(e.message(), 0, true)
                            : QStringLiteral("Бланк не напечатан: %1").arg(e.message()));
    return Outcome::Failed;
}

BlankRunPanel::Outcome BlankRunPanel::run(WriterSession &session, const runs::RunRequest &request,
                                          const QString &pdfFile)
{
    const bool toPdf = !pdfFile.isEmpty();
    messages::ShowPopUpMsg(toPdf ? SavingNote : RunningNote, 0, false, -1, -1,
                           messages::SystemColor::InfoBackground);
    try {
        session.WordOpen(request.blankName);
    } catch (const office::OfficeError &e) {
        return officeFailed(session, e, toPdf);
    }

    BlankRun::Sources sources;
    sources.templateName = request.blankName;
    sources.sender = blankSenderOf(m_tables.Table1);
    sources.sum = request.sum;
    BlankRun blankRun(session, sources);
    QString failure;
    try {
        runBlankTo(session, blankRun, m_tables.Table2, request.scope, pdfFile);
    } catch (const office::OfficeError &e) {
        failure = e.message();
        core::writeCause(e);
    } catch (const report::ReportError &e) {
        failure = e.message();
        core::writeCause(e);
    }
    m_sheets = blankRun.sheetsPrinted();
    session.end();
    if (!failure.isEmpty()) {
        messages::ClosePopUpMsg();
        messages::ShowErrorNotice(this, caption(), blankRunStoppedText(failure, m_sheets, toPdf));
        return Outcome::Failed;
    }
    if (toPdf)
        m_lastPdf = pdfFile;
    messages::ShowPopUpMsg(toPdf ? SavedNote : FinishedNote, 2, true, -1, -1, messages::SystemColor::InfoBackground);
    return toPdf ? Outcome::Saved : Outcome::Printed;
}

} // namespace letters
