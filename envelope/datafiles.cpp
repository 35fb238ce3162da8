#include "envelope/datafiles.h"

#include <QDir>

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

} // namespace envelope
