#pragma once
// A mark in the data folder that an import is running: written before the
// first recipient is stored, removed when the import ends however it ends.
// A program killed in between leaves it, and the next start tells the user
// that the import was cut short and how many of its recipients the book
// holds (the import stores them in whole batches).

#include "store/cursor.h"

#include <QString>

namespace addressbook {

class ImportMarker {
public:
    // Marks the import of rowCount rows of the file into the recipients'
    // table. Throws core::Error when the mark cannot be written.
    ImportMarker(store::Cursor &recipients, const QString &sourceFile, int rowCount);
    ~ImportMarker();
    ImportMarker(const ImportMarker &) = delete;
    ImportMarker &operator=(const ImportMarker &) = delete;

    // The file the mark is kept in, in the data folder of the cursor.
    static QString markerPath(const store::Cursor &recipients);
    // What to tell the user about an import a killed program left, or an
    // empty text when there is none; the mark is removed once read.
    // The cursor must show every recipient (no filter in force).
    static QString interruptedNotice(store::Cursor &recipients);

private:
    QString m_path;
};

} // namespace addressbook
