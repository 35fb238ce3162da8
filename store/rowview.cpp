#include "store/rowview.h"
#include "store/packedrow.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace store {

namespace {

double numberOf(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

template <typename T>
int threeWay(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

// The fields of the index keys are looked up once here: sorting compares
// rows some n log n times and must not search the schema by name each time.
void RowView::useIndex(const IndexDef *index)
{
    m_index = index;
    m_keyFields.clear();
    m_textKey = -1;
    if (!index)
        return;
    Q_ASSERT(index->keys.size() <= maxIndexKeys);
    for (const IndexKey &k : index->keys) {
        const int f = m_schema.fieldIndex(k.field);
        if (m_schema.fields[f].type == FieldType::Text) {
            Q_ASSERT(m_textKey < 0);
            m_textKey = int(m_keyFields.size());
        }
        m_keyFields.push_back(f);
    }
}

void RowView::reorder(const IndexDef *index)
{
    useIndex(index);
    collation::SharedKeys keys;
    for (Row &row : m_rows)
        buildKeys(row, &keys);
    sortRows();
    rebuildVisible();
}

bool RowView::isKeyField(int field) const
{
    return std::find(m_keyFields.begin(), m_keyFields.end(), field) != m_keyFields.end();
}

void RowView::refilter()
{
    for (Row &row : m_rows)
        row.passes = passesFilter(row);
    rebuildVisible();
}

void RowView::clear()
{
    m_rows.clear();
    m_order.clear();
    m_visible.clear();
    m_rowsGeneration = 0;
}

// Takes every row from the file's row cache (which reads the file only when
// something else changed it). Rows whose key fields are unchanged keep their
// sort keys, and when the previous order still holds it is kept without
// sorting again: re-reading a large book after a walk that changed only
// marks costs little more than a pass over the rows.
void RowView::take(RowCache &cache)
{
    const std::vector<RowCache::Entry> &stored = cache.rows();
    if (m_rowsGeneration == cache.generation() && m_rows.size() == stored.size()) {
        // Nothing was written since: the rows and their order stand.
        refilter();
        return;
    }
    m_rowsGeneration = cache.generation();
    std::vector<Row> old;
    old.swap(m_rows);
    // The old rows are in the order of their ids unless a row came back
    // out of turn; then they are looked up through a map.
    const bool oldById = std::is_sorted(old.begin(), old.end(),
                                        [](const Row &a, const Row &b) { return a.id < b.id; });
    std::unordered_map<qint64, int> oldSlot;
    if (!oldById) {
        oldSlot.reserve(old.size());
        for (size_t i = 0; i < old.size(); ++i)
            oldSlot.emplace(old[i].id, int(i));
    }
    auto oldSlotOf = [&, next = size_t(0)](qint64 id) mutable {
        if (!oldById) {
            auto it = oldSlot.find(id);
            return it == oldSlot.end() ? -1 : it->second;
        }
        while (next < old.size() && old[next].id < id)
            ++next;
        return next < old.size() && old[next].id == id ? int(next) : -1;
    };

    m_rows.reserve(stored.size());
    collation::SharedKeys keys;
    std::vector<int> newSlotOfOld(old.size(), -1);
    bool sameRows = stored.size() == old.size();
    for (const RowCache::Entry &s : stored) {
        Row row;
        row.id = s.id;
        row.packed = s.row;
        const int was = oldSlotOf(row.id);
        if (was >= 0 && sameKeyValues(old[size_t(was)], row)) {
            row.textKey = std::move(old[size_t(was)].textKey);
            row.textKeyPrefix = old[size_t(was)].textKeyPrefix;
            row.numberKeys = old[size_t(was)].numberKeys;
        } else {
            buildKeys(row, &keys);
        }
        if (was < 0)
            sameRows = false;
        else
            newSlotOfOld[size_t(was)] = int(m_rows.size());
        row.passes = passesFilter(row);
        m_rows.push_back(std::move(row));
    }
    if (!(sameRows && keepOrder(old.size(), newSlotOfOld)))
        sortRows();
    rebuildVisible();
}

bool RowView::sameKeyValues(const Row &a, const Row &b) const
{
    for (int f : m_keyFields)
        if (!packed::sameField(a.packed, b.packed, f))
            return false;
    return true;
}

// Carries the previous order over to the re-read rows; false when a row
// now stands out of order, so that the caller sorts.
bool RowView::keepOrder(size_t oldCount, const std::vector<int> &newSlotOfOld)
{
    if (m_order.size() != oldCount)
        return false;
    std::vector<int> order;
    order.reserve(m_order.size());
    for (int oldSlot : m_order) {
        const int slot = newSlotOfOld[oldSlot];
        if (slot < 0)
            return false;
        order.push_back(slot);
    }
    for (size_t i = 1; i < order.size(); ++i)
        if (lessThan(m_rows[order[i]], m_rows[order[i - 1]]))
            return false;
    m_order.swap(order);
    return true;
}

void RowView::buildKeys(Row &row, collation::SharedKeys *shared) const
{
    row.textKey.clear();
    for (size_t k = 0; k < m_keyFields.size(); ++k) {
        const int f = m_keyFields[k];
        if (int(k) == m_textKey) {
            row.textKey = shared ? shared->keyOf(packed::textBytes(row.packed, f))
                                 : collation::sortKey(packed::text(m_schema, row.packed, f));
            row.textKeyPrefix = collation::prefixOf(row.textKey);
        } else {
            row.numberKeys[k] = packed::orderNumber(m_schema, row.packed, f);
        }
    }
}

bool RowView::lessThan(const Row &a, const Row &b) const
{
    for (size_t k = 0; k < m_keyFields.size(); ++k) {
        int c;
        if (int(k) == m_textKey) {
            c = threeWay(a.textKeyPrefix, b.textKeyPrefix);
            if (c == 0 && a.textKey.constData() != b.textKey.constData())
                c = collation::compareKeys(a.textKey, b.textKey);
        } else {
            c = threeWay(a.numberKeys[k], b.numberKeys[k]);
        }
        if (c != 0)
            return m_index->keys[int(k)].descending ? c > 0 : c < 0;
    }
    return a.id < b.id;
}

// The first key of each row, made into one number in the index's order,
// sits beside the row's place in one flat list, so that most comparisons of
// a sort touch that list only; rows with equal first numbers are compared
// in full. A single number key is wholly in the first number, as is a text
// whose key is shared with the other row; such ties go by row id at once.
quint64 RowView::firstKeyNumber(const Row &row) const
{
    if (m_keyFields.empty())
        return 0;
    quint64 n;
    if (m_textKey == 0) {
        n = row.textKeyPrefix;
    } else {
        // Doubles ordered as unsigned numbers: flip the sign bit of positive
        // values and every bit of negative ones.
        const double d = row.numberKeys[0];
        std::memcpy(&n, &d, sizeof n);
        n = (n >> 63) ? ~n : n | (quint64(1) << 63);
    }
    return m_index->keys[0].descending ? ~n : n;
}

void RowView::sortRows()
{
    struct Item {
        quint64 first;
        const char *textKey;  // rows with equal texts share their key
        qint64 id;
        int slot;
    };
    std::vector<Item> items(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row &r = m_rows[i];
        items[i] = {firstKeyNumber(r), r.textKey.constData(), r.id, int(i)};
    }
    const bool oneKey = m_keyFields.size() <= 1;
    const bool descending = m_index && m_index->keys[0].descending;
    std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        if (a.first != b.first)
            return a.first < b.first;
        if (!oneKey)
            return lessThan(m_rows[size_t(a.slot)], m_rows[size_t(b.slot)]);
        if (m_textKey == 0 && a.textKey != b.textKey) {
            const int c = std::strcmp(a.textKey, b.textKey);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        return a.id < b.id;
    });
    m_order.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        m_order[i] = items[i].slot;
}

bool RowView::passesFilter(const Row &row) const
{
    if (!m_filtered || !m_filterHook)
        return true;
    return m_filterHook(RecordView(m_schema, row.packed, row.id));
}

void RowView::rebuildVisible()
{
    m_visible.clear();
    m_visible.reserve(m_order.size());
    for (int slot : m_order)
        if (!m_filtered || m_rows[slot].passes)
            m_visible.push_back(slot);
}

int RowView::find(qint64 rowId) const
{
    for (size_t i = 0; i < m_visible.size(); ++i)
        if (m_rows[m_visible[i]].id == rowId)
            return int(i);
    return -1;
}

int RowView::positionOf(qint64 rowId, int fallback) const
{
    const int pos = find(rowId);
    if (pos >= 0)
        return pos;
    return m_visible.empty() ? -1 : std::clamp(fallback, 0, int(m_visible.size()) - 1);
}

int RowView::findKey(const QVariant &value) const
{
    const int f = m_schema.fieldIndex(m_index->keys.first().field);
    const FieldType type = m_schema.fields[f].type;
    const QString wanted = value.toString();
    for (size_t i = 0; i < m_visible.size(); ++i) {
        const QByteArray &row = m_rows[m_visible[i]].packed;
        bool equal;
        if (type == FieldType::Text) {
            equal = collation::compare(packed::text(m_schema, row, f), wanted) == 0;
        } else {
            const QVariant v = packed::value(m_schema, row, f);
            if (type == FieldType::Date || type == FieldType::Time)
                equal = v == value;
            else
                equal = !value.isNull() && numberOf(v) == value.toDouble();
        }
        if (equal)
            return int(i);
    }
    return -1;
}

// A stored row whose index keys and filter result stay as they were keeps
// its place: no list is touched, so a walk that stores every row (marking
// all recipients, say) costs no memory move per row.
bool RowView::storeInPlace(int pos, const QByteArray &packedRow)
{
    Row &row = m_rows[size_t(m_visible[size_t(pos)])];
    for (int f : m_keyFields)
        if (!packed::sameField(row.packed, packedRow, f))
            return false;
    const QByteArray old = row.packed;
    row.packed = packedRow;
    const bool passes = passesFilter(row);
    if (m_filtered && passes != row.passes) {
        row.packed = old;
        return false;
    }
    row.passes = passes;
    return true;
}

RowView::Moved RowView::replace(int pos, const QByteArray &packedRow)
{
    const int slot = m_visible[size_t(pos)];
    Moved moved;
    moved.wasVisible = takeOut(slot);
    m_rows[size_t(slot)].packed = packedRow;
    moved.pos = place(slot);
    return moved;
}

int RowView::add(qint64 rowId, const QByteArray &packedRow)
{
    Row row;
    row.id = rowId;
    row.packed = packedRow;
    m_rows.push_back(std::move(row));
    return place(int(m_rows.size()) - 1);
}

// Takes a row out of both ordered lists under its present keys; false when
// it was not in the filtered view.
bool RowView::takeOut(int slot)
{
    auto before = [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); };
    auto it = std::lower_bound(m_order.begin(), m_order.end(), slot, before);
    if (it == m_order.end() || *it != slot)
        it = std::find(m_order.begin(), m_order.end(), slot);
    m_order.erase(it);
    if (m_filtered && !m_rows[slot].passes)
        return false;
    auto v = std::lower_bound(m_visible.begin(), m_visible.end(), slot, before);
    if (v == m_visible.end() || *v != slot)
        v = std::find(m_visible.begin(), m_visible.end(), slot);
    m_visible.erase(v);
    return true;
}

// Puts a row back into both ordered lists under its new keys; returns its
// place in the view, -1 when the filter rejects it.
int RowView::place(int slot)
{
    Row &row = m_rows[slot];
    auto before = [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); };
    buildKeys(row);
    row.passes = passesFilter(row);
    m_order.insert(std::lower_bound(m_order.begin(), m_order.end(), slot, before), slot);
    if (m_filtered && !row.passes)
        return -1;
    auto v = std::lower_bound(m_visible.begin(), m_visible.end(), slot, before);
    const int found = int(v - m_visible.begin());
    m_visible.insert(v, slot);
    return found;
}

