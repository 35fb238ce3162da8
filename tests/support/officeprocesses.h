#pragma once
// The processes of a started office, found through /proc by their process
// group (the office's launcher starts it in a group of its own).

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <sys/types.h>

namespace officetest {

// The living (not zombie) processes of the group, by command name; all when
// name is empty.
inline QList<pid_t> groupMembers(pid_t group, const QString &name = QString())
{
    QList<pid_t> found;
    const auto entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid pgrp ...
        const QByteArray line = stat.readAll();
        const int open = line.indexOf('('), close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (open < 0 || close < 0 || rest.size() < 3 || rest[0] == "Z" || rest[2].toInt() != group)
            continue;
        if (name.isEmpty() || line.mid(open + 1, close - open - 1) == name.toUtf8())
            found << pid;
    }
    return found;
}

inline bool groupAlive(pid_t group)
{
    return group > 0 && !groupMembers(group).isEmpty();
}

} // namespace officetest
