#pragma once

#include <QRegion>
#include <QSize>

class QWidget;

namespace messages {

// A rectangle of the given size whose corners are cut along an ellipse of
// 7 x 7 pixels.
QRegion RoundedRectRegion(QSize size);

// Clips the widget to RoundedRectRegion of its size, now and whenever it is
// resized.
void KeepRoundedCorners(QWidget *widget);

} // namespace messages
