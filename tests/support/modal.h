#pragma once
// Acting on modal windows from a test: the action runs as soon as a modal
// window of the given object name shows, and must close it.

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace modal {

inline void whenShown(const QString &name, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("printrunModalPoll"));
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, action] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window->objectName() != name || !window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(window);
    });
    timer->start();
}

// Drops polls whose window never showed.
inline void stopPolls()
{
    for (QTimer *t : qApp->findChildren<QTimer *>(QStringLiteral("printrunModalPoll"), Qt::FindDirectChildrenOnly)) {
        t->stop();
        t->deleteLater();
    }
}

// Presses button k of the message window.
inline void pressMessageButton(QWidget *window, int k)
{
    QTest::mouseClick(window->findChild<QLabel *>(QStringLiteral("Label%1").arg(k)), Qt::LeftButton);
}

} // namespace modal
