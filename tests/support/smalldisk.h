#pragma once
// A small tmpfs mounted for one test, to run writes into a full disk. Needs
// the right to mount (CI runs as root); reason() says why it is not there.

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk {
public:
    explicit SmallDisk(int kilobytes)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_reason = QStringLiteral("a small tmpfs cannot be mounted here (%1); run as root")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool ok() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // The whole disk refuses writes from now on, even to root.
    bool makeReadOnly()
    {
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                    nullptr) == 0)
            return true;
        m_reason = QStringLiteral("remounting read-only failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }

    // Takes all free room but `spare` bytes with a filler file.
    void fill(qint64 spare = 0)
    {
        const int fd = ::open(QFile::encodeName(filePath(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND, 0600);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {}
        ::close(fd);
        const QString filler = filePath(QStringLiteral(".filler"));
        if (spare > 0 && ::truncate(QFile::encodeName(filler).constData(), QFile(filler).size() - spare) != 0)
            m_reason = QStringLiteral("the filler file cannot be shortened");
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

// Hash of a file's bytes, to show that a failed operation altered nothing.
inline QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("missing");
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}
