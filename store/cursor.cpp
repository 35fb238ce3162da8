#include "store/cursor.h"
#include "store/database.h"
#include "store/collation.h"
#include "store/errors.h"
#include "store/packedrow.h"
#include "store/rowcache.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

namespace store {

namespace {

// Both cursors of one file share its connection and its row cache, so each
// sees the other's stored rows at its next refresh without reading the file
// again, and a batch covers both.
struct SharedTable {
    SharedTable(const QString &path, const TableSchema &schema) : file(path, schema), cache(file) {}
    TableFile file;
    RowCache cache;
};

std::shared_ptr<SharedTable> sharedTable(const QString &path, const TableSchema &schema)
{
    static std::map<QString, std::weak_ptr<SharedTable>> tables;
    auto &slot = tables[QFileInfo(path).absoluteFilePath()];
    if (auto table = slot.lock())
        return table;
    auto table = std::make_shared<SharedTable>(path, schema);
    slot = table;
    return table;
}

double numberOf(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

template <typename T>
int threeWay(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && (a.isNull() || a == b);
}

} // namespace

const QVariant &RecordView::value(int field) const
{
    if (m_values)
        return (*m_values)[field];
    if (m_decoded.isEmpty())
        m_decoded = packed::unpack(m_schema, *m_packed);
    return m_decoded[field];
}

QString RecordView::text(int field) const
{
    return m_values ? (*m_values)[field].toString() : packed::text(m_schema, *m_packed, field);
}

qsizetype RecordView::textLength(int field) const
{
    if (m_values)
        return (*m_values)[field].toString().size();
    if (m_schema.fields[field].type == FieldType::Text)
        return packed::textLength(*m_packed, field);
    return text(field).size();
}

const void *RecordView::identity() const
{
    return m_values ? static_cast<const void *>(m_values->constData())
                    : static_cast<const void *>(m_packed->constData());
}

Cursor::Cursor(const TableSchema &schema, const QString &name, QObject *parent)
    : QObject(parent), m_schema(schema)
{
    setObjectName(name);
}

Cursor::~Cursor() = default;

QString Cursor::filePath() const
{
    return QDir(m_location).filePath(m_schema.fileName);
}

void Cursor::requireOpen() const
{
    if (m_state == State::Inactive)
        throw StoreError(StoreError::Kind::NotOpen,
                         QStringLiteral("Таблица %1 не открыта").arg(m_schema.fileName));
}

bool Cursor::isReadOnly() const
{
    return m_file && m_file->isReadOnly();
}

QString Cursor::readOnlyMessage() const
{
    return QStringLiteral("Папка данных %1 доступна только для чтения: изменения не могут быть "
                          "сохранены. Адресатов можно просматривать и печатать. Чтобы вносить "
                          "изменения, разрешите запись в эту папку или перенесите программу в "
                          "папку, доступную для записи, и запустите её снова.")
        .arg(QDir::toNativeSeparators(m_location));
}

QString Cursor::repairNote() const
{
    return m_file ? m_file->repairNote() : QString();
}

void Cursor::requireWritable() const
{
    if (isReadOnly())
        throw StoreError(StoreError::Kind::ReadOnly,
                         QStringLiteral("Папка данных %1 доступна только для чтения.")
                             .arg(QDir::toNativeSeparators(m_location)),
                         filePath());
}

void Cursor::open()
{
    if (isOpen())
        return;
    if (m_beforeOpen)
        m_beforeOpen(*this);
    auto table = sharedTable(filePath(), m_schema);
    m_file = std::shared_ptr<TableFile>(table, &table->file);
    m_cache = std::shared_ptr<RowCache>(table, &table->cache);
    useIndex(m_indexName.isEmpty() ? nullptr : m_schema.index(m_indexName));
    loadRows();
    m_state = State::Browse;
    m_pos = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    emit afterOpen();
    notifyReset();
}

void Cursor::close()
{
    if (!isOpen())
        return;
    if (m_state == State::Insert || m_state == State::Edit)
        m_buffer.clear();
    m_state = State::Inactive;
    m_rows.clear();
    m_order.clear();
    m_visible.clear();
    m_pos = -1;
    m_rowsGeneration = 0;
    m_cache.reset();
    m_file.reset();
    emit stateChanged(m_state);
}

// Takes every row from the file's row cache (which reads the file only when
// something else changed it). Rows whose key fields are unchanged keep their
// sort keys, and when the previous order still holds it is kept without
// sorting again: re-reading a large book after a walk that changed only
// marks costs little more than a pass over the rows.
void Cursor::loadRows()
{
    const std::vector<RowCache::Entry> &stored = m_cache->rows();
    if (m_rowsGeneration == m_cache->generation() && m_rows.size() == stored.size()) {
        // Nothing was written since: the rows and their order stand.
        for (Row &row : m_rows)
            row.passes = passesFilter(row);
        rebuildVisible();
        return;
    }
    m_rowsGeneration = m_cache->generation();
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

bool Cursor::sameKeyValues(const Row &a, const Row &b) const
{
    for (int f : m_keyFields)
        if (!packed::sameField(a.packed, b.packed, f))
            return false;
    return true;
}

// Carries the previous order over to the re-read rows; false when a row
// now stands out of order, so that the caller sorts.
bool Cursor::keepOrder(size_t oldCount, const std::vector<int> &newSlotOfOld)
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

// The fields of the index keys are looked up once here: sorting compares
// rows some n log n times and must not search the schema by name each time.
void Cursor::useIndex(const IndexDef *index)
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

void Cursor::buildKeys(Row &row, collation::SharedKeys *shared) const
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

bool Cursor::lessThan(const Row &a, const Row &b) const
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
quint64 Cursor::firstKeyNumber(const Row &row) const
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

void Cursor::sortRows()
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

bool Cursor::passesFilter(const Row &row) const
{
    if (!m_filtered || !m_filterHook)
        return true;
    return m_filterHook(RecordView(m_schema, row.packed, row.id));
}

void Cursor::rebuildVisible()
{
    m_visible.clear();
    m_visible.reserve(m_order.size());
    for (int slot : m_order)
        if (!m_filtered || m_rows[slot].passes)
            m_visible.push_back(slot);
}

int Cursor::slotAtPos() const
{
    if (m_pos < 0 || m_pos >= int(m_visible.size()))
        return -1;
    return m_visible[m_pos];
}

// The place of a row in the view, or the fallback place (clamped) when the
// row is gone or filtered out; -1 for an empty view.
int Cursor::positionOf(qint64 rowId, int fallback) const
{
    for (size_t i = 0; i < m_visible.size(); ++i)
        if (m_rows[m_visible[i]].id == rowId)
            return int(i);
    return m_visible.empty() ? -1 : std::clamp(fallback, 0, int(m_visible.size()) - 1);
}

int Cursor::visiblePosOfSlot(int slot) const
{
    auto it = std::find(m_visible.begin(), m_visible.end(), slot);
    return it == m_visible.end() ? -1 : int(it - m_visible.begin());
}

void Cursor::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void Cursor::notifyReset()
{
    if (m_controlsDisabled)
        return;
    emit rowsReset();
    emit recordChanged();
}

void Cursor::notifyRecord()
{
    if (!m_controlsDisabled)
        emit recordChanged();
}

void Cursor::enableControls()
{
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0)
        notifyReset();
}

// ---- moving -----------------------------------------------------------

void Cursor::checkBrowseMode()
{
    requireOpen();
    if (!isEditing())
        return;
    if (isModified())
        post();
    else
        cancel();
}

void Cursor::scrolled(int oldPos, qint64 oldId)
{
    Q_UNUSED(oldPos)
    Q_UNUSED(oldId)
    notifyRecord();
    emit afterScroll();
}

void Cursor::first()
{
    checkBrowseMode();
    emit beforeScroll();
    const int old = m_pos;
    m_pos = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    scrolled(old, 0);
}

void Cursor::last()
{
    checkBrowseMode();
    emit beforeScroll();
    const int old = m_pos;
    m_pos = int(m_visible.size()) - 1;
    m_eof = true;
    m_bof = m_visible.empty();
    scrolled(old, 0);
}

void Cursor::next()
{
    checkBrowseMode();
    emit beforeScroll();
    const int old = m_pos;
    if (m_pos + 1 < int(m_visible.size())) {
        ++m_pos;
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
    scrolled(old, 0);
}

void Cursor::prior()
{
    checkBrowseMode();
    emit beforeScroll();
    const int old = m_pos;
    if (m_pos > 0) {
        --m_pos;
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
    scrolled(old, 0);
}

void Cursor::moveTo(int row)
{
    checkBrowseMode();
    emit beforeScroll();
    const int old = m_pos;
    if (m_visible.empty()) {
        m_pos = -1;
    } else {
        m_pos = std::clamp(row, 0, int(m_visible.size()) - 1);
    }
    m_bof = m_pos <= 0;
    m_eof = m_visible.empty();
    scrolled(old, 0);
}

int Cursor::recordCount() const
{
    return int(m_visible.size());
}

int Cursor::recNo() const
{
    return m_visible.empty() && m_state != State::Insert ? -1 : m_pos;
}

qint64 Cursor::currentRowId() const
{
    if (m_state == State::Insert)
        return 0;
    const int slot = slotAtPos();
    return slot < 0 ? 0 : m_rows[slot].id;
}

bool Cursor::gotoRowId(qint64 rowId)
{
    checkBrowseMode();
    for (size_t i = 0; i < m_visible.size(); ++i) {
        if (m_rows[m_visible[i]].id == rowId) {
            emit beforeScroll();
            const int old = m_pos;
            m_pos = int(i);
            m_bof = m_eof = false;
            scrolled(old, rowId);
            return true;
        }
    }
    return false;
}

// ---- editing ----------------------------------------------------------

QVector<int> Cursor::changedFields() const
{
    QVector<int> changed;
    for (int i = 0; i < m_buffer.size(); ++i)
        if (!sameValue(m_buffer[i], m_original[i]))
            changed << i;
    return changed;
}

bool Cursor::isModified() const
{
    if (!isEditing())
        return false;
    for (int i = 0; i < m_buffer.size(); ++i)
        if (!sameValue(m_buffer[i], m_original[i]))
            return true;
    return false;
}

void Cursor::edit()
{
    requireOpen();
    if (isEditing())
        return;
    requireWritable();
    if (m_visible.empty()) {
        insert();
        return;
    }
    emit beforeEdit();
    m_buffer = packed::unpack(m_schema, m_rows[slotAtPos()].packed);
    m_original = m_buffer;
    setState(State::Edit);
    emit afterEdit();
}

void Cursor::insert()
{
    requireOpen();
    requireWritable();
    checkBrowseMode();
    emit beforeInsert();
    m_buffer.clear();
    for (const FieldDef &f : m_schema.fields)
        m_buffer << f.defaultValue;
    if (m_pos < 0)
        m_pos = 0;
    setState(State::Insert);
    emit newRecord();
    m_original = m_buffer;
    notifyReset();
    emit afterInsert();
}

void Cursor::post()
{
    requireOpen();
    if (!isEditing())
        return;
    emit beforePost();
    StoredRow stored;
    stored.values = m_buffer;
    int slot;
    bool wasVisible = false;
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    if (m_state == State::Insert) {
        m_file->insert(stored);
        Row row;
        row.id = stored.rowId;
        row.packed = packed::pack(m_schema, stored.values);
        m_cache->written(ticket, row.id, row.packed);
        m_rows.push_back(std::move(row));
        slot = int(m_rows.size()) - 1;

    } else {
        slot = slotAtPos();
        stored.rowId = m_rows[slot].id;
        const QVector<int> changed = changedFields();
        m_file->update(stored, changed);
        const QByteArray mine = packed::pack(m_schema, m_buffer);
        rowWritten(ticket, m_rows[slot], mine, changed);
        if (storeInPlace(slot, mine)) {
            m_buffer.clear();
            m_original.clear();
            m_state = State::Browse;
            if (!m_controlsDisabled)
                emit rowChanged(m_pos);
            notifyRecord();
            emit stateChanged(m_state);
            emit afterPost();
            return;
        }
        wasVisible = takeOut(slot);
        m_rows[slot].packed = mine;
    }
    const bool wasInsert = m_state == State::Insert;
    m_buffer.clear();
    m_original.clear();
    m_state = State::Browse;
    placeAfterPost(slot, wasVisible, wasInsert);
    if (wasInsert)
        notifyReset();
    emit stateChanged(m_state);
    emit afterPost();
}

// Brings the file's row cache up to a write of some fields of a row. The
// file took only the changed fields, so the cache's row takes only those
// too: another cursor may have stored other fields of the row meanwhile.
// The common case, where the cache still holds this cursor's row, shares
// one block between them.
void Cursor::rowWritten(const RowCache::WriteTicket &ticket, const Row &before, const QByteArray &after,
                        const QVector<int> &changed)
{
    const QByteArray *held = ticket.inStep ? m_cache->held(before.id) : nullptr;
    if (!held) {
        m_cache->written({}, before.id, after);
        return;
    }
    // An empty list of changes writes every field.
    if (changed.isEmpty() || held->constData() == before.packed.constData())
        m_cache->written(ticket, before.id, after);
    else
        m_cache->written(ticket, before.id, packed::withFields(m_schema, *held, changed, m_buffer));
}

// A stored row whose index keys and filter result stay as they were keeps
// its place: no list is touched, so a walk that stores every row (marking
// all recipients, say) costs no memory move per row. Otherwise the row's
// values are left as they were for takeOut().
bool Cursor::storeInPlace(int slot, const QByteArray &packedRow)
{
    Row &row = m_rows[slot];
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

// Keeps the order and the filtered view right after one row was stored.
// The row is taken out of both ordered lists under its old keys and put
// back under its new ones by binary search, so a walk that posts every row,
// or a long run of inserts, costs a logarithmic search and a memory move
// per row rather than a pass over the whole table.
bool Cursor::takeOut(int slot)
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

void Cursor::placeAfterPost(int slot, bool wasVisible, bool inserted)
{
    Row &row = m_rows[slot];
    auto before = [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); };
    buildKeys(row);
    row.passes = passesFilter(row);
    m_order.insert(std::lower_bound(m_order.begin(), m_order.end(), slot, before), slot);
    const int viewPos = m_pos;
    int found = -1;
    if (!m_filtered || row.passes) {
        auto v = std::lower_bound(m_visible.begin(), m_visible.end(), slot, before);
        found = int(v - m_visible.begin());
        m_visible.insert(v, slot);
    }
    if (found >= 0)
        m_pos = found;
    else
        m_pos = m_visible.empty() ? -1 : std::min(std::max(viewPos, 0), int(m_visible.size()) - 1);
    m_eof = m_visible.empty();
    if (!inserted && wasVisible && found == viewPos) {
        if (!m_controlsDisabled)
            emit rowChanged(viewPos);
        notifyRecord();
        return;
    }
    notifyReset();
}

void Cursor::cancel()
{
    requireOpen();
    if (!isEditing())
        return;
    emit beforeCancel();
    const bool wasInsert = m_state == State::Insert;
    m_buffer.clear();
    m_original.clear();
    m_state = State::Browse;
    if (wasInsert) {
        if (m_visible.empty())
            m_pos = -1;
        else
            m_pos = std::min(m_pos, int(m_visible.size()) - 1);
        notifyReset();
    } else {
        notifyRecord();
    }
    emit stateChanged(m_state);
    emit afterCancel();
}

void Cursor::remove()
{
    requireOpen();
    requireWritable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    const int slot = slotAtPos();
    if (slot < 0)
        return;
    emit beforeDelete();
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    m_file->remove(m_rows[slot].id);
    m_cache->removed(ticket, m_rows[slot].id);
    m_rows.erase(m_rows.begin() + slot);
    std::vector<int> order;
    order.reserve(m_order.size());
    for (int s : m_order)
        if (s != slot)
            order.push_back(s > slot ? s - 1 : s);
    m_order.swap(order);
    rebuildVisible();
    if (m_visible.empty())
        m_pos = -1;
    else
        m_pos = std::min(m_pos, int(m_visible.size()) - 1);
    m_eof = m_visible.empty();
    notifyReset();
    emit afterDelete();
    emit afterScroll();
}

int Cursor::removeVisible()
{
    requireOpen();
    cancel();
    const int count = int(m_visible.size());
    if (count == 0)
        return 0;
    m_file->beginBatch();
    try {
        for (int slot : m_visible)
            m_file->remove(m_rows[slot].id);
        m_file->commitBatch();
    } catch (...) {
        m_file->rollbackBatch();
        throw;
    }
    loadRows();
    m_pos = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    notifyReset();
    emit afterScroll();
    return count;
}

void Cursor::refresh()
{
    checkBrowseMode();
    const qint64 id = currentRowId();
    const int oldPos = m_pos;
    loadRows();
    m_pos = positionOf(id, oldPos);
    m_eof = m_visible.empty();
    notifyReset();
}

void Cursor::refreshRow(qint64 rowId)
{
    checkBrowseMode();
    QByteArray stored;
    const bool inFile = m_cache->row(rowId, stored);
    int slot = -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == rowId) {
            slot = int(i);
            break;
        }
    if (slot < 0 && !inFile)
        return;
    const qint64 currentId = currentRowId();
    const int oldPos = m_pos;
    if (slot >= 0) {
        // Take the row out of the order; it goes back below unless deleted.
        m_order.erase(std::find(m_order.begin(), m_order.end(), slot));
        if (!inFile) {
            m_rows.erase(m_rows.begin() + slot);
            for (int &s : m_order)
                if (s > slot)
                    --s;
        }
    }
    if (inFile) {
        if (slot < 0) {
            m_rows.emplace_back();
            slot = int(m_rows.size()) - 1;
            m_rows[slot].id = rowId;
        }
        Row &row = m_rows[slot];
        row.packed = stored;
        buildKeys(row);
        row.passes = passesFilter(row);
        auto at = std::lower_bound(m_order.begin(), m_order.end(), slot,
                                   [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); });
        m_order.insert(at, slot);
    }
    rebuildVisible();
    m_pos = positionOf(currentId, oldPos);
    m_eof = m_visible.empty();
    notifyReset();
}

// ---- order and lookup -------------------------------------------------

void Cursor::setIndexName(const QString &name)
{
    const IndexDef *index = name.isEmpty() ? nullptr : m_schema.index(name);
    if (!name.isEmpty() && !index)
        throw StoreError(StoreError::Kind::UnknownIndex,
                         QStringLiteral("В таблице %1 нет индекса %2").arg(m_schema.fileName, name));
    if (!isOpen()) {
        m_indexName = index ? index->name : QString();
        useIndex(index);
        return;
    }
    checkBrowseMode();
    if (index == m_index)
        return;
    const qint64 id = currentRowId();
    m_indexName = index ? index->name : QString();
    useIndex(index);
    collation::SharedKeys keys;
    for (Row &row : m_rows)
        buildKeys(row, &keys);
    sortRows();
    rebuildVisible();
    m_pos = positionOf(id, 0);
    notifyReset();
}

bool Cursor::findKey(const QVariant &value)
{
    checkBrowseMode();
    if (!m_index)
        throw StoreError(StoreError::Kind::UnknownIndex,
                         QStringLiteral("У таблицы %1 не выбран индекс для поиска").arg(m_schema.fileName));
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
        if (equal) {
            emit beforeScroll();
            m_pos = int(i);
            m_bof = m_eof = false;
            scrolled(-1, 0);
            return true;
        }
    }
    return false;
}

// ---- fields -----------------------------------------------------------

int Cursor::fieldIndex(const QString &name) const
{
    const int f = m_schema.fieldIndex(name);
    if (f < 0)
        throw StoreError(StoreError::Kind::UnknownField,
                         QStringLiteral("В таблице %1 нет поля %2").arg(m_schema.fileName, name));
    return f;
}

QVariant Cursor::value(int field) const
{
    if (isEditing())
        return m_buffer.value(field);
    const int slot = slotAtPos();
    return slot < 0 ? QVariant() : packed::value(m_schema, m_rows[size_t(slot)].packed, field);
}

QString Cursor::asString(const QString &name) const
{
    const int f = fieldIndex(name);
    return displayText(f, value(f));
}

int Cursor::asInteger(const QString &name) const
{
    const int f = fieldIndex(name);
    const QVariant v = value(f);
    if (v.isNull())
        return 0;
    if (m_schema.fields[f].type == FieldType::Text) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw ConversionError(v.toString(), "integer");
        return n;
    }
    if (m_schema.fields[f].type == FieldType::Real)
        return int(std::nearbyint(v.toDouble()));
    return v.toInt();
}

