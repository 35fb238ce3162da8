#include "messages/ui/roundedcorners.h"

#include <QEvent>
#include <QPainterPath>
#include <QPolygon>
#include <QWidget>

namespace messages {

namespace {

class RoundedCornersKeeper : public QObject
{
public:
    explicit RoundedCornersKeeper(QWidget *widget) : QObject(widget), widget_(widget) { update(); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
            update();
        return false;
    }

private:
    void update() { widget_->setMask(RoundedRectRegion(widget_->size())); }

    QWidget *widget_;
};

} // namespace

QRegion RoundedRectRegion(QSize size)
{
    if (size.isEmpty())
        return QRegion();
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), 3.5, 3.5);
    return QRegion(path.toFillPolygon().toPolygon());
}

void KeepRoundedCorners(QWidget *widget)
{
    widget->installEventFilter(new RoundedCornersKeeper(widget));
}

} // namespace messages
