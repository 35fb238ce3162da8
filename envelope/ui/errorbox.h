#pragma once
// The error box of the envelope pages: the program's error notice (an error
// icon and the single button Cancel) under the title of the page's window.
// Tests replace the box to see the text without a modal window.

#include <QString>
#include <functional>

class QWidget;

namespace envelope::ui {

void showErrorBox(QWidget *parent, const QString &text);

// Replaces the box (an empty function restores it).
using ErrorBoxHook = std::function<void(QWidget *parent, const QString &text)>;
void setErrorBoxHook(ErrorBoxHook hook);

// Opening a file with the desktop's default handler; the result is not
// checked. Tests replace it the same way.
void openWithDesktop(const QString &path);
using OpenHook = std::function<void(const QString &path)>;
void setOpenHook(OpenHook hook);

} // namespace envelope::ui
