#include "app/roundcorners.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegion>

namespace app {

namespace {

class RoundCorners : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            apply(static_cast<QWidget *>(watched));
        return false;
    }
    static void apply(QWidget *w)
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, w->width(), w->height()), 3.5, 3.5);
        w->setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
};

bool isRounded(QWidget *w)
{
    // Grids are rounded, not the header views inside them.
    if ((qobject_cast<QAbstractItemView *>(w) && !qobject_cast<QHeaderView *>(w)) || qobject_cast<QPlainTextEdit *>(w)
        || qobject_cast<QRadioButton *>(w))
        return true;
    return qobject_cast<QFrame *>(w) && w->objectName().startsWith(QLatin1String("Panel"));
}

} // namespace

void roundCornersOf(QWidget *window)
{
    auto *filter = window->findChild<RoundCorners *>(QString(), Qt::FindDirectChildrenOnly);
    if (!filter)
        filter = new RoundCorners(window);
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!isRounded(w) || w->property("kuvertixRounded").toBool())
            continue;
        w->setProperty("kuvertixRounded", true);
        w->installEventFilter(filter);
        RoundCorners::apply(w);
    }
}

} // namespace app
