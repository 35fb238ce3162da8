#pragma once
// One private office (LibreOffice) for the length of a piece of work: started
// by the program with a profile of its own in a temporary folder, so that an
// office the user has open is neither used nor ended; reached over a named
// pipe; terminated and waited for at the end. No office process outlives the
// object, whatever failed before (the destructor ends it too).

#include "office/officeerror.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

#include <memory>
#include <sys/types.h>

class QTemporaryDir;

namespace office {

// The office program (soffice) of this computer; empty when none is installed.
QString officeExecutable();

class OfficeProcess {
public:
    // executable: the soffice to start; by default the installed one.
    explicit OfficeProcess(QString executable = officeExecutable());
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    // Starts the office and connects to it; does nothing when it runs.
    // Throws OfficeError NotInstalled or StartFailed (nothing is left running).
    void start();
    bool isStarted() const { return m_desktop.is(); }
    // Whether the started process is still running.
    bool isAlive();
    // The process id of the started soffice, 0 when none.
    pid_t pid() const { return m_pid; }
    // How long start() took, in milliseconds.
    qint64 startMilliseconds() const { return m_startMs; }
    // How long start() waits for a started office to answer.
    void setStartTimeout(int milliseconds) { m_startTimeoutMs = milliseconds; }
    // The private folder of the run (mode 0700, gone when the office ends):
    // the place for the run's temporary copies of user data. Empty when not
    // started.
    QString runFolder() const;

    // The office's component context and desktop; throw ConnectionLost when
    // the office is not running.
    css::uno::Reference<css::uno::XComponentContext> context() const;
    css::uno::Reference<css::frame::XDesktop2> desktop() const;

    // Loads a document hidden, without running its macros, updating its
    // links or asking anything; read-only leaves the file unchanged whatever
    // is done to the document. Throws DocumentUnreadable (an empty file and
    // a file protected by a password each with its own message),
    // ConnectionLost.
    css::uno::Reference<css::lang::XComponent> loadHidden(const QString &path, bool readOnly);
    // The same with further load arguments (a filter and its options).
    css::uno::Reference<css::lang::XComponent> loadHidden(const QString &path, bool readOnly,
                                                          const css::uno::Sequence<css::beans::PropertyValue> &more);
    // Stores a copy of the document through an export filter (such as
    // "writer_pdf_Export"); the document stays open. Throws OperationFailed
    // (naming a full disk or a folder that cannot be written), ConnectionLost.
    void storeCopy(const css::uno::Reference<css::lang::XComponent> &document,
                   const QString &path, const char *filterName);
    // Closes a document without saving; never throws. The reference is cleared.
    static void closeDocument(css::uno::Reference<css::lang::XComponent> &document) noexcept;

    // Ends the office: terminate, wait for the process (killing its process
    // group when it does not end in time), remove the profile. Never throws.
    void stop() noexcept;

    // Runs f, turning the office's exceptions into OfficeError:
    // ConnectionLost when the office is gone, otherwise `kind`, with the
    // office's own words as the cause.
    template <class F>
    auto call(F &&f, OfficeError::Kind kind = OfficeError::Kind::OperationFailed) -> decltype(f())
    {
        try {
            return f();
        } catch (const css::lang::DisposedException &) {
            throwConnectionLost();
        } catch (const css::uno::Exception &e) {
            throwTranslated(e, kind);
        }
    }

private:
    [[noreturn]] static void throwConnectionLost();
    [[noreturn]] void throwTranslated(const css::uno::Exception &e, OfficeError::Kind kind);
    [[noreturn]] void failStart(const QString &message, const QString &cause = {});
    // Why a file could not be written into folder, in the user's words.
    static QString diskProblem(const QString &folder);
    void spawn();
    void connect();
    // Waits up to graceMs for the process to end by itself, then ends its group.
    void reap(int graceMs) noexcept;

    QString m_executable;
    std::unique_ptr<QTemporaryDir> m_profile;
    QString m_pipeName;
    pid_t m_pid = 0;          // the watchdog, leader of the office's group
    int m_lifeline = -1;      // closing it ends the office's group
    int m_startTimeoutMs = 30000;
    qint64 m_startMs = 0;
    css::uno::Reference<css::uno::XComponentContext> m_local;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};

} // namespace office
