#include "messages/summarywindow.h"

#include "messages/message_window.h"

#include <QLocale>

bool ShowResumeText(const QString &caption, const QString &text)
{
    return ShowMsg(caption, ResumeWidth, ResumeHeight, text, ResumePrintButton, ResumeNoButton) == 1;
}

bool ShowResume(const QString &caption, const QString &kind, store::Tables &tables, const ResumeScreen &screen,
                const QString &findings)
{
    const ResumeFacts facts = GatherResumeFacts(kind, tables, screen);
    return ShowResumeText(caption, ResumeText(kind, facts, QLocale::system().decimalPoint()) + findings);
}
