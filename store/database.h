#pragma once
// One table file: an SQLite database with one table. Opening never creates a
// file; writes are durable when they return (synchronous, journaled).

#include "store/schema.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <map>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

struct StoredRow {
    qint64 rowId = 0;
    QVector<QVariant> values;  // one per schema field; null = empty
};

class TableFile {
public:
    // Opens an existing file, checks that it holds the schema's table and
    // runs a quick integrity check. A file whose only damage is in its
    // indexes is copied aside and gets them rebuilt (repairNote() says so);
    // any other damage is refused. Throws StoreError (MissingFile,
    // NotADatabase, WrongSchema, PathTooLong).
    TableFile(const QString &path, const TableSchema &schema);
    ~TableFile();
    TableFile(const TableFile &) = delete;
    TableFile &operator=(const TableFile &) = delete;

    // Creates a new file holding the empty table with its indexes (or, to
    // fill it with many rows first, without them: createIndexes() then
    // makes them at once). Throws when the file exists already.
    static void create(const QString &path, const TableSchema &schema, bool withIndexes = true);
    void createIndexes();

    const TableSchema &schema() const { return m_schema; }
    QString path() const { return m_path; }
    // The file or its folder refuses writes (checked at open).
    bool isReadOnly() const { return m_readOnly; }
    // Set when the indexes were rebuilt at open: which file, where the copy is.
    QString repairNote() const { return m_repairNote; }

    QVector<StoredRow> readAll();
    // Reads one row; false when the file holds no row with that id.
    bool readRow(qint64 rowId, StoredRow &row);
    // Returns the new row id; values of AutoInc fields are ignored and the
    // assigned key is written back into row.values.
    qint64 insert(StoredRow &row);
    // Stores a row as it is, its key included (a row brought over from an
    // older file keeps its key; later inserts continue after the largest).
    void insertWithKey(const StoredRow &row);
    // Writes the given fields of the row (all of them when the list is empty).
    void update(const StoredRow &row, const QVector<int> &changedFields = {});
    void remove(qint64 rowId);
    // The same writes, made only if check() accepts the row as the file
    // holds it at the moment of the write (packed, see packedrow.h; null
    // when the row is gone). The check and the write are one transaction,
    // so no other connection, of this computer or another, can store in
    // between. Return whether the row was written.
    using RowCheck = std::function<bool(const QByteArray *storedNow)>;
    bool update(const StoredRow &row, const QVector<int> &changedFields, const RowCheck &check);
    bool remove(qint64 rowId, const RowCheck &check);

    // While a batch is open, writes join one transaction that commit() makes
    // durable at once; rollback() drops them all.
    void beginBatch();
    void commitBatch();
    void rollbackBatch();
    bool inBatch() const { return m_batchDepth > 0; }

    // Reads every row (or the one with the given id) as packed blocks (see
    // packedrow.h), in the order of the row id, without making field values.
    using PackedRowSink = std::function<void(qint64 rowId, QByteArray &&row)>;
    void readPacked(const PackedRowSink &take, qint64 onlyRowId = -1);
    // Writes one value into one field of the given rows, as one transaction
    // (or within the open batch).
    void updateField(const QVector<qint64> &rowIds, int field, const QVariant &value);
    // Rows changed through this connection so far, and the version of the
    // file's content as changed by other connections: together they tell
    // whether a copy of the rows is still the file's content.
    qint64 totalChanges() const;
    qint64 dataVersion();

    // The schema's fields that the table in an existing file lacks. Throws
    // like opening when the file is damaged or holds no such table.
    static QStringList missingFields(const QString &path, const TableSchema &schema);
    // Writes a copy of a file with the fields it lacks added (existing rows
    // get the fields' defaults) and the schema's indexes in place; other
    // columns stay as they are. Returns the number of rows.
    static int copyAddingFields(const QString &from, const QString &to, const TableSchema &schema);

    // Runs SQLite's integrity check; returns "ok" when sound.
    QString integrityCheck();
    void exec(const QString &sql);

private:
    void openConnection();
    void checkSchema();
    void checkIntegrity();
    // Runs one write as a transaction of its own (or as part of an open
    // batch): committed when it returns, rolled back when it throws.
    void inTransaction(const std::function<void()> &write);
    bool checkStored(qint64 rowId, const RowCheck &check);
    void writeUpdate(const StoredRow &row, const QVector<int> &changedFields);
    void deleteRow(qint64 rowId);
    void begin();
    void commit();
    void rollback();
    [[noreturn]] void fail(int rc, const QString &what);
    QString columnList() const;
    sqlite3_stmt *cachedStatement(sqlite3_stmt *&slot, const QString &sql);

    QString m_path;
    const TableSchema &m_schema;
    sqlite3 *m_db = nullptr;
    int m_batchDepth = 0;
    bool m_readOnly = false;
    QString m_repairNote;
    sqlite3_stmt *m_insertStatement = nullptr;  // prepared once, reused by every post
    sqlite3_stmt *m_insertWithKeyStatement = nullptr;
    std::map<QByteArray, sqlite3_stmt *> m_updateStatements;  // by the set of fields written
    sqlite3_stmt *m_dataVersionStatement = nullptr;
};

} // namespace store
