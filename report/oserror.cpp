#include "report/oserror.h"

#include "report/reporterror.h"

#include <QDir>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace report {

QString writeFailureCause(int errorCode)
{
    switch (errorCode) {
    case ENOSPC: return QStringLiteral("нет места на диске");
    case EDQUOT: return QStringLiteral("исчерпана дисковая квота");
    case EROFS: return QStringLiteral("диск доступен только для чтения");
    case EACCES:
    case EPERM: return QStringLiteral("нет права записи в папку");
    case EIO: return QStringLiteral("ошибка ввода-вывода диска");
    case ENAMETOOLONG: return QStringLiteral("слишком длинный путь к файлу");
    case EISDIR: return QStringLiteral("на месте файла стоит папка");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("папка не найдена");
    default: return QStringLiteral("системная ошибка %1").arg(errorCode);
    }
}

QString fileErrorCause(const QString &systemText)
{
    for (const int code : {ENOSPC, EDQUOT, EROFS, EACCES, EPERM, EIO, ENAMETOOLONG, EISDIR, ENOENT, ENOTDIR})
        if (systemText.contains(QString::fromLocal8Bit(std::strerror(code)), Qt::CaseInsensitive))
            return writeFailureCause(code);
    return systemText;
}

void throwCannotWrite(const QString &fileName, const QString &systemText)
{
    throw ReportError(ReportError::Kind::OutputFailed,
                      QStringLiteral("Не удалось записать файл «%1»: %2.")
                          .arg(QDir::toNativeSeparators(fileName), fileErrorCause(systemText)));
}

void commitWhole(QSaveFile &file)
{
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throwCannotWrite(file.fileName(), reason);
    }
    if (!file.commit())
        throwCannotWrite(file.fileName(), file.errorString());
}

QString capitalized(const QString &clause)
{
    return clause.isEmpty() ? clause : clause.left(1).toUpper() + clause.mid(1);
}

int writeAllBytes(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        p += n;
        left -= n;
    }
    return 0;
}

} // namespace report
