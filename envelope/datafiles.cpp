#include "envelope/datafiles.h"
#include "report/oserror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

namespace envelope {

QString dataFolderOf(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("base"));
}

QString dataFilePath(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (!dir.exists(name)) {
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
    }
    return dir.filePath(name);
}

QString replaceFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                                        + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return report::writeFailureCause(errno);
    ::fchmod(fd, 0644);  // the temporary file is made private; the data file is not
    int error = report::writeAllBytes(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return report::writeFailureCause(error);
    }
    return QString();
}

} // namespace envelope
