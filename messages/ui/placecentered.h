#pragma once

class QWidget;

namespace messages {

// Moves a top-level window of known outer size to its place: over the
// visible main window, else over the screen when there is no main window,
// else on the mouse pointer; kept inside the screen. The main window is the
// top-level widget whose objectName is MainWindowObjectName.
void PlaceCentered(QWidget *window);

inline constexpr char MainWindowObjectName[] = "TForm1";

} // namespace messages
