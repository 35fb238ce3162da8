#pragma once
// The application object: the one place where an error escaping any event
// handler is caught and the program-wide policy applied.

#include <QApplication>
#include <functional>

namespace app {

class Application : public QApplication {
    Q_OBJECT
public:
    // Called with the message of every uncaught error that is not a typed
    // input conversion error.
    using UnexpectedErrorHandler = std::function<void(const QString &message)>;

    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
    void setUnexpectedErrorHandler(UnexpectedErrorHandler handler) { m_handler = std::move(handler); }

    // The policy itself, usable without an event: conversion errors pass
    // silently, anything else goes to the handler.
    void ApplicationEvents1Exception(const QString &message);

private:
    UnexpectedErrorHandler m_handler;
    bool m_handling = false;
};

} // namespace app
