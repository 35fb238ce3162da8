#include "office/officeprocess.h"

#include "office/unotext.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace office {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;

constexpr int StartTimeoutMs = 90000;   // a cold start on a busy machine
constexpr int EndTimeoutMs = 15000;     // terminate() to process exit
constexpr int KillTimeoutMs = 5000;     // SIGTERM to process exit

QString uniquePipeName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kuvertix-office-%1-%2-%3")
        .arg(::getpid())
        .arg(++counter)
        .arg(QDateTime::currentMSecsSinceEpoch());
}

// The local UNO needs to find the office's bootstrap file, or creating the
// desktop crashes.
void setUreBootstrap()
{
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" KUVERTIX_OFFICE_PROGRAM "/fundamentalrc");
}

bool waitForExit(pid_t pid, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (true) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD))
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
}

} // namespace

QString officeExecutable()
{
    const QString installed = QStringLiteral(KUVERTIX_OFFICE_PROGRAM "/soffice");
    if (QFileInfo(installed).isExecutable())
        return installed;
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

OfficeProcess::OfficeProcess(QString executable) : m_executable(std::move(executable)) {}

OfficeProcess::~OfficeProcess()
{
    stop();
}

void OfficeProcess::start()
{
    if (isStarted())
        return;
    if (m_executable.isEmpty() || !QFileInfo(m_executable).isExecutable())
        throw OfficeError(OfficeError::Kind::NotInstalled,
                          QStringLiteral("LibreOffice не установлен на этом компьютере."));
    QElapsedTimer clock;
    clock.start();
    spawn();
    connect();
    m_startMs = clock.elapsed();
}

void OfficeProcess::failStart(const QString &message)
{
    stop();
    throw OfficeError(OfficeError::Kind::StartFailed, message);
}

void OfficeProcess::spawn()
{
    m_profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kuvertix-office-XXXXXX"));
    if (!m_profile->isValid())
        failStart(QStringLiteral("Не удалось создать временную папку для LibreOffice: %1.")
                      .arg(m_profile->errorString()));
    m_pipeName = uniquePipeName();

    const QByteArray program = QFile::encodeName(m_executable);
    const QByteArray profile = "-env:UserInstallation="
        + QUrl::fromLocalFile(m_profile->path()).toString(QUrl::FullyEncoded).toUtf8();
    const QByteArray accept = "--accept=pipe,name=" + m_pipeName.toUtf8()
        + ";urp;StarOffice.ComponentContext";
    const char *argv[] = {program.constData(), profile.constData(), accept.constData(),
                          "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
                          "--nolockcheck", "--nofirststartwizard", nullptr};

    // Its own process group, so that the wrapper and the office program it
    // starts can be ended together; no inherited output (open pipes of the
    // caller would otherwise stay open as long as the office lives).
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.constData(), &files, &attr,
                               const_cast<char *const *>(argv), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        failStart(QStringLiteral("Не удалось запустить LibreOffice (%1): %2.")
                      .arg(m_executable, QString::fromLocal8Bit(strerror(rc))));
    m_pid = pid;
}

void OfficeProcess::connect()
{
    setUreBootstrap();
    try {
        m_local = cppu::defaultBootstrap_InitialComponentContext();
        const Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(m_local);
        const OUString url = toOUString(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext")
                                            .arg(m_pipeName));
        QElapsedTimer clock;
        clock.start();
        while (!m_context.is()) {
            try {
                m_context.set(resolver->resolve(url), UNO_QUERY);
            } catch (const css::connection::NoConnectException &) {
                if (!isAlive())
                    failStart(QStringLiteral("LibreOffice завершился сразу после запуска."));
                if (clock.elapsed() > StartTimeoutMs)
                    failStart(QStringLiteral("LibreOffice не ответил за %1 с после запуска.")
                                  .arg(StartTimeoutMs / 1000));
                QThread::msleep(100);
            }
        }
        m_desktop = css::frame::Desktop::create(m_context);
    } catch (const css::uno::Exception &e) {
        failStart(QStringLiteral("Не удалось подключиться к LibreOffice: %1.").arg(toQString(e.Message)));
    } catch (const cppu::BootstrapException &e) {
        failStart(QStringLiteral("Не удалось подготовить связь с LibreOffice: %1.")
                      .arg(toQString(e.getMessage())));
    }
}

bool OfficeProcess::isAlive()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
    if (r == 0)
        return true;
    // Ended (and now reaped) or not ours any more; stray members of its
    // group are ended by stop().
    return false;
}

