#pragma once
// The folder inside the data folder that receives the old files when the
// tables are converted. Files are moved in by renaming, so they keep every
// byte. Until finish() it carries a name that says the move is unfinished;
// a program killed before that leaves it so, and the next start moves its
// files back (replacing any new file that had taken an old one's place).

#include <QString>
#include <QStringList>

namespace store {

class BackupFolder {
public:
    // Moves the files of every unfinished backup folder back into the data
    // folder and removes it. Throws StoreError (UpgradeFailed).
    static void restoreUnfinished(const QString &dataFolder);

    // Creates the folder under its unfinished name; throws when it cannot.
    explicit BackupFolder(const QString &dataFolder);

    // Moves a file of the data folder in; throws when it cannot.
    void moveIn(const QString &path);
    // Moves every file back where it was and removes the folder.
    void restore();
    // Gives the folder its final name, which is returned.
    QString finish();

private:
    QString m_dataFolder;
    QString m_finalName;
    QString m_path;
    QStringList m_moved;  // file names, in the order they came in
};

// Renames a file, replacing one of that name; false when the system refuses.
bool replaceFile(const QString &from, const QString &to);
// Makes the entries of a folder durable.
void syncFolder(const QString &path);

} // namespace store
