#pragma once
// A cursor over one table file: a current position in the ordered,
// optionally filtered view of its rows (rowview.h), the browse / edit /
// insert / post / cancel cycle and the signals that tell bound controls.
// Texts typed into fields are converted as fieldconverter.h says.
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

#include "store/fieldconverter.h"
#include "store/recordview.h"
#include "store/rowcache.h"
#include "store/rowview.h"
#include "store/schema.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QTime>
#include <QVariant>
#include <functional>
#include <memory>

namespace store {

class TableFile;
struct StoredRow;

class Cursor : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using FilterHook = RowView::FilterHook;
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
    // Follows what another copy of the program (on this computer or another)
    // stored into the file since its rows were read: takes them again and
    // keeps the current row, the order and the filter. A cursor that is
    // editing keeps its edit and follows once it is stored or dropped.
    // Cheap when nothing changed. Returns whether the rows were taken again.
    //
    // The edit cycle guards the same ground: an edit begins from the row as
    // the file holds it now, and a post or delete of a row that another copy
    // changed (in the fields edited) or deleted since it was read is refused
    // with a StoreError of kind ChangedElsewhere or DeletedElsewhere; the
    // rows are then shown as they stand. The walks over every row
    // (setFieldOfAll, removeVisible) follow first.
    bool followFile();
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
    void setFilterHook(FilterHook hook) { m_view.setFilterHook(std::move(hook)); }
    void setFiltered(bool on);
    bool isFiltered() const { return m_view.isFiltered(); }
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
    void requireOpen() const;
    void requireWritable() const;
    void checkBrowseMode();  // store or drop a pending edit before moving
    void takeRows();
    void retakeRowsInPlace();
    bool outsideChange();  // the file was read again since this cursor took its rows
    void storeChecked(const StoredRow &row, const QVector<int> &changed);
    void setState(State s);
    bool onRow() const { return m_pos >= 0 && m_pos < m_view.count(); }
    void rowWritten(const RowCache::WriteTicket &ticket, qint64 rowId, const QByteArray &before,
                    const QByteArray &after, const QVector<int> &changed);
    void placedAfterPost(int found, bool wasVisible, bool inserted);
    void scrolled();
    bool jumpTo(int pos);
    void notifyReset();
    void notifyRecord();

    const TableSchema &m_schema;
    FieldConverter m_converter;
    QString m_location;
    BeforeOpenHook m_beforeOpen;
    std::shared_ptr<TableFile> m_file;
    std::shared_ptr<RowCache> m_cache;  // shared by the cursors of the file

    State m_state = State::Inactive;
    QString m_indexName;
    RowView m_view;
    int m_pos = -1;               // place in m_view (or of the inserted row)
    bool m_eof = true;
    bool m_bof = true;

    QVector<QVariant> m_buffer;   // the row being edited or inserted
    QVector<QVariant> m_original;
    int m_controlsDisabled = 0;
    quint64 m_seenReload = 0;     // the cache's reloads() when the rows were taken
};

} // namespace store