void RowView::erase(int pos)
{
    const int slot = m_visible[size_t(pos)];
    m_rows.erase(m_rows.begin() + slot);
    std::vector<int> order;
    order.reserve(m_order.size());
    for (int s : m_order)
        if (s != slot)
            order.push_back(s > slot ? s - 1 : s);
    m_order.swap(order);
    rebuildVisible();
}

bool RowView::reread(qint64 rowId, const QByteArray *stored)
{
    int slot = -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == rowId) {
            slot = int(i);
            break;
        }
    if (slot < 0 && !stored)
        return false;
    if (slot >= 0) {
        // Take the row out of the order; it goes back below unless deleted.
        m_order.erase(std::find(m_order.begin(), m_order.end(), slot));
        if (!stored) {
            m_rows.erase(m_rows.begin() + slot);
            for (int &s : m_order)
                if (s > slot)
                    --s;
        }
    }
    if (stored) {
        if (slot < 0) {
            m_rows.emplace_back();
            slot = int(m_rows.size()) - 1;
            m_rows[slot].id = rowId;
        }
        Row &row = m_rows[slot];
        row.packed = *stored;
        buildKeys(row);
        row.passes = passesFilter(row);
        auto at = std::lower_bound(m_order.begin(), m_order.end(), slot,
                                   [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); });
        m_order.insert(at, slot);
    }
    rebuildVisible();
    return true;
}

void RowView::setField(const std::vector<int> &positions, int field, const QVariant &value,
                       const RowWritten &written)
{
    std::vector<int> chosen;
    chosen.reserve(positions.size());
    for (int pos : positions)
        chosen.push_back(m_visible[size_t(pos)]);
    const bool keyField = isKeyField(field);
    bool passesChanged = false;
    const QVector<int> changed{field};
    QVector<QVariant> values(m_schema.fields.size());
    values[field] = value;
    for (int slot : chosen) {
        Row &row = m_rows[size_t(slot)];
        const QByteArray before = row.packed;
        row.packed = packed::withFields(m_schema, before, changed, values);
        written(row.id, before, row.packed);
        if (keyField)
            buildKeys(row);
        const bool passes = passesFilter(row);
        passesChanged = passesChanged || passes != row.passes;
        row.passes = passes;
    }
    if (keyField)
        sortRows();
    if (keyField || passesChanged)
        rebuildVisible();
}

} // namespace store
