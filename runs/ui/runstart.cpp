#include "runs/ui/runstart.h"

#include "messages/ui/notices.h"

#include <QWidget>

namespace runs {

RunStart startRun(QWidget *panel, RunHost &host, const RunRequest &request, const RunSummary &summary)
{
    host.rememberFilter(request);
    if (!host.confirmRun(request, summary))
        return RunStart::Declined;
    return warnedNoneMarked(panel, request) ? RunStart::NoneMarked : RunStart::Go;
}

bool warnedNoneMarked(QWidget *panel, const RunRequest &request)
{
    if (!request.noneMarked())
        return false;
    messages::ShowWarningNotice(panel, panel->window()->windowTitle(),
                                QStringLiteral("У Вас не выделено ни одного адресата."));
    return true;
}

} // namespace runs
