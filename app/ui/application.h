#pragma once
// The application object: the one place where an error escaping any event
// handler is caught and the program-wide policy applied.

#include <QApplication>
#include <exception>
#include <functional>

namespace app {

class Application : public QApplication {
    Q_OBJECT
public:
    // Called with the message of an uncaught error that ends the program (a
    // fault of the program itself, not of the disk, the data or the printer).
    using UnexpectedErrorHandler = std::function<void(const QString &message)>;

    // Called with the box text of a failure the program survives (a table
    // that cannot store a row, a printer that refuses a job); by default an
    // error box over the active window.
    using ReportedErrorHandler = std::function<void(const QString &text)>;

    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
    void setUnexpectedErrorHandler(UnexpectedErrorHandler handler) { m_handler = std::move(handler); }
    void setReportedErrorHandler(ReportedErrorHandler handler) { m_reporter = std::move(handler); }

    // The policy itself, usable without an event: it decides by the error's
    // type and kind what happens.
    void ApplicationEvents1Exception(const std::exception_ptr &error);

private:
    UnexpectedErrorHandler m_handler;
    ReportedErrorHandler m_reporter;
    bool m_handling = false;
};

} // namespace app
