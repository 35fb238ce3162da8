#pragma once
// A copy of the built program folder: the tests change its tables freely.

#include "tests/support/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

struct ProgramCopy {
    QTemporaryDir dir;
    QString folder;
    // Into a folder of its own, or into the given one (on a small disk, say).
    explicit ProgramCopy(const QString &into = {}) : folder(into.isEmpty() ? dir.path() : into)
    {
        const QDir source(KUVERTIX_PROGRAM_DIR);
        for (const QString &name : source.entryList(QDir::Files))
            if (name != QLatin1String("kuvertix"))
                QFile::copy(source.filePath(name), path(name));
        QDir(folder).mkdir("base");
        for (const QString &name : QDir(source.filePath("base")).entryList(QDir::Files))
            QFile::copy(source.filePath("base/" + name), path("base/" + name));
    }
    QString path(const QString &name = {}) const { return QDir(folder).filePath(name); }
    QStringList baseHashes() const
    {
        QStringList hashes;
        for (const QString &name : QDir(path("base")).entryList(QDir::Files))
            hashes << name + ' ' + fileHash(path("base/" + name));
        return hashes;
    }
};
