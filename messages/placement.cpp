#include "messages/placement.h"

namespace messages {

QPoint CenteredPosition(QSize window, const PlacementContext &context)
{
    const int w = window.width();
    const int h = window.height();
    QPoint place;
    if (!context.mainWindow) {
        place = ScreenCentredPosition(window, context.screen);
    } else if (context.mainWindowVisible) {
        const QRect &main = *context.mainWindow;
        place = {main.left() + (main.width() - w) / 2, main.top() + (main.height() - h) / 2};
    } else {
        place = {context.pointer.x() - w / 2, context.pointer.y() - h / 2};
    }
    if (place.x() + w > context.screen.width())
        place.setX(context.screen.width() - w);
    if (place.y() + h > context.screen.height())
        place.setY(context.screen.height() - h);
    place.setX(std::max(place.x(), 0));
    place.setY(std::max(place.y(), 0));
    return place;
}

QPoint ScreenCentredPosition(QSize window, QSize screen)
{
    return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2};
}

} // namespace messages