double Cursor::asFloat(const QString &name) const
{
    const int f = fieldIndex(name);
    const QVariant v = value(f);
    if (v.isNull())
        return 0.0;
    if (m_schema.fields[f].type == FieldType::Text) {
        bool ok = false;
        double d = QLocale().toDouble(v.toString(), &ok);
        if (!ok)
            d = v.toString().toDouble(&ok);
        if (!ok)
            throw ConversionError(v.toString(), "floating point");
        return d;
    }
    return v.toDouble();
}

bool Cursor::asBoolean(const QString &name) const
{
    const QVariant v = value(fieldIndex(name));
    return !v.isNull() && v.toBool();
}

QDate Cursor::asDate(const QString &name) const
{
    return value(fieldIndex(name)).toDate();
}

QTime Cursor::asTime(const QString &name) const
{
    return value(fieldIndex(name)).toTime();
}

QVariant Cursor::convertText(int field, const QString &text) const
{
    const FieldDef &f = m_schema.fields[field];
    if (f.type == FieldType::Text)
        return cutToCapacity(text, f.capacity);
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    bool ok = false;
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Int: {
        int v = QLocale().toInt(t, &ok);
        if (!ok)
            v = t.toInt(&ok);
        if (!ok)
            throw ConversionError(text, "integer");
        return v;
    }
    case FieldType::Real: {
        double v = QLocale().toDouble(t, &ok);
        if (!ok)
            v = QLocale::c().toDouble(t, &ok);
        if (!ok || !std::isfinite(v))
            throw ConversionError(text, "floating point");
        return v;
    }
    case FieldType::Bool: {
        const QString l = t.toLower();
        if (l == "true" || l == "1" || l == QStringLiteral("да"))
            return true;
        if (l == "false" || l == "0" || l == QStringLiteral("нет"))
            return false;
        throw ConversionError(text, "boolean");
    }
    case FieldType::Date: {
        QDate d = QLocale().toDate(t, QLocale::ShortFormat);
        if (!d.isValid())
            d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            throw ConversionError(text, "date");
        return d;
    }
    case FieldType::Time: {
        QTime tm = QTime::fromString(t, "HH:mm:ss");
        if (!tm.isValid())
            tm = QTime::fromString(t, "H:mm");
        if (!tm.isValid())
            throw ConversionError(text, "time");
        return tm;
    }
    case FieldType::Text: break;
    }
    return {};
}

