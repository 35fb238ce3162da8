#include "store/database.h"
#include "store/errors.h"
#include "store/packedrow.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace store {

namespace {

const char *kDateFormat = "yyyy-MM-dd";
const char *kTimeFormat = "HH:mm:ss.zzz";

class Statement {
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    int prepareResult() const { return m_rc; }
    sqlite3_stmt *get() const { return m_stmt; }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc;
};

void bindValue(sqlite3_stmt *st, int pos, const FieldDef &f, const QVariant &v)
{
    if (v.isNull()) {
        sqlite3_bind_null(st, pos);
        return;
    }
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Int: sqlite3_bind_int64(st, pos, v.toLongLong()); break;
    case FieldType::Bool: sqlite3_bind_int(st, pos, v.toBool() ? 1 : 0); break;
    case FieldType::Real: sqlite3_bind_double(st, pos, v.toDouble()); break;
    case FieldType::Text: {
        const QByteArray utf8 = v.toString().toUtf8();
        sqlite3_bind_text(st, pos, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::Date: {
        const QByteArray s = v.toDate().toString(kDateFormat).toLatin1();
        sqlite3_bind_text(st, pos, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::Time: {
        const QByteArray s = v.toTime().toString(kTimeFormat).toLatin1();
        sqlite3_bind_text(st, pos, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

QVariant columnValue(sqlite3_stmt *st, int col, const FieldDef &f)
{
    if (sqlite3_column_type(st, col) == SQLITE_NULL)
        return {};
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Int: return int(sqlite3_column_int64(st, col));
    case FieldType::Bool: return sqlite3_column_int(st, col) != 0;
    case FieldType::Real: return sqlite3_column_double(st, col);
    case FieldType::Text: {
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
        return QString::fromUtf8(p, sqlite3_column_bytes(st, col));
    }
    case FieldType::Date: {
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
        const QDate d = QDate::fromString(QString::fromLatin1(p), kDateFormat);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Time: {
        const QString s = QString::fromLatin1(reinterpret_cast<const char *>(sqlite3_column_text(st, col)));
        QTime t = QTime::fromString(s, kTimeFormat);
        if (!t.isValid())
            t = QTime::fromString(s, "HH:mm:ss");
        return t.isValid() ? QVariant(t) : QVariant();
    }
    }
    return {};
}

QString quoted(const QString &name) { return '"' + name + '"'; }

// The longest path of a table file the store opens: the engine's own limit
// (512 bytes) less room for the name of its journal beside the file.
constexpr int kMaxPathBytes = 500;

QString damagedText(const QString &path)
{
    return QStringLiteral("Файл %1 повреждён или не является таблицей программы").arg(path);
}

// The engine's quick integrity check: "ok" when sound.
QString quickCheck(sqlite3 *db)
{
    Statement st(db, QStringLiteral("PRAGMA quick_check"));
    QStringList out;
    if (st.prepareResult() != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 0)));
    if (rc != SQLITE_DONE)
        out << QString::fromUtf8(sqlite3_errmsg(db));
    return out.join('\n');
}

// The columns of a table; false when the file cannot be read.
bool readColumns(sqlite3 *db, const QString &table, QStringList &columns)
{
    Statement st(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)));
    if (st.prepareResult() != SQLITE_OK)
        return false;
    int step;
    while ((step = sqlite3_step(st.get())) == SQLITE_ROW)
        columns << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
    return step == SQLITE_DONE;
}

// The schema's fields among the columns a file has, checked as at open.
QStringList absentFields(sqlite3 *db, const QString &path, const TableSchema &schema)
{
    QStringList columns;
    if (!readColumns(db, schema.tableName, columns))
        throw StoreError(StoreError::Kind::NotADatabase, damagedText(path), path);
    if (columns.isEmpty())
        throw StoreError(StoreError::Kind::WrongSchema,
                         QStringLiteral("В файле %1 нет таблицы %2").arg(path, schema.tableName), path);
    QStringList absent;
    for (const FieldDef &f : schema.fields)
        if (!columns.contains(f.name, Qt::CaseInsensitive))
            absent << f.name;
    return absent;
}

[[noreturn]] void throwFor(int rc, sqlite3 *db, const QString &path, const QString &what)
{
    const QString detail = QString::fromUtf8(sqlite3_errmsg(db));
    // The engine's result code stays here, in the cause.
    const QString cause = QStringLiteral("SQLite %1 (%2) in %3: %4").arg(rc).arg(what, path, detail);
    using K = StoreError::Kind;
    switch (rc & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        throw StoreError(K::ReadOnly, QStringLiteral("Нет права записи в файл %1 или в его папку").arg(path), path,
                         cause);
    case SQLITE_FULL:
        throw StoreError(K::DiskFull, QStringLiteral("Нет места на диске для записи в %1").arg(path), path, cause);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw StoreError(K::NotADatabase, damagedText(path), path, cause);
    default:
        throw StoreError(K::WriteFailed, QStringLiteral("Ошибка таблицы %1 (%2): %3").arg(path, what, detail), path,
                         cause);
    }
}

// One connection that is closed when it goes out of scope.
struct Connection {
    sqlite3 *db = nullptr;
    ~Connection() { sqlite3_close(db); }
};

} // namespace

TableFile::TableFile(const QString &path, const TableSchema &schema) : m_path(path), m_schema(schema)
{
    const QFileInfo info(path);
    if (QFile::encodeName(info.absoluteFilePath()).size() > kMaxPathBytes)
        throw StoreError(StoreError::Kind::PathTooLong,
                         QStringLiteral("Слишком длинный путь к файлу таблицы %1").arg(path), path);
    if (!info.exists())
        throw StoreError(StoreError::Kind::MissingFile,
                         QStringLiteral("Не найден файл таблицы %1").arg(path), path);
    if (!info.isFile())
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("%1 не является файлом таблицы").arg(path), path);
    // The store writes a journal beside the file: both must be writable.
    m_readOnly = ::access(QFile::encodeName(path).constData(), W_OK) != 0
                 || ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0;
    openConnection();
    try {
        checkSchema();
        checkIntegrity();
        if (!m_readOnly)
            exec(QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

void TableFile::openConnection()
{
    const QByteArray p = m_path.toUtf8();
    // One connection per file, used by one thread: no locking per call.
    const int flags = (m_readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(p.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("Не удаётся открыть файл таблицы %1").arg(m_path), m_path);
    }
    sqlite3_busy_timeout(m_db, 2000);
}

// Reading the schema touches the header: a foreign or damaged file fails here
// without anything being written to it.
void TableFile::checkSchema()
{
    const QStringList absent = absentFields(m_db, m_path, m_schema);
    if (!absent.isEmpty())
        throw StoreError(StoreError::Kind::WrongSchema,
                         QStringLiteral("В таблице %1 нет поля %2").arg(m_path, absent.first()), m_path);
}

QStringList TableFile::missingFields(const QString &path, const TableSchema &schema)
{
    Connection c;
    if (sqlite3_open_v2(path.toUtf8().constData(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("Не удаётся открыть файл таблицы %1").arg(path), path);
    return absentFields(c.db, path, schema);
}

int TableFile::copyAddingFields(const QString &from, const QString &to, const TableSchema &schema)
{
    Connection source, copy;
    // Read-write, so that a write the program was killed in is rolled back first.
    int rc = sqlite3_open_v2(from.toUtf8().constData(), &source.db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        throwFor(rc, source.db, from, QStringLiteral("чтение"));
    rc = sqlite3_open_v2(to.toUtf8().constData(), &copy.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        throwFor(rc, copy.db, to, QStringLiteral("запись"));
    // The engine's backup copies the file page by page, as a reader sees it.
    sqlite3_backup *backup = sqlite3_backup_init(copy.db, "main", source.db, "main");
    if (!backup)
        throwFor(sqlite3_errcode(copy.db), copy.db, to, QStringLiteral("запись"));
    sqlite3_backup_step(backup, -1);
    rc = sqlite3_backup_finish(backup);
    if (rc != SQLITE_OK)
        throwFor(rc, copy.db, to, QStringLiteral("запись"));
    QStringList sql{QStringLiteral("PRAGMA synchronous=FULL"), QStringLiteral("BEGIN")};
    for (const QString &name : absentFields(copy.db, from, schema))
        sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                   .arg(quoted(schema.tableName), schema.columnDefinition(schema.fields[schema.fieldIndex(name)]));
    sql << schema.indexStatements() << QStringLiteral("COMMIT");
    for (const QString &statement : sql) {
        rc = sqlite3_exec(copy.db, statement.toUtf8().constData(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throwFor(rc, copy.db, to, QStringLiteral("запись"));
    }
    Statement count(copy.db, QStringLiteral("SELECT count(*) FROM %1").arg(quoted(schema.tableName)));
    if (count.prepareResult() != SQLITE_OK || sqlite3_step(count.get()) != SQLITE_ROW)
        throwFor(sqlite3_errcode(copy.db), copy.db, to, QStringLiteral("чтение"));
    return int(sqlite3_column_int64(count.get(), 0));
}

// A damaged file found at open is better than one found by the first save.
// The indexes are rebuilt on a copy; only when the copy is sound does it take
// the file's place, and the damaged file stays beside it under another name.
void TableFile::checkIntegrity()
{
    if (quickCheck(m_db) == QLatin1String("ok"))
        return;
    const QString refused = damagedText(m_path) + QStringLiteral(". Восстановите его из резервной копии.");
    if (m_readOnly)
        throw StoreError(StoreError::Kind::NotADatabase, refused, m_path);
    sqlite3_close(m_db);
    m_db = nullptr;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString repaired = m_path + QStringLiteral(".repair");
    const QString aside = m_path + QStringLiteral(".damaged-") + stamp;
    QFile::remove(repaired);
    bool sound = QFile::copy(m_path, repaired);
    if (sound) {
        sqlite3 *db = nullptr;
        sound = sqlite3_open_v2(repaired.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
                && sqlite3_exec(db, "REINDEX", nullptr, nullptr, nullptr) == SQLITE_OK
                && quickCheck(db) == QLatin1String("ok");
        sqlite3_close(db);
    }
    sound = sound && QFile::rename(m_path, aside);
    if (sound && !QFile::rename(repaired, m_path)) {
        QFile::rename(aside, m_path);
        sound = false;
    }
    if (!sound) {
        QFile::remove(repaired);
        throw StoreError(StoreError::Kind::NotADatabase, refused, m_path);
    }
    m_repairNote = QStringLiteral("В файле таблицы %1 были повреждены индексы; они построены заново. "
                                  "Прежний файл сохранён как %2.")
                       .arg(m_path, aside);
    openConnection();
    checkSchema();
}

TableFile::~TableFile()
{
    sqlite3_finalize(m_insertStatement);
    sqlite3_finalize(m_insertWithKeyStatement);
    sqlite3_finalize(m_dataVersionStatement);
    for (auto &entry : m_updateStatements)
        sqlite3_finalize(entry.second);
    if (m_batchDepth > 0)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

void TableFile::create(const QString &path, const TableSchema &schema, bool withIndexes)
{
    if (QFileInfo::exists(path))
        throw StoreError(StoreError::Kind::WriteFailed,
                         QStringLiteral("Файл %1 уже существует").arg(path), path);
    sqlite3 *db = nullptr;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString error;
    if (rc == SQLITE_OK) {
        QStringList sql = withIndexes ? schema.createStatements() : QStringList{schema.createTableStatement()};
        sql.prepend(QStringLiteral("BEGIN"));
        sql << QStringLiteral("COMMIT");
        for (const QString &s : sql) {
            char *msg = nullptr;
            if (sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
                error = QString::fromUtf8(msg);
                sqlite3_free(msg);
                break;
            }
        }
    } else {
        error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    if (!error.isEmpty())
        throw StoreError(StoreError::Kind::WriteFailed,
                         QStringLiteral("Не удаётся создать файл %1: %2").arg(path, error), path);
}

void TableFile::createIndexes()
{
    inTransaction([&] {
        for (const QString &statement : m_schema.indexStatements())
            exec(statement);
    });
}

QString TableFile::columnList() const
{
    QStringList cols;
    for (const FieldDef &f : m_schema.fields)
        cols << quoted(f.name);
    return cols.join(", ");
}

QVector<StoredRow> TableFile::readAll()
{
    Statement st(m_db, QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                           .arg(columnList(), quoted(m_schema.tableName)));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), QStringLiteral("чтение"));
    QVector<StoredRow> rows;
    const int n = m_schema.fields.size();
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        StoredRow row;
        row.rowId = sqlite3_column_int64(st.get(), 0);
        row.values.resize(n);
        for (int i = 0; i < n; ++i)
            row.values[i] = columnValue(st.get(), i + 1, m_schema.fields[i]);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("чтение"));
    return rows;
}

void TableFile::readPacked(const PackedRowSink &take, qint64 onlyRowId)
{
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(columnList(), quoted(m_schema.tableName));
    sql += onlyRowId >= 0 ? QStringLiteral(" WHERE rowid = ?") : QStringLiteral(" ORDER BY rowid");
    Statement st(m_db, sql);
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), QStringLiteral("чтение"));
    if (onlyRowId >= 0)
        sqlite3_bind_int64(st.get(), 1, onlyRowId);
    const int n = m_schema.fields.size();
    packed::Builder row(n);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        sqlite3_stmt *s = st.get();
        for (int i = 0; i < n; ++i) {
            const int col = i + 1;
            if (sqlite3_column_type(s, col) == SQLITE_NULL) {
                row.addNull();
                continue;
            }
            switch (m_schema.fields[i].type) {
            case FieldType::AutoInc:
            case FieldType::Int: row.addInt(qint32(sqlite3_column_int64(s, col))); break;
            case FieldType::Bool: row.addBool(sqlite3_column_int(s, col) != 0); break;
            case FieldType::Real: row.addReal(sqlite3_column_double(s, col)); break;
            case FieldType::Text: {
                const char *p = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
                row.addText(p, sqlite3_column_bytes(s, col));
                break;
            }
            case FieldType::Date:
            case FieldType::Time: {
                const QVariant v = columnValue(s, col, m_schema.fields[i]);
                if (v.isNull())
                    row.addNull();
                else if (m_schema.fields[i].type == FieldType::Date)
                    row.addDate(v.toDate().toJulianDay());
                else
                    row.addTime(v.toTime().msecsSinceStartOfDay());
                break;
            }
            }
        }
        take(sqlite3_column_int64(s, 0), row.finish());
    }
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("чтение"));
}

namespace {

// The SQL function chosen(rowid): whether a row is among the ids (sorted)
// given to the statement being run. It lets one UPDATE take the rows that a
// cursor chose in memory, through its filter, in one pass over the table.
void chosenRow(sqlite3_context *context, int, sqlite3_value **args)
{
    const auto *ids = static_cast<const std::vector<qint64> *>(sqlite3_user_data(context));
    const qint64 id = sqlite3_value_int64(args[0]);
    sqlite3_result_int(context, std::binary_search(ids->begin(), ids->end(), id) ? 1 : 0);
}

} // namespace

void TableFile::updateField(const QVector<qint64> &rowIds, int field, const QVariant &value)
{
    if (rowIds.isEmpty())
        return;
    std::vector<qint64> ids(rowIds.begin(), rowIds.end());
    std::sort(ids.begin(), ids.end());
    sqlite3_create_function_v2(m_db, "chosen", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, &ids, chosenRow,
                               nullptr, nullptr, nullptr);
    struct Unregister {
        sqlite3 *db;
        ~Unregister() { sqlite3_create_function_v2(db, "chosen", 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr); }
    } unregister{m_db};
    Statement st(m_db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE chosen(rowid)")
                           .arg(quoted(m_schema.tableName), quoted(m_schema.fields[field].name)));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), QStringLiteral("запись"));
    inTransaction([&] {
        bindValue(st.get(), 1, m_schema.fields[field], value);
        const int rc = sqlite3_step(st.get());
        if (rc != SQLITE_DONE)
            fail(rc, QStringLiteral("запись"));
    });
}

qint64 TableFile::totalChanges() const
{
    return sqlite3_total_changes64(m_db);
}

qint64 TableFile::dataVersion()
{
    sqlite3_stmt *st = cachedStatement(m_dataVersionStatement, QStringLiteral("PRAGMA data_version"));
    const int rc = sqlite3_step(st);
    const qint64 version = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
    return version;
}

bool TableFile::readRow(qint64 rowId, StoredRow &row)
{
    Statement st(m_db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                           .arg(columnList(), quoted(m_schema.tableName)));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), QStringLiteral("чтение"));
    sqlite3_bind_int64(st.get(), 1, rowId);
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        fail(rc, QStringLiteral("чтение"));
    const int n = m_schema.fields.size();
    row.rowId = rowId;
    row.values.resize(n);
    for (int i = 0; i < n; ++i)
        row.values[i] = columnValue(st.get(), i, m_schema.fields[i]);
    return true;
}

qint64 TableFile::insert(StoredRow &row)
{
    QStringList cols, marks;
    QVector<int> bound;
    for (int i = 0; i < m_schema.fields.size(); ++i) {
        if (m_schema.fields[i].type == FieldType::AutoInc)
            continue;
        cols << quoted(m_schema.fields[i].name);
        marks << QStringLiteral("?");
        bound << i;
    }
    sqlite3_stmt *st = cachedStatement(m_insertStatement, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                              .arg(quoted(m_schema.tableName), cols.join(", "), marks.join(", ")));
    inTransaction([&] {
        for (int k = 0; k < bound.size(); ++k)
            bindValue(st, k + 1, m_schema.fields[bound[k]], row.values[bound[k]]);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE)
            fail(rc, QStringLiteral("запись"));
        row.rowId = sqlite3_last_insert_rowid(m_db);
    });
    for (int i = 0; i < m_schema.fields.size(); ++i)
        if (m_schema.fields[i].type == FieldType::AutoInc)
            row.values[i] = int(row.rowId);
    return row.rowId;
}

void TableFile::insertWithKey(const StoredRow &row)
{
    if (!m_insertWithKeyStatement) {
        QStringList marks;
        for (int i = 0; i < m_schema.fields.size(); ++i)
            marks << QStringLiteral("?");
        cachedStatement(m_insertWithKeyStatement, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                      .arg(quoted(m_schema.tableName), columnList(), marks.join(", ")));
    }
    sqlite3_stmt *st = m_insertWithKeyStatement;
    inTransaction([&] {
        for (int i = 0; i < m_schema.fields.size(); ++i)
            bindValue(st, i + 1, m_schema.fields[i], row.values[i]);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE)
            fail(rc, QStringLiteral("запись"));
    });
}

void TableFile::update(const StoredRow &row, const QVector<int> &changedFields)
{
    inTransaction([&] { writeUpdate(row, changedFields); });
}

bool TableFile::update(const StoredRow &row, const QVector<int> &changedFields, const RowCheck &check)
{
    bool written = false;
    inTransaction([&] {
        if (!checkStored(row.rowId, check))
            return;
        writeUpdate(row, changedFields);
        written = true;
    });
    return written;
}

// Runs inside the write's own transaction, which holds the file's write
// lock from its start: no other connection can store between the check and
// the write.
bool TableFile::checkStored(qint64 rowId, const RowCheck &check)
{
    QByteArray now;
    bool found = false;
    readPacked([&](qint64, QByteArray &&stored) {
        now = std::move(stored);
        found = true;
    }, rowId);
    return check(found ? &now : nullptr);
}

void TableFile::writeUpdate(const StoredRow &row, const QVector<int> &changedFields)
{
    QVector<int> bound;
    for (int i : changedFields)
        if (m_schema.fields[i].type != FieldType::AutoInc)
            bound << i;
    if (changedFields.isEmpty())
        for (int i = 0; i < m_schema.fields.size(); ++i)
            if (m_schema.fields[i].type != FieldType::AutoInc)
                bound << i;
    if (bound.isEmpty())
        return;
    // One prepared statement per set of changed fields: a walk that changes
    // one field of every row writes that field only.
    QByteArray key;
    for (int i : bound)
        key += char(i);
    sqlite3_stmt *&slot = m_updateStatements[key];
    if (!slot) {
        QStringList sets;
        for (int i : bound)
            sets << quoted(m_schema.fields[i].name) + " = ?";
        cachedStatement(slot, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                  .arg(quoted(m_schema.tableName), sets.join(", ")));
    }
    sqlite3_stmt *st = slot;
    for (int k = 0; k < bound.size(); ++k)
        bindValue(st, k + 1, m_schema.fields[bound[k]], row.values[bound[k]]);
    sqlite3_bind_int64(st, bound.size() + 1, row.rowId);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("запись"));
}

