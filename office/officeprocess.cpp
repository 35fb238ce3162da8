#include "office/officeprocess.h"

#include "office/officechild.h"
#include "office/unotext.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace office {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;

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

// The settings the private office starts with: no fetch of linked content
// from the network, macros of documents never run, formulas of workbooks
// keep the results the file holds. (Links are not updated: each load asks
// for that, see loadHidden.)
const char *const OfficeSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="BlockUntrustedRefererLinks" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>1</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="ODFRecalcMode" oor:op="fuse"><value>1</value></prop></item>
</oor:items>
)";

// Answers every question of the office while it loads a document with
// "abort", noting whether it asked for a password.
class RefuseQuestions : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    bool passwordAsked = false;

    void SAL_CALL handle(const Reference<css::task::XInteractionRequest> &request) override
    {
        if (request->getRequest().isExtractableTo(cppu::UnoType<css::task::PasswordRequest>::get()))
            passwordAsked = true;
        const auto continuations = request->getContinuations();
        for (sal_Int32 i = 0; i < continuations.getLength(); ++i) {
            const Reference<css::task::XInteractionAbort> abort(continuations[i], UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

QString unreadableText(const QString &fileName)
{
    return QStringLiteral("LibreOffice не смог открыть файл «%1»: это не документ или он повреждён.").arg(fileName);
}

QString folderOf(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
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
    removeLeftovers(QDir::tempPath());
    spawn();
    connect();
    m_startMs = clock.elapsed();
}

void OfficeProcess::failStart(const QString &message, const QString &cause)
{
    stop();
    throw OfficeError(OfficeError::Kind::StartFailed, message, cause);
}

QString OfficeProcess::runFolder() const
{
    return m_profile ? m_profile->path() : QString();
}

void OfficeProcess::spawn()
{
    // The run's private folder (mode 0700): the profile, the office's own
    // scratch files and the files of the run; it goes when the run ends,
    // and the next start removes it when the program died.
    m_profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QLatin1Char('/') + leftoverPrefix(::getpid())
                                                + QStringLiteral("XXXXXX"));
    if (!m_profile->isValid())
        failStart(QStringLiteral("Не удалось создать временную папку для LibreOffice в папке «%1».")
                      .arg(QDir::toNativeSeparators(QDir::tempPath())),
                  m_profile->errorString());
    const QDir run(m_profile->path());
    QFile settings(run.filePath(QStringLiteral("profile/user/registrymodifications.xcu")));
    if (!run.mkpath(QStringLiteral("profile/user")) || !run.mkpath(QStringLiteral("tmp"))
        || !settings.open(QIODevice::WriteOnly) || settings.write(OfficeSettings) < 0 || !settings.flush())
        failStart(QStringLiteral("Не удалось подготовить папку для LibreOffice: %1.").arg(diskProblem(run.path())),
                  settings.errorString());
    settings.close();
    m_pipeName = uniquePipeName();

    const QByteArray program = QFile::encodeName(m_executable);
    const QByteArray profile = "-env:UserInstallation=" + profileUrl(run.path()).toUtf8();
    const QByteArray accept = "--accept=pipe,name=" + m_pipeName.toUtf8()
        + ";urp;StarOffice.ComponentContext";
    const QList<QByteArray> arguments{program, profile, accept, "--headless", "--invisible", "--norestore",
                                      "--nologo", "--nodefault", "--nolockcheck", "--nofirststartwizard"};
    const pid_t pid = spawnWatched(program, arguments, officeEnvironment(run.filePath(QStringLiteral("tmp"))),
                                   &m_lifeline);
    if (pid < 0)
        failStart(QStringLiteral("Не удалось запустить LibreOffice."),
                  QStringLiteral("%1: %2").arg(m_executable, QString::fromLocal8Bit(strerror(errno))));
    m_pid = pid;
}

QString OfficeProcess::diskProblem(const QString &folder)
{
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.bytesAvailable() < 4 * 1024 * 1024)
        return QStringLiteral("нет места на диске в папке «%1»").arg(QDir::toNativeSeparators(folder));
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("нет права записи в папку «%1»").arg(QDir::toNativeSeparators(folder));
    return QStringLiteral("запись в папку «%1» не удалась").arg(QDir::toNativeSeparators(folder));
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
                    failStart(QStringLiteral("LibreOffice завершился при запуске."));
                if (clock.elapsed() > m_startTimeoutMs)
                    failStart(QStringLiteral("LibreOffice запускается слишком долго: он не ответил за %1 с. "
                                             "Закройте лишние программы и попробуйте ещё раз.")
                                  .arg(m_startTimeoutMs / 1000));
                QThread::msleep(100);
            }
        }
        m_desktop = css::frame::Desktop::create(m_context);
    } catch (const css::uno::Exception &e) {
        failStart(QStringLiteral("LibreOffice запустился, но не отвечает программе."), toQString(e.Message));
    } catch (const cppu::BootstrapException &e) {
        failStart(QStringLiteral("Не удалось подготовить связь с LibreOffice."), toQString(e.getMessage()));
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
    const QFileInfo file(path);
    if (!file.isFile())
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» не найден.").arg(file.fileName()));
    if (file.size() == 0)
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» пустой (0 байт).").arg(file.fileName()));
    return loadHidden(path, readOnly, {});
}

