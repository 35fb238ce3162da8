#include "messages/ui/placecentered.h"

#include "messages/placement.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QWidget>

namespace messages {

namespace {

// The program's main window is the top-level window named "TForm1".
QWidget *applicationMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == MainWindowObjectName)
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

} // namespace messages