bool TableFile::remove(qint64 rowId, const RowCheck &check)
{
    bool removed = false;
    inTransaction([&] {
        if (!checkStored(rowId, check))
            return;
        deleteRow(rowId);
        removed = true;
    });
    return removed;
}

void TableFile::remove(qint64 rowId)
{
    inTransaction([&] { deleteRow(rowId); });
}

void TableFile::deleteRow(qint64 rowId)
{
    Statement st(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_schema.tableName)));
    if (st.prepareResult() != SQLITE_OK)
        fail(st.prepareResult(), QStringLiteral("удаление"));
    sqlite3_bind_int64(st.get(), 1, rowId);
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("удаление"));
}

sqlite3_stmt *TableFile::cachedStatement(sqlite3_stmt *&slot, const QString &sql)
{
    if (!slot) {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &slot, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(slot);
            slot = nullptr;
            fail(rc, QStringLiteral("запись"));
        }
    }
    return slot;
}

void TableFile::inTransaction(const std::function<void()> &write)
{
    begin();
    try {
        write();
        commit();
    } catch (...) {
        rollback();
        throw;
    }
}

void TableFile::begin()
{
    if (m_batchDepth > 0)
        return;
    const int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("запись"));
}

void TableFile::commit()
{
    if (m_batchDepth > 0)
        return;
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const int code = rc;
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        fail(code, QStringLiteral("запись"));
    }
}

void TableFile::rollback()
{
    if (m_batchDepth > 0)
        return;
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TableFile::beginBatch()
{
    if (m_batchDepth == 0) {
        const int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            fail(rc, QStringLiteral("запись"));
    }
    ++m_batchDepth;
}

void TableFile::commitBatch()
{
    if (m_batchDepth == 0)
        return;
    if (--m_batchDepth == 0) {
        const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            fail(rc, QStringLiteral("запись"));
        }
    }
}

void TableFile::rollbackBatch()
{
    if (m_batchDepth == 0)
        return;
    m_batchDepth = 0;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

QString TableFile::integrityCheck()
{
    Statement st(m_db, QStringLiteral("PRAGMA integrity_check"));
    QStringList out;
    while (st.prepareResult() == SQLITE_OK && sqlite3_step(st.get()) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 0)));
    return out.join('\n');
}

void TableFile::exec(const QString &sql)
{
    char *msg = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK)
        fail(rc, sql);
}

void TableFile::fail(int rc, const QString &what)
{
    throwFor(rc, m_db, m_path, what);
}

} // namespace store
