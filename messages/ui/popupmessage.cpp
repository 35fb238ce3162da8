#include "messages/ui/popupmessage.h"

#include "messages/ui/placecentered.h"
#include "messages/placement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <qdrawutil.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace messages {

namespace {

QFont arial13()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

// A panel with a raised outer and a lowered inner bevel of one pixel each.
class DoubleBevelPanel : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), true, 1);
    }
};

class ClickLabel : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onPress;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        if (onPress)
            onPress();
    }
};

class PopupWindow : public QWidget
{
public:
    PopupWindow() : QWidget(nullptr, baseFlags())
    {
        setObjectName(QStringLiteral("TForm1000"));
        setFont(arial13());
        panel_ = new DoubleBevelPanel(this);
        panel_->setObjectName(QStringLiteral("Panel1"));
        panel_->setAutoFillBackground(true);
        label_ = new ClickLabel(panel_);
        label_->setObjectName(QStringLiteral("Label1"));
        label_->setTextFormat(Qt::PlainText);
        label_->setFont(arial13());
        label_->move(2, 2);
        QPalette text = label_->palette();
        text.setColor(QPalette::WindowText, ColorFromValue(SystemColor::WindowText, text));
        label_->setPalette(text);
        label_->onPress = [this] {
            if (closeOnClick_)
                ClosePopUpMsg();
        };
        timer_ = new QTimer(this);
        timer_->setObjectName(QStringLiteral("Timer1"));
        timer_->setSingleShot(true);
        connect(timer_, &QTimer::timeout, this, [] { ClosePopUpMsg(); });
    }

    static Qt::WindowFlags baseFlags() { return Qt::Window | Qt::FramelessWindowHint; }

    QTimer *timer() const { return timer_; }

    // An ordinary window when it closes on a click, else above all others.
    // The flag is changed on the platform window in place, so that an open
    // note is not hidden and shown again.
    void setCloseOnClick(bool closeOnClick)
    {
        closeOnClick_ = closeOnClick;
        const Qt::WindowFlags flags = closeOnClick ? baseFlags() : baseFlags() | Qt::WindowStaysOnTopHint;
        if (flags == windowFlags())
            return;
        if (QWindow *handle = windowHandle()) {
            overrideWindowFlags(flags);
            handle->setFlags(flags);
        } else {
            setWindowFlags(flags);
        }
    }

    void setLabelFont(const PopupFont &font)
    {
        label_->setFont(font.font);
        QPalette text = label_->palette();
        text.setColor(QPalette::WindowText, font.color);
        label_->setPalette(text);
    }

    void setContent(const QString &text, const QColor &colour)
    {
        label_->setText(text);
        QPalette face = panel_->palette();
        face.setColor(QPalette::Window, colour);
        panel_->setPalette(face);
    }

    // The label takes its text's size, the panel wraps it with 2 pixels and
    // the window wraps the panel.
    void wrapContent()
    {
        const QFontMetrics metrics(label_->font());
        label_->resize(metrics.horizontalAdvance(label_->text()), metrics.height());
        panel_->setGeometry(0, 0, label_->width() + 4, label_->height() + 4);
        resize(panel_->size());
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::WindowDeactivate && closeOnClick_ && isVisible())
            ClosePopUpMsg();
        return QWidget::event(event);
    }

private:
    DoubleBevelPanel *panel_ = nullptr;
    ClickLabel *label_ = nullptr;
    QTimer *timer_ = nullptr;
    bool closeOnClick_ = false;
};

QPointer<PopupWindow> openPopup;

QSize screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

// Waits briefly until the window system has mapped the window, then paints
// it at once: the caller is about to block the thread.
void paintAtOnce(PopupWindow *window)
{
    QPointer<PopupWindow> guard(window);
    QElapsedTimer waited;
    waited.start();
    while (guard && guard->windowHandle() && !guard->windowHandle()->isExposed() && waited.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    if (guard)
        guard->repaint();
}

void bringToFront(PopupWindow *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void ShowPopUpMsg(const QString &text, int seconds, bool closeOnClick, int x, int y, ColorValue colour,
                  const std::optional<PopupFont> &font)
{
    if (!openPopup)
        openPopup = new PopupWindow;
    PopupWindow *window = openPopup;
    window->setCloseOnClick(closeOnClick);
    if (font)
        window->setLabelFont(*font);
    window->setContent(text, ColorFromValue(colour, window->palette()));

    if (y >= 0) {
        window->wrapContent();
        window->move(x, y);
    } else if (y == -1) {
        window->wrapContent();
        PlaceCentered(window);
    } else if (y == -2) {
        window->wrapContent();
        window->move(ScreenCentredPosition(window->frameGeometry().size(), screenSize()));
    } else {
        window->hide();
        return;
    }
    bringToFront(window);
    paintAtOnce(window);
    if (!openPopup)
        return;
    if (seconds > 0) {
        const qint64 milliseconds = std::min<qint64>(qint64(seconds) * 1000, std::numeric_limits<int>::max());
        window->timer()->setInterval(int(milliseconds));
        window->timer()->start();
    }
}

void ClosePopUpMsg()
{
    if (!openPopup)
        return;
    PopupWindow *window = openPopup;
    openPopup = nullptr;
    window->timer()->stop();
    window->hide();
    window->deleteLater();
}

bool PopUpMsgIsOpen()
{
    return !openPopup.isNull();
}

} // namespace messages
