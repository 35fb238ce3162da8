#include "app/paths.h"
#include "store/cursor.h"

#include <QCoreApplication>
#include <QDir>

namespace app {

QString executableFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

QString programFolder()
{
    const QString named = qEnvironmentVariable("KUVERTIX_PROGRAM_FOLDER");
    if (named.isEmpty())
        return executableFolder();
    QString folder = QDir(named).absolutePath();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

ProgramPaths::ProgramPaths(const QString &programFolder) : m_programFolder(programFolder)
{
    if (!m_programFolder.endsWith('/'))
        m_programFolder += '/';
}

void ProgramPaths::Table1BeforeOpen(store::Cursor &cursor) const
{
    cursor.setDatabaseLocation(dataFolder());
}

} // namespace app
