#pragma once

#include <QString>

class QTextEdit;

namespace messages {

// Puts a markup text into a read-only text view: the plain text, its
// character and paragraph attributes and the background of the whole view.
// A size, colour or background argument that is not an integer throws
// InvalidIntegerError (with the plain text and earlier codes in place).
void RenderMarkup(QTextEdit *view, const QString &text);

// Shows the modal message window "TForm1001": outer size width x height,
// the markup text, and one to five buttons (captions may hold markup; empty
// captions after the last non-empty one make no button; with all five empty
// there is one button "  Ok  "). Returns the number of the button pressed.
// The window can only be left through a button.
int ShowMsg(const QString &caption, int width, int height, const QString &text,
            const QString &button1 = QString(), const QString &button2 = QString(),
            const QString &button3 = QString(), const QString &button4 = QString(),
            const QString &button5 = QString());

} // namespace messages
