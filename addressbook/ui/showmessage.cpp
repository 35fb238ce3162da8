#include "addressbook/ui/showmessage.h"

#include "messages/ui/messagewindow.h"

namespace addressbook {

int showMessage(QWidget *, const QString &caption, int width, int height, const QString &markup,
                const QStringList &buttons)
{
    return messages::ShowMsg(caption, width, height, markup, buttons.value(0), buttons.value(1),
                   buttons.value(2), buttons.value(3), buttons.value(4));
}

} // namespace addressbook
