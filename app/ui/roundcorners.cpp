#include "app/ui/roundcorners.h"

#include "messages/ui/roundedcorners.h"
#include "store/ui/dbcontrols.h"

#include <QFrame>
#include <QRadioButton>

namespace app {

namespace {

// Panels, data grids, data-bound memos and radio buttons of the window
// itself; never a dialog the window owns, nor anything inside a control
// (a grid's header, a memo's scroll bars).
bool isRounded(QWidget *w, QWidget *window)
{
    if (w->window() != window)
        return false;
    if (qobject_cast<store::ui::DbGrid *>(w) || qobject_cast<store::ui::DbMemo *>(w)
        || qobject_cast<QRadioButton *>(w))
        return true;
    return qobject_cast<QFrame *>(w) && w->objectName().startsWith(QLatin1String("Panel"));
}

} // namespace

void roundCornersOf(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!isRounded(w, window) || w->property("kuvertixRounded").toBool())
            continue;
        w->setProperty("kuvertixRounded", true);
        messages::KeepRoundedCorners(w);
    }
}

} // namespace app
