#include "office/officechild.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace office {

namespace {

// Far above what the office needs for any address book or blank (a few
// hundred MB), far below what takes the computer down.
constexpr rlim_t OfficeDataLimit = rlim_t(4) << 30;
// How often the watchdog looks whether the office has ended.
constexpr int WatchIntervalMs = 50;

std::vector<char *> pointersTo(const QList<QByteArray> &texts)
{
    std::vector<char *> pointers;
    pointers.reserve(size_t(texts.size()) + 1);
    for (const QByteArray &t : texts)
        pointers.push_back(const_cast<char *>(t.constData()));
    pointers.push_back(nullptr);
    return pointers;
}

// The watchdog, in the child of fork(). The program has threads, so only
// async-signal-safe calls are made here, and nothing is allocated.
[[noreturn]] void watch(int lifeline, int devnull, const char *program, char *const *argv, char *const *envp)
{
    ::setpgid(0, 0);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    for (const int s : {SIGCHLD, SIGTERM, SIGINT, SIGHUP, SIGPIPE})
        ::sigaction(s, &plain, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const pid_t office = ::fork();
    if (office < 0)
        ::_exit(127);
    if (office == 0) {
        const struct rlimit data {OfficeDataLimit, OfficeDataLimit};
        ::setrlimit(RLIMIT_DATA, &data);
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execve(program, argv, envp);
        ::_exit(127);
    }
    for (;;) {
        struct pollfd end {lifeline, POLLIN, 0};
        if (::poll(&end, 1, WatchIntervalMs) > 0) {
            char byte;
            const ssize_t n = ::read(lifeline, &byte, 1);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
                // The program has gone: so does everything it started.
                ::kill(0, SIGKILL);
                ::_exit(1);
            }
        }
        int status = 0;
        if (::waitpid(office, &status, WNOHANG) == office)
            ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
}

bool running(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// The locale name the environment gives the character category.
QByteArray characterLocaleName()
{
    for (const char *name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value;
    }
    return QByteArrayLiteral("C");
}

bool isInstalledUtf8(const QByteArray &name)
{
    const locale_t loc = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (!loc)
        return false;
    const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, loc), "UTF-8") == 0;
    ::freelocale(loc);
    return utf8;
}

} // namespace

pid_t spawnWatched(const QByteArray &program, const QList<QByteArray> &arguments,
                   const QList<QByteArray> &environment, int *lifeline)
{
    const std::vector<char *> argv = pointersTo(arguments);
    const std::vector<char *> envp = pointersTo(environment);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return -1;
    const int devnull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devnull < 0) {
        const int error = errno;
        ::close(ends[0]);
        ::close(ends[1]);
        errno = error;
        return -1;
    }
    const pid_t watchdog = ::fork();
    if (watchdog == 0) {
        ::close(ends[1]);
        watch(ends[0], devnull, program.constData(), argv.data(), envp.data());
    }
    const int error = errno;
    ::close(ends[0]);
    ::close(devnull);
    if (watchdog < 0) {
        ::close(ends[1]);
        errno = error;
        return -1;
    }
    // Also here, so that the group exists when this returns.
    ::setpgid(watchdog, watchdog);
    *lifeline = ends[1];
    return watchdog;
}

QList<QByteArray> officeEnvironment(const QString &tempFolder)
{
    const bool fixLocale = !isInstalledUtf8(characterLocaleName());
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("TMPDIR=") || (fixLocale && (entry.startsWith("LC_ALL=") || entry.startsWith("LC_CTYPE="))))
            continue;
        env << entry;
    }
    env << "TMPDIR=" + QFile::encodeName(tempFolder);
    if (fixLocale)
        env << QByteArrayLiteral("LC_CTYPE=C.UTF-8");
    return env;
}

QString leftoverPrefix(pid_t pid)
{
    return QStringLiteral("kuvertix-office-%1-").arg(pid);
}

QString profileUrl(const QString &runFolder)
{
    return QUrl::fromLocalFile(QDir(runFolder).filePath(QStringLiteral("profile"))).toString(QUrl::FullyEncoded);
}

QString singleInstancePipe(const QString &profileUrl)
{
    QByteArray utf16;
    for (const QChar c : profileUrl) {
        utf16.append(char(c.unicode() & 0xff));
        utf16.append(char(c.unicode() >> 8));
    }
    QString name = QStringLiteral("SingleOfficeIPC_");
    for (const char byte : QCryptographicHash::hash(utf16, QCryptographicHash::Md5))
        name += QString::number(uchar(byte), 16);
    return name;
}

void removeSingleInstancePipe(const QString &runFolder)
{
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_").arg(::getuid()) + singleInstancePipe(profileUrl(runFolder)));
}

int removeLeftovers(const QString &tempFolder)
{
    static const QRegularExpression owned(QStringLiteral("^(?:OSL_PIPE_%1_)?kuvertix-office-(\\d+)-").arg(::getuid()));
    int removed = 0;
    QStringList folders{tempFolder};
    if (QDir(tempFolder) != QDir(QStringLiteral("/tmp")))
        folders << QStringLiteral("/tmp");  // where the office puts its pipes
    for (const QString &folder : std::as_const(folders)) {
        const QDir dir(folder);
        const auto entries = dir.entryInfoList({QStringLiteral("kuvertix-office-*"), QStringLiteral("OSL_PIPE_*")},
                                               QDir::Dirs | QDir::Files | QDir::System | QDir::Hidden
                                                   | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            const QRegularExpressionMatch m = owned.match(entry.fileName());
            if (!m.hasMatch() || running(pid_t(m.captured(1).toLongLong())) || entry.ownerId() != ::getuid())
                continue;
            if (entry.isDir() && !entry.isSymLink())
                removeSingleInstancePipe(entry.absoluteFilePath());
            const bool gone = entry.isDir() && !entry.isSymLink() ? QDir(entry.absoluteFilePath()).removeRecursively()
                                                                  : QFile::remove(entry.absoluteFilePath());
            removed += gone ? 1 : 0;
        }
    }
    return removed;
}

} // namespace office
