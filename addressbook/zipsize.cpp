#include "addressbook/zipsize.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace addressbook {

namespace {

constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 EntrySignature = 0x02014b50;
constexpr int EndSize = 22;
constexpr int EntrySize = 46;
constexpr quint32 Zip64Marker = 0xffffffff;

quint32 le32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

qint64 zipUnpackedSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(4) != QByteArray("PK\x03\x04", 4))
        return -1;
    // The end record is the last thing in the file, before a comment of at
    // most 65535 bytes.
    const qint64 size = file.size();
    const qint64 tailSize = std::min<qint64>(size, EndSize + 65535);
    file.seek(size - tailSize);
    const QByteArray tail = file.read(tailSize);
    qsizetype end = -1;
    for (qsizetype at = tail.size() - EndSize; at >= 0; --at)
        if (le32(tail, at) == EndSignature) {
            end = at;
            break;
        }
    if (end < 0)
        return -1;
    const quint32 directorySize = le32(tail, end + 12);
    const quint32 directoryOffset = le32(tail, end + 16);
    if (directoryOffset == Zip64Marker || directorySize == Zip64Marker)
        return std::numeric_limits<qint64>::max();
    if (qint64(directoryOffset) + directorySize > size || !file.seek(directoryOffset))
        return -1;
    const QByteArray directory = file.read(directorySize);
    qint64 total = 0;
    for (qsizetype at = 0; at + EntrySize <= directory.size();) {
        if (le32(directory, at) != EntrySignature)
            return -1;
        const quint32 unpacked = le32(directory, at + 24);
        if (unpacked == Zip64Marker)
            return std::numeric_limits<qint64>::max();
        total += unpacked;
        at += EntrySize + le16(directory, at + 28) + le16(directory, at + 30) + le16(directory, at + 32);
    }
    return total;
}

} // namespace addressbook
