#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs action on the modal window of the given object name as soon as it is
// shown; the action must end the modal loop (press a button). Returns the
// polling timer so a test can see whether the window ever showed.
inline void whenModalShown(const QString &name, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("modalPoll"));
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

// Drops pending polls of whenModalShown that never found their window.
inline void stopModalPolls()
{
    for (QTimer *timer : qApp->findChildren<QTimer *>(QStringLiteral("modalPoll"), Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->deleteLater();
    }
}

inline QWidget *topLevelNamed(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            return widget;
    }
    return nullptr;
}
