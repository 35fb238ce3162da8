#pragma once

#include <QRect>
#include <QSize>

namespace messages {

// Geometry of the input box, worked out from the size of its prompt label
// (the prompt followed by five empty lines) and the width of its edit line.
// The panel holds the label, the edit line and the two buttons; the window's
// client area shows an 8-pixel frame around the panel.
struct InputBoxLayout
{
    QSize clientSize;   // of the window
    QRect panel;        // in the window
    QRect label;        // in the panel
    QRect edit;         // in the panel
    QRect okButton;     // in the panel
    QRect cancelButton; // in the panel
};

constexpr int InputBoxEditHeight = 24;
constexpr QSize InputBoxButtonSize{75, 25};

InputBoxLayout LayOutInputBox(QSize labelSize, int editWidth);

} // namespace messages
