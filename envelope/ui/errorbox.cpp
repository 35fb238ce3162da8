#include "envelope/ui/errorbox.h"
#include "messages/ui/notices.h"

#include <QDesktopServices>
#include <QWidget>
#include <QUrl>

namespace envelope::ui {
namespace {
ErrorBoxHook &errorHook()
{
    static ErrorBoxHook hook;
    return hook;
}
OpenHook &openHook()
{
    static OpenHook hook;
    return hook;
}
} // namespace

void showErrorBox(QWidget *parent, const QString &text)
{
    if (errorHook()) {
        errorHook()(parent, text);
        return;
    }
    // The program's one error box, under the title of the page's window.
    messages::ShowErrorNotice(parent, parent ? parent->window()->windowTitle() : QString(), text);
}

void setErrorBoxHook(ErrorBoxHook hook)
{
    errorHook() = std::move(hook);
}

void openWithDesktop(const QString &path)
{
    if (openHook()) {
        openHook()(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setOpenHook(OpenHook hook)
{
    openHook() = std::move(hook);
}

} // namespace envelope::ui
