#pragma once
// The program folder (the executable's, ending with the separator) and the
// data folder inside it. Every data path is formed from them.

#include <QString>

namespace store { class Cursor; }

namespace app {

// The executable's folder with a trailing separator.
QString executableFolder();

// The folder the program runs in, with a trailing separator: the one the
// launcher names in KUVERTIX_PROGRAM_FOLDER (a user's own program folder),
// else the executable's.
QString programFolder();

class ProgramPaths {
public:
    explicit ProgramPaths(const QString &programFolder);
    QString programFolder() const { return m_programFolder; }
    QString dataFolder() const { return m_programFolder + "base"; }
    QString inProgramFolder(const QString &name) const { return m_programFolder + name; }
    QString inDataFolder(const QString &name) const { return dataFolder() + '/' + name; }

    // The before-open hook of every table cursor: points it at the data
    // folder, whatever location it had before.
    void Table1BeforeOpen(store::Cursor &cursor) const;

private:
    QString m_programFolder;
};

} // namespace app
