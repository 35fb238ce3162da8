#include "envelope/ui/errorbox.h"

#include <QDesktopServices>
#include <QMessageBox>
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
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Cancel,
                    parent);
    box.exec();
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
