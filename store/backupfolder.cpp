#include "store/backupfolder.h"
#include "store/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace store {

namespace {

const QString kPrefix = QStringLiteral("Прежняя версия ");
const QString kUnfinished = QStringLiteral(" (не завершено)");

[[noreturn]] void failed(const QString &what, const QString &path)
{
    const int error = errno;
    const QString reason = error == ENOSPC ? QStringLiteral(": нет места на диске")
                         : error == EACCES || error == EPERM || error == EROFS ? QStringLiteral(": нет права записи")
                                                                              : QString();
    throw StoreError(StoreError::Kind::UpgradeFailed,
                     QStringLiteral("%1 %2%3.").arg(what, QDir::toNativeSeparators(path), reason), path,
                     QString::fromLocal8Bit(std::strerror(error)));
}

// "Прежняя версия 2024-04-24 10.15", or with " (2)" and so on when a folder
// of that name is there already.
QString freeName(const QDir &data)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm"));
    QString name = kPrefix + stamp;
    for (int n = 2; data.exists(name) || data.exists(name + kUnfinished); ++n)
        name = kPrefix + stamp + QStringLiteral(" (%1)").arg(n);
    return name;
}

} // namespace

bool replaceFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void BackupFolder::restoreUnfinished(const QString &dataFolder)
{
    const QDir data(dataFolder);
    const QStringList unfinished =
        data.entryList({kPrefix + '*' + kUnfinished}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : unfinished) {
        const QDir folder(data.filePath(name));
        for (const QString &file : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (!replaceFile(folder.filePath(file), data.filePath(file)))
                failed(QStringLiteral("Прерванный перевод таблиц не удалось отменить: файл"), folder.filePath(file));
        if (!data.rmdir(name))
            failed(QStringLiteral("Не удаётся удалить папку"), folder.path());
    }
    if (!unfinished.isEmpty())
        syncFolder(dataFolder);
}

BackupFolder::BackupFolder(const QString &dataFolder) : m_dataFolder(dataFolder)
{
    const QDir data(dataFolder);
    m_finalName = freeName(data);
    m_path = data.filePath(m_finalName + kUnfinished);
    if (!data.mkdir(m_finalName + kUnfinished))
        failed(QStringLiteral("Не удаётся создать папку"), m_path);
}

void BackupFolder::moveIn(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (!replaceFile(path, QDir(m_path).filePath(name)))
        failed(QStringLiteral("Не удаётся перенести файл"), path);
    m_moved << name;
}

void BackupFolder::restore()
{
    const QDir folder(m_path);
    for (const QString &name : m_moved)
        replaceFile(folder.filePath(name), QDir(m_dataFolder).filePath(name));
    m_moved.clear();
    QDir(m_dataFolder).rmdir(folder.dirName());
    syncFolder(m_dataFolder);
}

QString BackupFolder::finish()
{
    syncFolder(m_path);
    const QString final = QDir(m_dataFolder).filePath(m_finalName);
    if (!replaceFile(m_path, final))
        failed(QStringLiteral("Не удаётся переименовать папку"), m_path);
    syncFolder(m_dataFolder);
    m_path = final;
    return final;
}

} // namespace store
