#pragma once

#include "messages/colourvalue.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

namespace messages {

// A font for the popup's text together with its colour.
struct PopupFont
{
    QFont font;
    QColor color;
};

// Shows the borderless note "TForm1000", or updates the one already open,
// and returns at once; the note is painted before returning so that it shows
// while the caller keeps the thread busy.
// - seconds > 0: closes itself after that many seconds (a further show
//   restarts the countdown); seconds <= 0 leaves a running countdown alone.
// - closeOnClick false: stays on top and stays until ClosePopUpMsg;
//   true: an ordinary window that also closes on a click on its text or when
//   it loses the activation.
// - y >= 0: top-left corner at (x, y); y = -1: placed like the other small
//   windows (PlaceCentered); y = -2: centred on the screen; any other
//   negative y: not shown.
// - colour: the note's background (a colour value, e.g. SystemColor::InfoBackground).
void ShowPopUpMsg(const QString &text, int seconds, bool closeOnClick, int x, int y, ColorValue colour,
                  const std::optional<PopupFont> &font = std::nullopt);

// Closes the note if one is open; otherwise does nothing.
void ClosePopUpMsg();

// Whether a note is open.
bool PopUpMsgIsOpen();

} // namespace messages
