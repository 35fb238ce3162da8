#include "store/cursor.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/packedrow.h"
#include "store/rowcache.h"
#include "store/tableregistry.h"

#include <QDir>
#include <algorithm>

namespace store {

namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && (a.isNull() || a == b);
}

// The row as the user knows it: its first text (the name, in every table
// that has one).
QString rowLabel(const TableSchema &schema, const QVector<QVariant> &values)
{
    for (int i = 0; i < schema.fields.size() && i < values.size(); ++i)
        if (schema.fields[i].type == FieldType::Text)
            return values[i].toString();
    return QString();
}

QString notStored(const QStringList &typed)
{
    return typed.isEmpty() ? QString()
                           : QStringLiteral(" Не сохранено: «%1».").arg(typed.join(QStringLiteral("», «")));
}

// Another copy of the program on the same data folder stored or deleted a
// row this cursor had read; the values typed here are named, so that
// nothing is lost without the user seeing it.
StoreError storedElsewhere(StoreError::Kind kind, const TableSchema &schema, const QString &file,
                           const QVector<QVariant> &asRead, const QStringList &typed)
{
    const QString row = rowLabel(schema, asRead);
    QString text = kind == StoreError::Kind::DeletedElsewhere
                       ? QStringLiteral("Запись «%1» удалена в другой копии программы, открытой на той же "
                                        "папке данных (%2). Ваша правка не сохранена.")
                       : QStringLiteral("Запись «%1» изменена в другой копии программы, открытой на той же "
                                        "папке данных (%2). Ваша правка не сохранена, чтобы не затереть "
                                        "чужую; запись показана такой, какая она сейчас. Повторите правку, "
                                        "если она нужна.");
    return StoreError(kind, text.arg(row, schema.fileName) + notStored(typed), file);
}

} // namespace

Cursor::Cursor(const TableSchema &schema, const QString &name, QObject *parent)
    : QObject(parent), m_schema(schema), m_converter(schema), m_view(schema)
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
    auto table = TableRegistry::share(filePath(), m_schema);
    m_file = std::shared_ptr<TableFile>(table, &table->file);
    m_cache = std::shared_ptr<RowCache>(table, &table->cache);
    m_view.useIndex(m_indexName.isEmpty() ? nullptr : m_schema.index(m_indexName));
    takeRows();
    m_state = State::Browse;
    m_pos = m_view.count() == 0 ? -1 : 0;
    m_bof = true;
    m_eof = m_view.count() == 0;
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
    m_view.clear();
    m_pos = -1;
    m_cache.reset();
    m_file.reset();
    emit stateChanged(m_state);
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

void Cursor::scrolled()
{
    notifyRecord();
    emit afterScroll();
}

void Cursor::first()
{
    checkBrowseMode();
    emit beforeScroll();
    const bool empty = m_view.count() == 0;
    m_pos = empty ? -1 : 0;
    m_bof = true;
    m_eof = empty;
    scrolled();
}

void Cursor::last()
{
    checkBrowseMode();
    emit beforeScroll();
    m_pos = m_view.count() - 1;
    m_eof = true;
    m_bof = m_view.count() == 0;
    scrolled();
}

