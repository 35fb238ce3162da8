#include "letters/ui/blankrunpanel.h"

#include "letters/blankrun.h"
#include "letters/writersession.h"
#include "messages/colourvalue.h"
#include "messages/ui/notices.h"
#include "messages/ui/popupmessage.h"
#include "runs/summary.h"
#include "report/reporterror.h"
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
    m_sheets = 0;
    if (m_sources.addHistoryFilter)
        m_sources.addHistoryFilter();
    if (!m_sources.showResume || !m_sources.showResume(runs::ResumeKindBlank))
        return Outcome::Declined;
    const runs::PrintScope scope =
        m_sources.printScope ? m_sources.printScope() : runs::PrintScope::Current;
    if (scope == runs::PrintScope::Marked && m_sources.selectedCount && m_sources.selectedCount() == 0) {
        messages::ShowWarningNotice(this, caption(), QStringLiteral("У Вас не выделено ни одного адресата."));
        return Outcome::NoneMarked;
    }
    const QString blank = m_sources.blankName ? m_sources.blankName() : QString();
    if (blank.isEmpty()) {
        if (m_sources.blankReminder)
            m_sources.blankReminder(true);
        messages::ShowWarningNotice(this, caption(), QStringLiteral("Выберите бланк."));
        return Outcome::NoBlank;
    }
    RunningFlag running(m_running);
    return run(blank, scope);
}

BlankRunPanel::Outcome BlankRunPanel::run(const QString &blankName, runs::PrintScope scope)
{
    WriterSession session(m_programFolder, report::ReportPrinter(), m_officeProgram);
    try {
        session.WordOpen(blankName);
    } catch (const office::OfficeError &e) {
        const bool noOffice = e.kind() == office::OfficeError::Kind::NotInstalled
            || e.kind() == office::OfficeError::Kind::StartFailed;
        session.end();
        messages::ShowErrorNotice(this, caption(),
                        noOffice ? officeMissingText() + QStringLiteral("\n\n") + e.message()
                                 : QStringLiteral("Бланк не напечатан: %1").arg(e.message()));
        return Outcome::Failed;
    }

    messages::ShowPopUpMsg(RunningNote, 0, false, -1, -1, messages::SystemColor::InfoBackground);
    BlankRun::Sources sources;
    sources.templateName = blankName;
    sources.sender = blankSenderOf(m_tables.Table1);
    sources.sumText = m_sources.sumText;
    BlankRun blankRun(session, sources);
    QString failure;
    try {
        blankRun.run(m_tables.Table2, scope);
    } catch (const office::OfficeError &e) {
        failure = e.message();
    } catch (const report::ReportError &e) {
        failure = e.message();
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
