#include "store/cursor.h"
#include "store/database.h"
#include "store/errors.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace store {

namespace {

// Text keys order as a Russian reader expects, without regard to case:
// Cyrillic before Latin, "ё" right beside "е".
QCollator &russianCollator()
{
    static QCollator collator = [] {
        QCollator c(QLocale(QLocale::Russian, QLocale::Russia));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

const QCollatorSortKey &emptySortKey()
{
    static const QCollatorSortKey key = russianCollator().sortKey(QString());
    return key;
}

// Both cursors of one file share its connection, so each sees the other's
// stored rows at its next refresh, and a batch covers both.
std::shared_ptr<TableFile> sharedFile(const QString &path, const TableSchema &schema)
{
    static std::map<QString, std::weak_ptr<TableFile>> files;
    auto &slot = files[QFileInfo(path).absoluteFilePath()];
    if (auto file = slot.lock())
        return file;
    auto file = std::make_shared<TableFile>(path, schema);
    slot = file;
    return file;
}

double numberOf(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

template <typename T>
int threeWay(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

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
    m_file = sharedFile(filePath(), m_schema);
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
    m_file.reset();
    emit stateChanged(m_state);
}

// Re-reads every row. Rows whose key fields are unchanged keep their sort
// keys, and when the previous order still holds it is kept without sorting
// again: re-reading a large book after a walk that changed only marks costs
// little more than the read itself.
void Cursor::loadRows()
{
    QVector<StoredRow> stored = m_file->readAll();
    std::vector<Row> old;
    old.swap(m_rows);
    std::unordered_map<qint64, int> oldSlot;
    oldSlot.reserve(old.size());
    for (size_t i = 0; i < old.size(); ++i)
        oldSlot.emplace(old[i].id, int(i));

    m_rows.reserve(stored.size());
    std::vector<int> newSlotOfOld(old.size(), -1);
    bool sameRows = stored.size() == int(old.size());
    for (StoredRow &s : stored) {
        Row row;
        row.id = s.rowId;
        row.values = std::move(s.values);
        auto it = oldSlot.find(row.id);
        if (it != oldSlot.end() && sameKeyValues(old[it->second], row)) {
            row.keys = std::move(old[it->second].keys);
            newSlotOfOld[it->second] = int(m_rows.size());
        } else {
            buildKeys(row);
            if (it == oldSlot.end())
                sameRows = false;
            else
                newSlotOfOld[it->second] = int(m_rows.size());
        }
        row.passes = passesFilter(row);
        m_rows.push_back(std::move(row));
    }
    if (sameRows && keepOrder(old.size(), newSlotOfOld))
        rebuildVisible();
    else {
        sortRows();
        rebuildVisible();
    }
}

bool Cursor::sameKeyValues(const Row &a, const Row &b) const
{
    if (a.keys.size() != m_keyFields.size())
        return false;
    for (int f : m_keyFields) {
        const QVariant &x = a.values[f];
        const QVariant &y = b.values[f];
        if (x.isNull() != y.isNull() || (!x.isNull() && x != y))
            return false;
    }
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
    if (index)
        for (const IndexKey &k : index->keys)
            m_keyFields.push_back(m_schema.fieldIndex(k.field));
}

void Cursor::buildKeys(Row &row) const
{
    row.keys.clear();
    if (!m_index)
        return;
    for (int f : m_keyFields) {
        if (m_schema.fields[f].type == FieldType::Text)
            row.keys.push_back(russianCollator().sortKey(row.values[f].toString()));
        else
            row.keys.push_back(emptySortKey());
    }
}

bool Cursor::lessThan(const Row &a, const Row &b) const
{
    if (m_index) {
        for (int k = 0; k < m_index->keys.size(); ++k) {
            const IndexKey &key = m_index->keys[k];
            const int f = m_keyFields[k];
            const QVariant &va = a.values[f];
            const QVariant &vb = b.values[f];
            int c = 0;
            switch (m_schema.fields[f].type) {
            case FieldType::Text: c = a.keys[k].compare(b.keys[k]); break;
            case FieldType::Date:
                c = threeWay(va.isNull() ? LLONG_MIN : va.toDate().toJulianDay(),
                             vb.isNull() ? LLONG_MIN : vb.toDate().toJulianDay());
                break;
            case FieldType::Time:
                c = threeWay(va.isNull() ? -1 : va.toTime().msecsSinceStartOfDay(),
                             vb.isNull() ? -1 : vb.toTime().msecsSinceStartOfDay());
                break;
            default: c = threeWay(numberOf(va), numberOf(vb)); break;
            }
            if (c != 0)
                return key.descending ? c > 0 : c < 0;
        }
    }
    return a.id < b.id;
}

void Cursor::sortRows()
{
    m_order.resize(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_order[i] = int(i);
    std::sort(m_order.begin(), m_order.end(),
              [this](int a, int b) { return lessThan(m_rows[a], m_rows[b]); });
}

bool Cursor::passesFilter(const Row &row) const
{
    if (!m_filtered || !m_filterHook)
        return true;
    return m_filterHook(RecordView(m_schema, row.values, row.id));
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

const QVector<QVariant> *Cursor::currentValues() const
{
    if (isEditing())
        return &m_buffer;
    const int slot = slotAtPos();
    return slot < 0 ? nullptr : &m_rows[slot].values;
}

QVector<int> Cursor::changedFields() const
{
    QVector<int> changed;
    for (int i = 0; i < m_buffer.size(); ++i) {
        const QVariant &a = m_buffer[i];
        const QVariant &b = m_original[i];
        if (a.isNull() != b.isNull() || (!a.isNull() && a != b))
            changed << i;
    }
    return changed;
}

bool Cursor::isModified() const
{
    if (!isEditing())
        return false;
    for (int i = 0; i < m_buffer.size(); ++i) {
        const QVariant &a = m_buffer[i];
        const QVariant &b = m_original[i];
        if (a.isNull() != b.isNull() || (!a.isNull() && a != b))
            return true;
    }
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
    m_buffer = m_rows[slotAtPos()].values;
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
    if (m_state == State::Insert) {
        m_file->insert(stored);
        Row row;
        row.id = stored.rowId;
        row.values = stored.values;
        m_rows.push_back(std::move(row));
        slot = int(m_rows.size()) - 1;

    } else {
        slot = slotAtPos();
        stored.rowId = m_rows[slot].id;
        m_file->update(stored, changedFields());
        if (storeInPlace(slot)) {
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
        m_rows[slot].values = m_buffer;
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

// A stored row whose index keys and filter result stay as they were keeps
// its place: no list is touched, so a walk that stores every row (marking
// all recipients, say) costs no memory move per row. Otherwise the row's
// values are left as they were for takeOut().
bool Cursor::storeInPlace(int slot)
{
    Row &row = m_rows[slot];
    for (int f : m_keyFields) {
        const QVariant &a = row.values[f];
        const QVariant &b = m_buffer[f];
        if (a.isNull() != b.isNull() || (!a.isNull() && a != b))
            return false;
    }
    const QVector<QVariant> old = row.values;
    row.values = m_buffer;
    const bool passes = passesFilter(row);
    if (m_filtered && passes != row.passes) {
        row.values = old;
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
    m_file->remove(m_rows[slot].id);
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
    StoredRow stored;
    const bool inFile = m_file->readRow(rowId, stored);
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
        row.values = std::move(stored.values);
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
    for (Row &row : m_rows)
        buildKeys(row);
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
        const QVariant &v = m_rows[m_visible[i]].values[f];
        bool equal;
        if (type == FieldType::Text)
            equal = russianCollator().compare(v.toString(), wanted) == 0;
        else if (type == FieldType::Date || type == FieldType::Time)
            equal = v == value;
        else
            equal = !value.isNull() && numberOf(v) == value.toDouble();
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
    const QVector<QVariant> *values = currentValues();
    return values ? values->at(field) : QVariant();
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

void Cursor::setValue(int field, const QVariant &v)
{
    requireOpen();
    const FieldDef &f = m_schema.fields[field];
    if (f.type == FieldType::AutoInc)
        return;  // the store assigns the key
    if (!isEditing())
        edit();
    QVariant stored;
    if (!v.isNull()) {
        if (v.typeId() == QMetaType::QString && f.type != FieldType::Text) {
            stored = convertText(field, v.toString());
        } else {
            switch (f.type) {
            case FieldType::Text: stored = cutToCapacity(v.toString(), f.capacity); break;
            case FieldType::Int: stored = v.toInt(); break;
            case FieldType::Real: stored = v.toDouble(); break;
            case FieldType::Bool: stored = v.toBool(); break;
            case FieldType::Date: stored = v.toDate(); break;
            case FieldType::Time: stored = v.toTime(); break;
            case FieldType::AutoInc: break;
            }
        }
    }
    const QVariant &old = m_buffer[field];
    if (old.isNull() == stored.isNull() && (stored.isNull() || old == stored))
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
    return m_rows[m_visible[row]].values[field];
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
    refresh();
}

QString Cursor::integrityCheck()
{
    requireOpen();
    return m_file->integrityCheck();
}

} // namespace store
