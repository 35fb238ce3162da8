#pragma once
// A cursor over one table file: an ordered, optionally filtered view of its
// rows with a current position and the browse / edit / insert cycle.
//
// Rules kept by every operation:
//  - reading a field of an empty cursor gives the empty text, 0, false;
//  - reading a field of the row being edited gives the edited value;
//  - moving (first, next, prior, last, find key, go to) or switching the
//    index while a row is edited stores the edit if it changed anything and
//    drops it otherwise;
//  - a row the filter hook rejects is invisible to every operation;
//  - each post is durable when it returns, unless a batch is open, in which
//    case the batch's commit makes all of its posts durable at once.

#include "store/collation.h"
#include "store/rowcache.h"
#include "store/schema.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QTime>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace store {

class TableFile;
class Cursor;

// The fields of one row as the filter hook sees them: either values at hand
// or a row kept packed by a cursor, decoded on first use.
class RecordView {
public:
    RecordView(const TableSchema &schema, const QVector<QVariant> &values, qint64 rowId)
        : m_schema(schema), m_values(&values), m_rowId(rowId) {}
    RecordView(const TableSchema &schema, const QByteArray &packedRow, qint64 rowId)
        : m_schema(schema), m_packed(&packedRow), m_rowId(rowId) {}
    const QVariant &value(int field) const;
    QString text(int field) const;
    int integer(int field) const { return value(field).toInt(); }
    // Length of a field's text in UTF-16 units, without making the text.
    qsizetype textLength(int field) const;
    // The storage of the values: it changes whenever the row's values are
    // replaced or read again.
    const void *identity() const;
    qint64 rowId() const { return m_rowId; }
    const TableSchema &schema() const { return m_schema; }

private:
    const TableSchema &m_schema;
    const QVector<QVariant> *m_values = nullptr;
    const QByteArray *m_packed = nullptr;
    mutable QVector<QVariant> m_decoded;
    qint64 m_rowId;
};

class Cursor : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using FilterHook = std::function<bool(const RecordView &)>;
    using BeforeOpenHook = std::function<void(Cursor &)>;

    Cursor(const TableSchema &schema, const QString &name, QObject *parent = nullptr);
    ~Cursor() override;

    const TableSchema &schema() const { return m_schema; }
    QString name() const { return objectName(); }

    // Opening
    void setDatabaseLocation(const QString &folder) { m_location = folder; }
    QString databaseLocation() const { return m_location; }
    QString filePath() const;
    void setBeforeOpen(BeforeOpenHook hook) { m_beforeOpen = std::move(hook); }
    void open();
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    // The file or its folder refuses writes (found at open): edit, insert
    // and delete are then refused with a StoreError of kind ReadOnly.
    // readOnlyMessage() is what to tell the user once, at start.
    bool isReadOnly() const;
    QString readOnlyMessage() const;
    // Set when the file's indexes were rebuilt at open.
    QString repairNote() const;

    // Moving
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recordCount() const;          // rows that pass the filter
    int recNo() const;                // 0-based position, -1 when empty
    void moveTo(int row);             // 0-based; clamped
    qint64 currentRowId() const;      // 0 when empty
    bool gotoRowId(qint64 rowId);     // false (and no move) when not visible

    // Editing
    void edit();
    void insert();
    void post();
    void cancel();
    void remove();
    // Deletes every row the filter lets through (all rows when not filtered)
    // in one transaction: all of them or, on a failure, none. Drops a
    // pending edit first. Returns the number of rows deleted.
    int removeVisible();
    void refresh();                   // re-read the file, keep the position
    // Re-reads one row from the file after another cursor of the same file
    // stored, added or deleted it; keeps the position like refresh().
    void refreshRow(qint64 rowId);
    bool isModified() const;
    QVector<int> changedFields() const;  // of the row being edited

    // Order and lookup
    void setIndexName(const QString &name);  // empty: the order of the row key
    QString indexName() const { return m_indexName; }
    bool findKey(const QVariant &value);

    // Fields
    int fieldIndex(const QString &name) const;  // throws UnknownField
    QVariant value(int field) const;
    QVariant value(const QString &name) const { return value(fieldIndex(name)); }
    bool isNull(const QString &name) const { return value(name).isNull(); }
    QString asString(const QString &name) const;
    int asInteger(const QString &name) const;
    double asFloat(const QString &name) const;
    bool asBoolean(const QString &name) const;
    QDate asDate(const QString &name) const;
    QTime asTime(const QString &name) const;
    // Writes need the edit or insert state (a browsing cursor enters edit).
    void setValue(int field, const QVariant &value);
    void setValue(const QString &name, const QVariant &v) { setValue(fieldIndex(name), v); }
    void setAsString(const QString &name, const QString &text);
    void setAsInteger(const QString &name, int v) { setValue(name, v); }
    void setAsFloat(const QString &name, double v) { setValue(name, v); }
    void setAsBoolean(const QString &name, bool v) { setValue(name, v); }
    void clearField(const QString &name) { setValue(name, QVariant()); }
    // Converts a typed text for a field; throws ConversionError.
    QVariant convertText(int field, const QString &text) const;
    QString displayText(int field, const QVariant &value) const;

    // Rows without moving (for grids): row in 0..viewRowCount()-1, which
    // includes a row being inserted.
    int viewRowCount() const;
    QVariant valueAt(int row, int field) const;
    int viewRowOfCurrent() const { return m_pos; }

    // Filter
    void setFilterHook(FilterHook hook) { m_filterHook = std::move(hook); }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }
    void refilter();  // re-evaluates the hook on every row, keeps the position if it passes

    // Stores one value into one field of every row that passes the filter,
    // as one write (joining an open batch); rows already holding the value
    // are left alone. Stores or drops a pending edit first and keeps the
    // current row. Each row written fires afterPost, as its post would.
    // Returns the number of rows written.
    int setFieldOfAll(int field, const QVariant &value);

    // Many posts as one transaction (all or none).
    void beginBatch();
    void commitBatch();
    void rollbackBatch();  // also re-reads the file

    // Suspend notifications to bound controls during a long walk.
    void disableControls() { ++m_controlsDisabled; }
    void enableControls();
    bool controlsDisabled() const { return m_controlsDisabled > 0; }

    // Integrity check of the underlying file ("ok" when sound).
    QString integrityCheck();

