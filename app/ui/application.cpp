#include "app/ui/application.h"
#include "app/errorpolicy.h"
#include "app/ui/russianlook.h"

#include "messages/ui/notices.h"

#include <QWidget>
#include <exception>

namespace app {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    loadRussianQtTexts(this);
    registerTahoma();
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ApplicationEvents1Exception(std::current_exception());
    }
    return false;
}

void Application::ApplicationEvents1Exception(const std::exception_ptr &error)
{
    const ErrorDecision decision = decideError(error);
    if (decision.action == ErrorAction::PassOver)
        return;
    if (m_handling)
        return;  // an error while a box is up: the first one is being dealt with
    m_handling = true;
    if (decision.action == ErrorAction::Report) {
        if (m_reporter)
            m_reporter(decision.text);
        else
            messages::ShowErrorNotice(activeWindow(), activeWindow() ? activeWindow()->windowTitle() : QStringLiteral("Kuvertix"),
                            decision.text);  // the error box over the window that was in use
    } else if (m_handler) {
        m_handler(decision.text);
    }
    m_handling = false;
}

} // namespace app
