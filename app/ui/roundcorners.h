#pragma once
// Panels, grids, memos and radio buttons of the main window get rounded
// corners (a 7 by 7 pixel corner ellipse), kept as they are resized.

class QWidget;

namespace app {

void roundCornersOf(QWidget *window);

} // namespace app