Reference<css::lang::XComponent> OfficeProcess::loadHidden(const QString &path, bool readOnly,
                                                           const css::uno::Sequence<css::beans::PropertyValue> &more)
{
    const auto desk = desktop();
    const QFileInfo file(path);
    RefuseQuestions *questions = new RefuseQuestions;
    const Reference<css::task::XInteractionHandler> handler(questions);
    auto args = properties({
        {"Hidden", css::uno::Any(true)},
        {"ReadOnly", css::uno::Any(readOnly)},
        {"MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)},
        {"UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE)},
        {"InteractionHandler", css::uno::Any(handler)},
    });
    const sal_Int32 own = args.getLength();
    args.realloc(own + more.getLength());
    for (sal_Int32 i = 0; i < more.getLength(); ++i)
        args[own + i] = more[i];
    Reference<css::lang::XComponent> document;
    try {
        document = call([&] { return desk->loadComponentFromURL(fileUrl(path), "_blank", 0, args); },
                        OfficeError::Kind::DocumentUnreadable);
    } catch (const OfficeError &e) {
        if (e.kind() != OfficeError::Kind::DocumentUnreadable)
            throw;
        if (!questions->passwordAsked)
            throw OfficeError(OfficeError::Kind::DocumentUnreadable, unreadableText(file.fileName()), e.cause());
    }
    if (questions->passwordAsked) {
        closeDocument(document);
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» защищён паролем. Снимите пароль в LibreOffice "
                                         "(«Файл» — «Свойства» — «Безопасность») и сохраните файл.")
                              .arg(file.fileName()));
    }
    if (!document.is())
        throw OfficeError(OfficeError::Kind::DocumentUnreadable, unreadableText(file.fileName()));
    return document;
}

void OfficeProcess::storeCopy(const Reference<css::lang::XComponent> &document, const QString &path,
                              const char *filterName)
{
    try {
        call([&] {
            const Reference<css::frame::XStorable> storable(document, css::uno::UNO_QUERY_THROW);
            storable->storeToURL(fileUrl(path),
                                 properties({{"FilterName", css::uno::Any(OUString::createFromAscii(filterName))},
                                             {"Overwrite", css::uno::Any(true)}}));
        });
    } catch (const OfficeError &e) {
        if (e.kind() != OfficeError::Kind::OperationFailed)
            throw;
        throw OfficeError(OfficeError::Kind::OperationFailed,
                          QStringLiteral("LibreOffice не смог записать файл: %1.").arg(diskProblem(folderOf(path))),
                          e.cause());
    }
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
    // The office's own words are for the standard error output only.
    throw OfficeError(kind, kind == OfficeError::Kind::DocumentUnreadable
                                ? QStringLiteral("LibreOffice не смог прочитать файл.")
                                : QStringLiteral("LibreOffice не выполнил действие."),
                      toQString(e.Message).trimmed());
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
    if (m_profile)
        removeSingleInstancePipe(m_profile->path());
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
    if (m_lifeline >= 0)
        ::close(m_lifeline);
    m_lifeline = -1;
    // A killed office leaves the socket of its pipe behind.
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(m_pipeName));
}

} // namespace office
