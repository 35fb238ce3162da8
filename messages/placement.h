#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace messages {

// Where the small windows of the program go, given the outer size of the
// window to place:
// - with no main window: centred on the screen;
// - over a visible main window: centred on it;
// - with the main window hidden: centred on the mouse pointer;
// then pushed back so that it does not reach past the screen's right or
// bottom edge, and never left of or above the screen's origin.
struct PlacementContext
{
    QSize screen;
    std::optional<QRect> mainWindow; // outer geometry, when a main window exists
    bool mainWindowVisible = false;
    QPoint pointer;
};

QPoint CenteredPosition(QSize window, const PlacementContext &context);

// Centred on the screen without any clamping.
QPoint ScreenCentredPosition(QSize window, QSize screen);

} // namespace messages
