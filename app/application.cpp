#include "app/application.h"
#include "app/errorpolicy.h"
#include "app/russianlook.h"

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
    } catch (const std::exception &e) {
        ApplicationEvents1Exception(QString::fromUtf8(e.what()));
    } catch (...) {
        ApplicationEvents1Exception(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

void Application::ApplicationEvents1Exception(const QString &message)
{
    if (isConversionError(message))
        return;
    if (m_handling)
        return;  // an error while the error box is up: the first one ends the program
    m_handling = true;
    if (m_handler)
        m_handler(message);
    m_handling = false;
}

} // namespace app
