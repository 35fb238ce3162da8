#include "messages/inputboxlayout.h"

#include <algorithm>

namespace messages {

namespace {

// The arrangement the panel first sizes itself to: label at (0, 0), edit line
// at (8, 16), buttons at (8, 48) and (104, 48).
QSize initialPanelSize(QSize labelSize, int editWidth)
{
    const int buttonsRight = 104 + InputBoxButtonSize.width();
    const int buttonsBottom = 48 + InputBoxButtonSize.height();
    const int width = std::max({labelSize.width(), 8 + editWidth, buttonsRight});
    const int height = std::max({labelSize.height(), 16 + InputBoxEditHeight, buttonsBottom});
    return {width, height};
}

} // namespace

InputBoxLayout LayOutInputBox(QSize labelSize, int editWidth)
{
    editWidth = std::max(editWidth, 0);
    const QSize fitted = initialPanelSize(labelSize, editWidth);
    const int frame = 8;
    const int labelLeft = 8;

    InputBoxLayout layout;
    layout.label = QRect(QPoint(labelLeft, 8), labelSize);
    layout.panel = QRect(frame, frame, fitted.width() + 2 * frame, fitted.height());
    layout.clientSize = {fitted.width() + 2 * frame + 2 * labelLeft, fitted.height() + 2 * frame};

    const int panelWidth = layout.panel.width();
    const QSize button = InputBoxButtonSize;
    const int buttonsTop = layout.panel.height() - button.height() - 8;
    const int editTop = buttonsTop - InputBoxEditHeight - 8;
    layout.edit = QRect((panelWidth - editWidth) / 2, editTop, editWidth, InputBoxEditHeight);

    const int gap = (panelWidth - 2 * button.width()) / 3;
    layout.okButton = QRect(QPoint(gap, buttonsTop), button);
    layout.cancelButton = QRect(QPoint(2 * gap + button.width(), buttonsTop), button);
    return layout;
}

} // namespace messages
