#pragma once
// A copy of the built program folder: the tests change its tables freely.

#include "store/tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

struct ProgramCopy {
    QTemporaryDir dir;
    ProgramCopy()
    {
        const QDir source(KUVERTIX_PROGRAM_DIR);
        for (const QString &name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), path(name));
        QDir(dir.path()).mkdir("base");
        for (const QString &name : QDir(source.filePath("base")).entryList(QDir::Files))
            QFile::copy(source.filePath("base/" + name), path("base/" + name));
    }
    QString path(const QString &name = {}) const { return QDir(dir.path()).filePath(name); }
};