QString Cursor::displayText(int field, const QVariant &v) const
{
    if (v.isNull())
        return {};
    switch (m_schema.fields[field].type) {
    case FieldType::Text: return v.toString();
    case FieldType::AutoInc:
    case FieldType::Int: return QString::number(v.toInt());
    case FieldType::Real: return QLocale().toString(v.toDouble(), 'g', 15);
    case FieldType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date: return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    case FieldType::Time: return v.toTime().toString("HH:mm:ss");
    }
    return {};
}

// A value in the type of a field: texts cut to capacity, typed-in texts
// converted (throws ConversionError).
QVariant Cursor::typedValue(int field, const QVariant &v) const
{
    const FieldDef &f = m_schema.fields[field];
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString && f.type != FieldType::Text)
        return convertText(field, v.toString());
    switch (f.type) {
    case FieldType::Text: return cutToCapacity(v.toString(), f.capacity);
    case FieldType::Int: return v.toInt();
    case FieldType::Real: return v.toDouble();
    case FieldType::Bool: return v.toBool();
    case FieldType::Date: return v.toDate();
    case FieldType::Time: return v.toTime();
    case FieldType::AutoInc: break;
    }
    return {};
}

void Cursor::setValue(int field, const QVariant &v)
{
    requireOpen();
    if (m_schema.fields[field].type == FieldType::AutoInc)
        return;  // the store assigns the key
    if (!isEditing())
        edit();
    const QVariant stored = typedValue(field, v);
    if (sameValue(m_buffer[field], stored))
        return;
    m_buffer[field] = stored;
    emit fieldChanged(field);
    if (!m_controlsDisabled)
        emit rowChanged(m_pos);
}

