#include "letters/ui/blankrunpanel.h"

#include "core/error.h"

#include "letters/blankrun.h"
#include "letters/writersession.h"
#include "messages/colourvalue.h"
#include "messages/ui/notices.h"
#include "messages/ui/popupmessage.h"
#include "report/reporterror.h"
#include "runs/preflight.h"
#include "store/tables.h"

#include <QPushButton>

namespace letters {

namespace {

const QString RunningNote = QStringLiteral("  Идёт печать. Подождите пожалуйста...   ");
const QString FinishedNote = QStringLiteral("  Печать завершена.   ");

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
    m_print->setGeometry(0, 1, PreferredWidth, PreferredHeight - 2);
    connect(m_print, &QPushButton::clicked, this, [this] { BitBtn14Click(); });
}

QString BlankRunPanel::caption() const
{
    return window()->windowTitle();
}

BlankRunPanel::Outcome BlankRunPanel::BitBtn14Click()
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
    runs::RunSummary summary;
    summary.findings = runs::preflightParagraph(runs::preflightBlanks(m_tables.Table2, request.scope));
    const runs::RunStart start = runs::startRun(this, *m_host, request, summary);
    if (start != runs::RunStart::Go)
        return start == runs::RunStart::Declined ? Outcome::Declined : Outcome::NoneMarked;
    if (request.blankName.isEmpty()) {
        emit blankReminder(true);
        messages::ShowWarningNotice(this, caption(), QStringLiteral("Выберите бланк."));
        return Outcome::NoBlank;
    }
    RunningFlag running(m_running);
    return run(request);
}

BlankRunPanel::Outcome BlankRunPanel::run(const runs::RunRequest &request)
{
    WriterSession session(m_programFolder, report::ReportPrinter(), m_officeProgram);
    if (m_officeStartTimeoutMs > 0)
        session.office().setStartTimeout(m_officeStartTimeoutMs);
    // The office may take seconds to start: the note is up meanwhile.
    messages::ShowPopUpMsg(RunningNote, 0, false, -1, -1, messages::SystemColor::InfoBackground);
    try {
        session.WordOpen(request.blankName);
    } catch (const office::OfficeError &e) {
        session.end();
        messages::ClosePopUpMsg();
        core::writeCause(e);
        messages::ShowErrorNotice(this, caption(),
                        e.kind() == office::OfficeError::Kind::NotInstalled
                            ? officeMissingText() + QStringLiteral("\n\n") + e.message()
                            : QStringLiteral("Бланк не напечатан: %1").arg(e.message()));
        return Outcome::Failed;
    }

    BlankRun::Sources sources;
    sources.templateName = request.blankName;
    sources.sender = blankSenderOf(m_tables.Table1);
    sources.sum = request.sum;
    BlankRun blankRun(session, sources);
    QString failure;
    try {
        blankRun.run(m_tables.Table2, request.scope);
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
        messages::ShowErrorNotice(this, caption(),
                        QStringLiteral("Печать бланков остановлена: %1\nНапечатано листов: %2.")
                            .arg(failure)
                            .arg(m_sheets));
        return Outcome::Failed;
    }
    messages::ShowPopUpMsg(FinishedNote, 2, true, -1, -1, messages::SystemColor::InfoBackground);
    return Outcome::Printed;
}

} // namespace letters
