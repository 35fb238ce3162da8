#include "messages/place_centered.h"

#include "messages/placement.h"

#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QScreen>

namespace {

QWidget *applicationMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(widget))
            return widget;
    }
    return nullptr;
}

} // namespace

void PlaceCentered(QWidget *window)
{
    PlacementContext context;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        context.screen = screen->geometry().size();
    if (QWidget *main = applicationMainWindow()) {
        context.mainWindow = main->frameGeometry();
        context.mainWindowVisible = main->isVisible();
    }
    context.pointer = QCursor::pos();
    window->move(CenteredPosition(window->frameGeometry().size(), context));
}
