#pragma once
// Brings the tables of an older data folder over into the program's own
// table files, once, before they are opened. A Paradox table is converted
// field by field by name; a table file of this program that lacks fields of
// its schema gets them added with their defaults. Every new file is written
// beside the old ones first, and only when all of them are written do they
// take the old files' places; the old table, index and lock files then move,
// unchanged, into a backup folder inside the data folder. A conversion cut
// short is undone at the next start, which converts again.

#include "store/schema.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace store {

struct ConvertedTable {
    QString fileName;
    bool fromParadox = false;
    int rows = 0;
    QStringList addedFields;  // fields of the table the old file did not have
    QStringList leftFields;   // fields of the old file the table has no place for
    int cutTexts = 0;         // texts longer than their field, cut
};

struct ConversionReport {
    QVector<ConvertedTable> tables;
    QString backupFolder;
    bool isEmpty() const { return tables.isEmpty(); }
    // What the start tells the user, in Russian: each table and where the
    // old files are. Empty when nothing was converted.
    QString text() const;
};

class BaseConversion {
public:
    explicit BaseConversion(const QString &dataFolder);
    // Converts what needs it and reports what it did. Throws StoreError
    // (UpgradeFailed) naming the file and the cause; the data folder is
    // then as it was.
    ConversionReport run();

private:
    struct Plan {
        const TableSchema *schema = nullptr;
        QString oldPath;
        QStringList companions;  // index files of a Paradox table
        ConvertedTable result;
    };
    QVector<Plan> scan() const;
    void write(Plan &plan) const;
    void writeFromParadox(Plan &plan) const;
    QString placeIn(const QVector<Plan> &plans) const;
    QString newPath(const Plan &plan) const;
    QString finalPath(const Plan &plan) const;
    void removeNewFiles() const;
    QStringList lockFiles() const;

    QString m_folder;
};

// Name of the converted copy of a table while it is written.
QString convertingName(const QString &fileName);

} // namespace store