void Cursor::next()
{
    checkBrowseMode();
    emit beforeScroll();
    if (m_pos + 1 < m_view.count()) {
        ++m_pos;
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
    scrolled();
}

void Cursor::prior()
{
    checkBrowseMode();
    emit beforeScroll();
    if (m_pos > 0) {
        --m_pos;
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
    scrolled();
}

void Cursor::moveTo(int row)
{
    checkBrowseMode();
    emit beforeScroll();
    const int count = m_view.count();
    m_pos = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    m_bof = m_pos <= 0;
    m_eof = count == 0;
    scrolled();
}

int Cursor::recordCount() const
{
    return m_view.count();
}

int Cursor::recNo() const
{
    return m_view.count() == 0 && m_state != State::Insert ? -1 : m_pos;
}

qint64 Cursor::currentRowId() const
{
    if (m_state == State::Insert)
        return 0;
    return onRow() ? m_view.idAt(m_pos) : 0;
}

bool Cursor::gotoRowId(qint64 rowId)
{
    checkBrowseMode();
    return jumpTo(m_view.find(rowId));
}

// A move to a row found by a lookup; no move when it found none.
bool Cursor::jumpTo(int pos)
{
    if (pos < 0)
        return false;
    emit beforeScroll();
    m_pos = pos;
    m_bof = m_eof = false;
    scrolled();
    return true;
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
    return isEditing() && !changedFields().isEmpty();
}

void Cursor::edit()
{
    requireOpen();
    if (isEditing())
        return;
    requireWritable();
    // An edit begins from the row as the file holds it now.
    if (onRow() && outsideChange()) {
        const qint64 id = currentRowId();
        const QVector<QVariant> seen = packed::unpack(m_schema, m_view.rowAt(m_pos));
        followFile();
        if (currentRowId() != id)
            throw storedElsewhere(StoreError::Kind::DeletedElsewhere, m_schema, filePath(), seen, {});
    }
    if (m_view.count() == 0) {
        insert();
        return;
    }
    emit beforeEdit();
    m_buffer = packed::unpack(m_schema, m_view.rowAt(m_pos));
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
    int found;
    bool wasVisible = false;
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    if (m_state == State::Insert) {
        m_file->insert(stored);
        const QByteArray row = packed::pack(m_schema, stored.values);
        m_cache->written(ticket, stored.rowId, row);
        found = m_view.add(stored.rowId, row);
    } else {
        stored.rowId = m_view.idAt(m_pos);
        const QVector<int> changed = changedFields();
        storeChecked(stored, changed);
        const QByteArray mine = packed::pack(m_schema, m_buffer);
        rowWritten(ticket, stored.rowId, m_view.rowAt(m_pos), mine, changed);
        if (m_view.storeInPlace(m_pos, mine)) {
            m_buffer.clear();
            m_original.clear();
            m_state = State::Browse;
            if (!m_controlsDisabled)
                emit rowChanged(m_pos);
            notifyRecord();
            emit stateChanged(m_state);
            emit afterPost();
            followFile();
            return;
        }
        const RowView::Moved moved = m_view.replace(m_pos, mine);
        wasVisible = moved.wasVisible;
        found = moved.pos;
    }
    const bool wasInsert = m_state == State::Insert;
    m_buffer.clear();
    m_original.clear();
    m_state = State::Browse;
    placedAfterPost(found, wasVisible, wasInsert);
    if (wasInsert)
        notifyReset();
    emit stateChanged(m_state);
    emit afterPost();
    // Rows another copy stored meanwhile show at once.
    followFile();
}

// Stores the edit unless another copy of the program stored a different
// value into one of its fields, or deleted the row, since it was read:
// then the edit is dropped, the rows are taken as the file holds them and
// the user hears what was not stored. Fields that only the other copy
// changed are kept as it stored them.
void Cursor::storeChecked(const StoredRow &row, const QVector<int> &changed)
{
    StoreError::Kind refused = StoreError::Kind::ChangedElsewhere;
    const bool written = m_file->update(row, changed, [&](const QByteArray *now) {
        if (!now) {
            refused = StoreError::Kind::DeletedElsewhere;
            return false;
        }
        for (int f : changed) {
            const QVariant stored = packed::value(m_schema, *now, f);
            if (!sameValue(stored, m_original[f]) && !sameValue(stored, m_buffer[f]))
                return false;
        }
        return true;
    });
    if (written)
        return;
    QStringList typed;
    for (int f : changed)
        typed << displayText(f, m_buffer[f]);
    const QVector<QVariant> asRead = m_original;
    cancel();
    m_cache->invalidate();
    followFile();
    throw storedElsewhere(refused, m_schema, filePath(), asRead, typed);
}

// Brings the file's row cache up to a write of some fields of a row. The
// file took only the changed fields, so the cache's row takes only those
// too: another cursor may have stored other fields of the row meanwhile.
// The common case, where the cache still holds this cursor's row, shares
// one block between them.
void Cursor::rowWritten(const RowCache::WriteTicket &ticket, qint64 rowId, const QByteArray &before,
                        const QByteArray &after, const QVector<int> &changed)
{
    const QByteArray *held = ticket.inStep ? m_cache->held(rowId) : nullptr;
    if (!held) {
        m_cache->written({}, rowId, after);
        return;
    }
    // An empty list of changes writes every field.
    if (changed.isEmpty() || held->constData() == before.constData())
        m_cache->written(ticket, rowId, after);
    else
        m_cache->written(ticket, rowId, packed::withFields(m_schema, *held, changed, m_buffer));
}

// Follows a stored row to its new place in the view (found), or keeps the
// place when the filter now hides it.
void Cursor::placedAfterPost(int found, bool wasVisible, bool inserted)
{
    const int viewPos = m_pos;
    const int count = m_view.count();
    if (found >= 0)
        m_pos = found;
    else
        m_pos = count == 0 ? -1 : std::min(std::max(viewPos, 0), count - 1);
    m_eof = count == 0;
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
        if (m_view.count() == 0)
            m_pos = -1;
        else
            m_pos = std::min(m_pos, m_view.count() - 1);
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
    if (!onRow())
        return;
    emit beforeDelete();
    const qint64 id = m_view.idAt(m_pos);
    const QVector<QVariant> asRead = packed::unpack(m_schema, m_view.rowAt(m_pos));
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    // A row another copy of the program changed since it was read is not
    // deleted unseen; one it deleted already is simply gone.
    bool changedElsewhere = false;
    m_file->remove(id, [&](const QByteArray *now) {
        if (!now)
            return false;
        for (int f = 0; f < m_schema.fields.size(); ++f)
            if (!sameValue(packed::value(m_schema, *now, f), asRead[f]))
                changedElsewhere = true;
        return !changedElsewhere;
    });
    if (changedElsewhere) {
        m_cache->invalidate();
        followFile();
        throw StoreError(StoreError::Kind::ChangedElsewhere,
                         QStringLiteral("Запись «%1» изменена в другой копии программы, открытой на той же "
                                        "папке данных (%2), и не удалена: она показана такой, какая она "
                                        "сейчас. Удалите её снова, если это нужно.")
                             .arg(rowLabel(m_schema, asRead), m_schema.fileName),
                         filePath());
    }
    m_cache->removed(ticket, id);
    m_view.erase(m_pos);
    if (m_view.count() == 0)
        m_pos = -1;
    else
        m_pos = std::min(m_pos, m_view.count() - 1);
    m_eof = m_view.count() == 0;
    notifyReset();
    emit afterDelete();
    emit afterScroll();
}

int Cursor::removeVisible()
{
    requireOpen();
    cancel();
    followFile();
    const int count = m_view.count();
    if (count == 0)
        return 0;
    m_file->beginBatch();
    try {
        for (int pos = 0; pos < count; ++pos)
            m_file->remove(m_view.idAt(pos));
        m_file->commitBatch();
    } catch (...) {
        m_file->rollbackBatch();
        throw;
    }
    takeRows();
    m_pos = m_view.count() == 0 ? -1 : 0;
    m_bof = true;
    m_eof = m_view.count() == 0;
    notifyReset();
    emit afterScroll();
    return count;
}

void Cursor::refresh()
{
    checkBrowseMode();
    retakeRowsInPlace();
}

// The rows taken anew from the cache, the cursor kept on its row (or near
// its old place when the row is gone).
void Cursor::retakeRowsInPlace()
{
    const qint64 id = currentRowId();
    const int oldPos = m_pos;
    takeRows();
    m_pos = m_view.positionOf(id, oldPos);
    m_eof = m_view.count() == 0;
    notifyReset();
}

void Cursor::takeRows()
{
    m_view.take(*m_cache);
    m_seenReload = m_cache->reloads();
}

bool Cursor::outsideChange()
{
    if (m_cache->changedElsewhere())
        m_cache->rows();  // read again: every cursor of the file sees it
    return m_cache->reloads() != m_seenReload;
}

bool Cursor::followFile()
{
    // A walk (controls suspended) keeps its rows until it ends.
    if (!isOpen() || isEditing() || m_controlsDisabled || !outsideChange())
        return false;
    retakeRowsInPlace();
    return true;
}

void Cursor::refreshRow(qint64 rowId)
{
    checkBrowseMode();
    QByteArray stored;
    const bool inFile = m_cache->row(rowId, stored);
    const qint64 currentId = currentRowId();
    const int oldPos = m_pos;
    if (!m_view.reread(rowId, inFile ? &stored : nullptr))
        return;
    m_pos = m_view.positionOf(currentId, oldPos);
    m_eof = m_view.count() == 0;
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
        m_view.useIndex(index);
        return;
    }
    checkBrowseMode();
    if (index == m_view.index())
        return;
    const qint64 id = currentRowId();
    m_indexName = index ? index->name : QString();
    m_view.reorder(index);
    m_pos = m_view.positionOf(id, 0);
    notifyReset();
}

bool Cursor::findKey(const QVariant &value)
{
    checkBrowseMode();
    if (!m_view.index())
        throw StoreError(StoreError::Kind::UnknownIndex,
                         QStringLiteral("У таблицы %1 не выбран индекс для поиска").arg(m_schema.fileName));
    return jumpTo(m_view.findKey(value));
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
    return onRow() ? packed::value(m_schema, m_view.rowAt(m_pos), field) : QVariant();
}

QString Cursor::asString(const QString &name) const
{
    const int f = fieldIndex(name);
    return displayText(f, value(f));
}

int Cursor::asInteger(const QString &name) const
{
    const int f = fieldIndex(name);
    return m_converter.toInteger(f, value(f));
}

double Cursor::asFloat(const QString &name) const
{
    const int f = fieldIndex(name);
    return m_converter.toFloat(f, value(f));
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
    return m_converter.fromText(field, text);
}

QString Cursor::displayText(int field, const QVariant &v) const
{
    return m_converter.toText(field, v);
}

void Cursor::setValue(int field, const QVariant &v)
{
    requireOpen();
    if (m_schema.fields[field].type == FieldType::AutoInc)
        return;  // the store assigns the key
    const QVariant stored = m_converter.typed(field, v);
    if (!isEditing()) {
        // The text typed was made from the value shown; if another copy
        // changed that value meanwhile, the typing would overwrite it.
        const QVariant shown = value(field);
        try {
            edit();
        } catch (const StoreError &e) {
            if (e.kind() != StoreError::Kind::DeletedElsewhere)
                throw;
            throw StoreError(e.kind(), e.message() + notStored({displayText(field, stored)}), e.file());
        }
        if (m_state == State::Edit && !sameValue(m_buffer[field], shown)) {
            const QVector<QVariant> now = m_buffer;
            cancel();
            throw storedElsewhere(StoreError::Kind::ChangedElsewhere, m_schema, filePath(), now,
                                  {displayText(field, stored)});
        }
    }
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
    return m_view.count() + (m_state == State::Insert ? 1 : 0);
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
    if (row < 0 || row >= m_view.count())
        return {};
    return packed::value(m_schema, m_view.rowAt(row), field);
}

// ---- filter and batches -------------------------------------------------

void Cursor::setFiltered(bool on)
{
    m_view.setFiltered(on);
    if (isOpen())
        refilter();
}

void Cursor::refilter()
{
    if (!isOpen())
        return;
    checkBrowseMode();
    const qint64 id = currentRowId();
    m_view.refilter();
    m_pos = m_view.positionOf(id, 0);
    m_bof = true;
    m_eof = m_view.count() == 0;
    notifyReset();
}

int Cursor::setFieldOfAll(int field, const QVariant &value)
{
    requireOpen();
    requireWritable();
    checkBrowseMode();
    followFile();  // "all" takes in what another copy stored meanwhile
    if (m_schema.fields[field].type == FieldType::AutoInc)
        return 0;
    const QVariant stored = m_converter.typed(field, value);
    std::vector<int> written;
    QVector<qint64> ids;
    for (int pos = 0; pos < m_view.count(); ++pos)
        if (!sameValue(packed::value(m_schema, m_view.rowAt(pos), field), stored)) {
            written.push_back(pos);
            ids << m_view.idAt(pos);
        }
    if (written.empty())
        return 0;
    const qint64 currentId = currentRowId();
    const RowCache::WriteTicket ticket = m_cache->beforeWrite();
    m_file->updateField(ids, field, stored);
    const QVector<int> changed{field};
    QVector<QVariant> values(m_schema.fields.size());
    values[field] = stored;
    m_view.setField(written, field, stored, [&](qint64 id, const QByteArray &before, const QByteArray &after) {
        const QByteArray *held = ticket.inStep ? m_cache->held(id) : nullptr;
        if (held && held->constData() != before.constData())
            m_cache->written(ticket, id, packed::withFields(m_schema, *held, changed, values));
        else
            m_cache->written(held ? ticket : RowCache::WriteTicket{}, id, after);
    });
    m_pos = m_view.positionOf(currentId, m_pos);
    m_eof = m_view.count() == 0;
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