void Cursor::setAsString(const QString &name, const QString &text)
{
    const int f = fieldIndex(name);
    setValue(f, convertText(f, text));
}

// ---- rows for views -----------------------------------------------------

int Cursor::viewRowCount() const
{
    return int(m_visible.size()) + (m_state == State::Insert ? 1 : 0);
}

QVariant Cursor::valueAt(int row, int field) const
{
    if (m_state == State::Insert) {
        if (row == m_pos)
            return m_buffer[field];
        if (row > m_pos)
            --row;
    } else if (m_state == State::Edit && row == m_pos) {
        return m_buffer[field];
    }
    if (row < 0 || row >= int(m_visible.size()))
        return {};
    return packed::value(m_schema, m_rows[m_visible[row]].packed, field);
}

// ---- filter and batches -------------------------------------------------

void Cursor::setFiltered(bool on)
{
    m_filtered = on;
    if (isOpen())
        refilter();
}

void Cursor::refilter()
{
    if (!isOpen())
        return;
    checkBrowseMode();
    const qint64 id = currentRowId();
    for (Row &row : m_rows)
        row.passes = passesFilter(row);
    rebuildVisible();
    m_pos = positionOf(id, 0);
    m_bof = true;
    m_eof = m_visible.empty();
    notifyReset();
}