signals:
    // Events, in the order the table cycle fires them.
    void afterOpen();
    void beforeInsert();
    void newRecord();
    void afterInsert();
    void beforeEdit();
    void afterEdit();
    void beforePost();
    void afterPost();
    void beforeCancel();
    void afterCancel();
    void beforeDelete();
    void afterDelete();
    void beforeScroll();
    void afterScroll();
    // Notifications for bound controls.
    void stateChanged(store::Cursor::State state);
    void fieldChanged(int field);     // a value of the current row changed
    void recordChanged();             // another row is current, or it was re-read
    void rowsReset();                 // order, filter or content changed as a whole
    void rowChanged(int viewRow);     // one row's values changed in place

private:
    // A row as this cursor holds it: the packed values (shared with the
    // file's row cache until one of them is written) and the row's keys in
    // the present index.
    // An index has at most one text field (see collation.h for its keys).
    static constexpr int maxIndexKeys = 2;
    struct Row {
        qint64 id = 0;
        QByteArray packed;
        QByteArray textKey;                             // of the index's text field
        quint64 textKeyPrefix = 0;
        std::array<double, maxIndexKeys> numberKeys{};  // of its other fields
        bool passes = true;
    };

    void requireOpen() const;
    void requireWritable() const;
    void checkBrowseMode();  // store or drop a pending edit before moving
    void setState(State s);
    void loadRows();
    bool sameKeyValues(const Row &a, const Row &b) const;
    bool keepOrder(size_t oldCount, const std::vector<int> &newSlotOfOld);
    void useIndex(const IndexDef *index);
    bool storeInPlace(int slot, const QByteArray &packed);
    void rowWritten(const RowCache::WriteTicket &ticket, const Row &before, const QByteArray &after,
                    const QVector<int> &changed);
    QVariant typedValue(int field, const QVariant &value) const;
    void buildKeys(Row &row, collation::SharedKeys *shared = nullptr) const;
    bool lessThan(const Row &a, const Row &b) const;
    quint64 firstKeyNumber(const Row &row) const;
    void sortRows();
    bool passesFilter(const Row &row) const;
    void rebuildVisible();
    bool takeOut(int slot);
    void placeAfterPost(int slot, bool wasVisible, bool inserted);
    int slotAtPos() const;
    int visiblePosOfSlot(int slot) const;
    int positionOf(qint64 rowId, int fallback) const;
    void scrolled(int oldPos, qint64 oldId);
    void notifyReset();
    void notifyRecord();

    const TableSchema &m_schema;
    QString m_location;
    BeforeOpenHook m_beforeOpen;
    FilterHook m_filterHook;
    bool m_filtered = false;
    std::shared_ptr<TableFile> m_file;
    std::shared_ptr<RowCache> m_cache;  // shared by the cursors of the file
    quint64 m_rowsGeneration = 0;       // of the cache when all rows were taken

    State m_state = State::Inactive;
    QString m_indexName;
    const IndexDef *m_index = nullptr;
    std::vector<int> m_keyFields;  // field of each key of m_index
    int m_textKey = -1;  // which key of m_index is a text field, if any
    std::vector<Row> m_rows;      // storage, in no particular order
    std::vector<int> m_order;     // slots in index order
    std::vector<int> m_visible;   // slots in index order that pass the filter
    int m_pos = -1;               // index into m_visible (or the inserted row)
    bool m_eof = true;
    bool m_bof = true;

    QVector<QVariant> m_buffer;   // the row being edited or inserted
    QVector<QVariant> m_original;
    int m_controlsDisabled = 0;
};

} // namespace store
