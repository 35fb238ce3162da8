#pragma once
// The rows of one cursor in the order of its index, and those of them that
// pass its filter: the view every move, read and count of the cursor goes
// through. Places in the view are 0-based positions among the rows that
// pass the filter (all rows when the filter is off).
//
// Each row is taken from the file's row cache with its packed values
// (shared with the cache until one of them is written) and its keys in the
// present index. A stored row is taken out of the order under its old keys
// and put back under its new ones by binary search, so a walk that posts
// every row costs a logarithmic search per row, not a pass over the table.

#include "store/collation.h"
#include "store/recordview.h"
#include "store/rowcache.h"
#include "store/schema.h"

#include <QByteArray>
#include <QVariant>
#include <array>
#include <functional>
#include <vector>

namespace store {

class RowView {
public:
    using FilterHook = std::function<bool(const RecordView &)>;

    explicit RowView(const TableSchema &schema) : m_schema(schema) {}

    // The index the rows are ordered by (none: the order of the row key).
    // useIndex() only chooses it, for rows not yet taken; reorder() also
    // sorts the rows held.
    void useIndex(const IndexDef *index);
    void reorder(const IndexDef *index);
    const IndexDef *index() const { return m_index; }
    bool isKeyField(int field) const;

    void setFilterHook(FilterHook hook) { m_filterHook = std::move(hook); }
    void setFiltered(bool on) { m_filtered = on; }
    bool isFiltered() const { return m_filtered; }
    // Evaluates the hook on every row again.
    void refilter();

    // Takes every row from the file's row cache.
    void take(RowCache &cache);
    void clear();

    int count() const { return int(m_visible.size()); }
    qint64 idAt(int pos) const { return m_rows[size_t(m_visible[size_t(pos)])].id; }
    const QByteArray &rowAt(int pos) const { return m_rows[size_t(m_visible[size_t(pos)])].packed; }
    // The place of a row; -1 when it is gone or filtered out.
    int find(qint64 rowId) const;
    // The place of a row, or the fallback place (clamped) when the row is
    // gone or filtered out; -1 for an empty view.
    int positionOf(qint64 rowId, int fallback) const;
    // The first row whose first index field equals the value; -1 for none.
    int findKey(const QVariant &value) const;

    // The row at a place was stored with new values. storeInPlace() takes
    // them when the row keeps its place (same keys, same filter result) and
    // returns false, changing nothing, otherwise; replace() then moves it.
    bool storeInPlace(int pos, const QByteArray &packedRow);
    struct Moved {
        bool wasVisible = false;
        int pos = -1;  // the row's new place; -1 when filtered out
    };
    Moved replace(int pos, const QByteArray &packedRow);
    // A new row; returns its place (-1 when filtered out).
    int add(qint64 rowId, const QByteArray &packedRow);
    void erase(int pos);
    // Takes one row anew as the file now holds it (null: it was deleted);
    // false when the view neither holds it nor needs to.
    bool reread(qint64 rowId, const QByteArray *stored);
    // One value written into one field of the rows at the given places; each
    // row's values before and after go to written() as they change.
    using RowWritten = std::function<void(qint64 rowId, const QByteArray &before, const QByteArray &after)>;
    void setField(const std::vector<int> &positions, int field, const QVariant &value,
                  const RowWritten &written);

private:
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

    bool sameKeyValues(const Row &a, const Row &b) const;
    bool keepOrder(size_t oldCount, const std::vector<int> &newSlotOfOld);
    void buildKeys(Row &row, collation::SharedKeys *shared = nullptr) const;
    bool lessThan(const Row &a, const Row &b) const;
    quint64 firstKeyNumber(const Row &row) const;
    void sortRows();
    bool passesFilter(const Row &row) const;
    void rebuildVisible();
    bool takeOut(int slot);
    int place(int slot);

    const TableSchema &m_schema;
    FilterHook m_filterHook;
    bool m_filtered = false;
    const IndexDef *m_index = nullptr;
    std::vector<int> m_keyFields;  // field of each key of m_index
    int m_textKey = -1;            // which key of m_index is a text field, if any
    quint64 m_rowsGeneration = 0;  // of the cache when all rows were taken
    std::vector<Row> m_rows;       // storage, in no particular order
    std::vector<int> m_order;      // slots in index order
    std::vector<int> m_visible;    // slots in index order that pass the filter
};

} // namespace store
