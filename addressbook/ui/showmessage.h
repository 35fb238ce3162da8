#pragma once
// The formatted message window, as the address book uses it.

#include <QString>
#include <QStringList>

class QWidget;

namespace addressbook {

// Shows a markup text with up to five buttons; returns the number (1-based)
// of the button pressed.
int showMessage(QWidget *parent, const QString &caption, int width, int height,
                const QString &markup, const QStringList &buttons);

} // namespace addressbook
