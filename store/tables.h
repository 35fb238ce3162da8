#pragma once
// The eight cursors of the main window over the six files of the data
// folder. Two files have a second cursor for bulk passes that must not
// disturb the grid's position and order.

#include "store/baseconversion.h"
#include "store/cursor.h"

#include <QObject>
#include <QString>

namespace store {

class Tables : public QObject {
    Q_OBJECT
public:
    explicit Tables(QObject *parent = nullptr);

    // Opens all cursors; each opening first runs the before-open hook,
    // which points it at the data folder. Tables of an older version found
    // there are converted first, once (see baseconversion.h). Throws
    // StoreError naming the file.
    void openAll(const Cursor::BeforeOpenHook &beforeOpen);
    // Convenience for tools and tests: open against a given folder.
    void openAllIn(const QString &dataFolder);
    void closeAll();
    // What opening found and mended (tables converted, indexes rebuilt),
    // one text per file.
    QStringList openingNotes() const;
    const ConversionReport &conversion() const { return m_conversion; }

    Cursor Table1;   // config.DB, the settings row
    Cursor Table2;   // AdrList.DB, the address grid (Komu_i)
    Cursor Table2_;  // AdrList.DB, marks count and bulk marks (Check_i)
    Cursor Table3;   // OtList.DB, senders (OtKogo_i)
    Cursor Table4;   // konverts.DB, formats (NameKonvert_i)
    Cursor Table4_;  // konverts.DB, copies of a format
    Cursor Table5;   // Printers.db, offsets (PrinterName_i)
    Cursor Table6;   // Filter.db, filter history (DateTime_i)

    QList<Cursor *> all();
    // Every cursor follows what other copies of the program stored
    // (Cursor::followFile); true when the recipients were taken again.
    bool followFiles();

private:
    ConversionReport m_conversion;
};

// Creates the six empty tables in a folder (for shipping and for tests).
void createAllTables(const QString &dataFolder);

} // namespace store
