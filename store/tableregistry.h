#pragma once
// The process-wide registry of open table files. All cursors of one file
// share its connection and its row cache, so each sees the other's stored
// rows at its next refresh without reading the file again, and a batch
// covers all of them. A file stays open while a cursor holds it.

#include "store/database.h"
#include "store/rowcache.h"

#include <QString>
#include <memory>

namespace store {

struct SharedTable {
    SharedTable(const QString &path, const TableSchema &schema) : file(path, schema), cache(file) {}
    TableFile file;
    RowCache cache;
};

class TableRegistry {
public:
    // The open file at the path (the same for every spelling of it), opened
    // now when no cursor holds it. Throws StoreError as TableFile does.
    static std::shared_ptr<SharedTable> share(const QString &path, const TableSchema &schema);
};

} // namespace store
