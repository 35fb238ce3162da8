#include "runs/ui/summarywindow.h"

#include "messages/ui/messagewindow.h"

#include <QLocale>

namespace runs {

bool ShowResumeText(const QString &caption, const QString &text)
{
    return messages::ShowMsg(caption, ResumeWidth, ResumeHeight, text, ResumePrintButton, ResumeNoButton) == 1;
}

bool ShowResume(const QString &caption, const QString &kind, store::Tables &tables, const ResumeScreen &screen,
                const QString &findings)
{
    const ResumeFacts facts = GatherResumeFacts(kind, tables, screen);
    return ShowResumeText(caption, ResumeText(kind, facts, QLocale::system().decimalPoint()) + findings);
}

} // namespace runs