int Cursor::setFieldOfAll(int field, const QVariant &value)
{
    requireOpen();
    requireWritable();
    checkBrowseMode();
    if (m_schema.fields[field].type == FieldType::AutoInc)
        return 0;
    const QVariant stored = typedValue(field, value);
    std::vector<int> written;
    QVector<qint64> ids;
    for (int slot : m_visible)
        if (!sameValue(packed::value(m_schema, m_rows[size_t(slot)].packed, field), stored)) {
            written.push_back(slot);
            ids << m_rows[size_t(slot)].id;
        }
    if (written.empty())
        return 0;
    const qint64 currentId = currentRowId();
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    m_file->updateField(ids, field, stored);
    const bool keyField = std::find(m_keyFields.begin(), m_keyFields.end(), field) != m_keyFields.end();
    bool passesChanged = false;
    const QVector<int> changed{field};
    QVector<QVariant> values(m_schema.fields.size());
    values[field] = stored;
    for (int slot : written) {
        Row &row = m_rows[size_t(slot)];
        const QByteArray before = row.packed;
        row.packed = packed::withFields(m_schema, before, changed, values);
        const QByteArray *held = ticket.inStep ? m_cache->held(row.id) : nullptr;
        if (held && held->constData() != before.constData())
            m_cache->written(ticket, row.id, packed::withFields(m_schema, *held, changed, values));
        else
            m_cache->written(held ? ticket : RowCache::WriteTicket{}, row.id, row.packed);
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
    m_pos = positionOf(currentId, m_pos);
    m_eof = m_visible.empty();
    notifyReset();
    for (size_t i = 0; i < written.size(); ++i)
        emit afterPost();
    return int(written.size());
}

void Cursor::beginBatch()
{
    requireOpen();
    m_file->beginBatch();
}

void Cursor::commitBatch()
{
    requireOpen();
    m_file->commitBatch();
}

void Cursor::rollbackBatch()
{
    requireOpen();
    if (isEditing())
        cancel();
    m_file->rollbackBatch();
    m_cache->invalidate();
    refresh();
}

QString Cursor::integrityCheck()
{
    requireOpen();
    return m_file->integrityCheck();
}

} // namespace store
