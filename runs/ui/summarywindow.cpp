#include "runs/ui/summarywindow.h"

#include "messages/ui/messagewindow.h"

#include <QLocale>

namespace runs {

bool ShowResumeText(const QString &caption, const QString &text)
{
    return messages::ShowMsg(caption, ResumeWidth, ResumeHeight, text, ResumePrintButton, ResumeNoButton) == 1;
}

bool ShowResume(const QString &caption, const RunRequest &request, store::Tables &tables,
                const ResumeScreen &screen, const QString &findings)
{
    const ResumeFacts facts = GatherResumeFacts(request, tables, screen);
    return ShowResumeText(caption, ResumeText(facts, QLocale().decimalPoint()) + findings);
}

} // namespace runs