Reference<css::uno::XComponentContext> OfficeProcess::context() const
{
    if (!m_context.is())
        throw OfficeError(OfficeError::Kind::ConnectionLost, QStringLiteral("LibreOffice не запущен."));
    return m_context;
}

Reference<css::frame::XDesktop2> OfficeProcess::desktop() const
{
    if (!m_desktop.is())
        throw OfficeError(OfficeError::Kind::ConnectionLost, QStringLiteral("LibreOffice не запущен."));
    return m_desktop;
}

Reference<css::lang::XComponent> OfficeProcess::loadHidden(const QString &path, bool readOnly)
{
    const auto desk = desktop();
    const QFileInfo file(path);
    if (!file.isFile())
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» не найден.").arg(file.fileName()));
    const auto args = properties({
        {"Hidden", css::uno::Any(true)},
        {"ReadOnly", css::uno::Any(readOnly)},
        {"MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)},
        {"UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE)},
    });
    const Reference<css::lang::XComponent> document = call(
        [&] { return desk->loadComponentFromURL(fileUrl(path), "_blank", 0, args); },
        OfficeError::Kind::DocumentUnreadable);
    if (!document.is())
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("LibreOffice не смог открыть файл «%1»: это не документ "
                                         "или он повреждён.")
                              .arg(file.fileName()));
    return document;
}

void OfficeProcess::storeCopy(const Reference<css::lang::XComponent> &document, const QString &path,
                              const char *filterName)
{
    call([&] {
        const Reference<css::frame::XStorable> storable(document, css::uno::UNO_QUERY_THROW);
        storable->storeToURL(fileUrl(path),
                             properties({{"FilterName", css::uno::Any(OUString::createFromAscii(filterName))},
                                         {"Overwrite", css::uno::Any(true)}}));
    });
}

void OfficeProcess::closeDocument(Reference<css::lang::XComponent> &document) noexcept
{
    if (!document.is())
        return;
    try {
        const Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            document->dispose();
    } catch (...) {
        // A document that cannot be closed goes with its office.
    }
    document.clear();
}

void OfficeProcess::throwConnectionLost()
{
    throw OfficeError(OfficeError::Kind::ConnectionLost,
                      QStringLiteral("Связь с LibreOffice потеряна: программа LibreOffice "
                                     "завершилась во время работы."));
}

void OfficeProcess::throwTranslated(const css::uno::Exception &e, OfficeError::Kind kind)
{
    if (!isAlive())
        throwConnectionLost();
    const QString words = toQString(e.Message).trimmed();
    throw OfficeError(kind, words.isEmpty()
                                ? QStringLiteral("LibreOffice не выполнил действие.")
                                : QStringLiteral("LibreOffice не выполнил действие: %1.").arg(words));
}

void OfficeProcess::stop() noexcept
{
    bool terminated = false;
    if (m_desktop.is()) {
        try {
            terminated = m_desktop->terminate();
        } catch (...) {
            // Gone already: the process is ended below.
        }
    }
    m_desktop.clear();
    m_context.clear();
    reap(terminated ? EndTimeoutMs : 0);
    if (m_local.is()) {
        try {
            const Reference<css::lang::XComponent> local(m_local, UNO_QUERY);
            m_local.clear();
            if (local.is())
                local->dispose();
        } catch (...) {
        }
    }
    m_profile.reset();
}

void OfficeProcess::reap(int graceMs) noexcept
{
    if (m_pid <= 0)
        return;
    const pid_t group = m_pid;
    if (!waitForExit(m_pid, graceMs)) {
        ::kill(-group, SIGTERM);
        if (!waitForExit(m_pid, KillTimeoutMs)) {
            ::kill(-group, SIGKILL);
            waitForExit(m_pid, KillTimeoutMs);
        }
    }
    // The wrapper has ended; anything left of its group (the office program
    // itself when the wrapper was killed) goes too.
    if (::kill(-group, 0) == 0)
        ::kill(-group, SIGKILL);
    m_pid = 0;
    // A killed office leaves the socket of its pipe behind.
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(m_pipeName));
}

} // namespace office
