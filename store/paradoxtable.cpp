#include "store/paradoxtable.h"
#include "store/errors.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTime>
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace store {

namespace {

// The fixed part of a table file's header (little-endian offsets).
constexpr int kHeaderFixedPart = 0x58;
constexpr int kRecordSizeAt = 0x00;
constexpr int kHeaderSizeAt = 0x02;
constexpr int kFileTypeAt = 0x04;
constexpr int kBlockSizeAt = 0x05;  // in kilobytes
constexpr int kFileBlocksAt = 0x0c;
constexpr int kFieldCountAt = 0x21;
constexpr int kEncryptionAt = 0x25;
constexpr int kVersionAt = 0x39;
constexpr int kSecondEncryptionAt = 0x5c;  // in the data header of version 4 and later
constexpr quint32 kEncryptionInDataHeader = 0xff00ff00;
constexpr int kFirstVersionWithDataHeader = 5;
constexpr int kBlockHeaderSize = 6;
// Dates count days from 1 January of the year 1 (day 1); Qt counts Julian days.
constexpr qint64 kJulianDayBeforeFirstDate = 1721425;
constexpr long kMillisecondsPerDay = 24L * 60 * 60 * 1000;

int le16(const QByteArray &b, int at) { return quint8(b[at]) | quint8(b[at + 1]) << 8; }
quint32 le32(const QByteArray &b, int at)
{
    return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16;
}

bool plausibleHeader(const QByteArray &h)
{
    if (h.size() < kHeaderFixedPart)
        return false;
    const int fileType = quint8(h[kFileTypeAt]);  // 0 keyed, 2 without key
    const int blockKb = quint8(h[kBlockSizeAt]);
    const int version = quint8(h[kVersionAt]);
    const int fields = le16(h, kFieldCountAt);
    return (fileType == pxfFileTypIndexDB || fileType == pxfFileTypNonIndexDB)
           && blockKb >= 1 && blockKb <= 32
           && version >= 3 && version <= 15 && le16(h, kRecordSizeAt) > 0
           && le16(h, kHeaderSizeAt) >= kHeaderFixedPart && fields >= 1 && fields <= 255;
}

bool allZero(const char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

// How a kind of stored value is called in a message.
QString typeName(int type)
{
    switch (type) {
    case pxfAlpha: return QStringLiteral("текст");
    case pxfDate: return QStringLiteral("дата");
    case pxfShort: return QStringLiteral("короткое целое число");
    case pxfLong: return QStringLiteral("целое число");
    case pxfCurrency: return QStringLiteral("денежная сумма");
    case pxfNumber: return QStringLiteral("число");
    case pxfLogical: return QStringLiteral("да/нет");
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: return QStringLiteral("длинный текст (мемо)");
    case pxfBLOb:
    case pxfOLE:
    case pxfBytes: return QStringLiteral("двоичные данные");
    case pxfGraphic: return QStringLiteral("рисунок");
    case pxfTime: return QStringLiteral("время");
    case pxfTimestamp: return QStringLiteral("дата со временем");
    case pxfAutoInc: return QStringLiteral("счётчик");
    case pxfBCD: return QStringLiteral("десятичное число");
    }
    return QStringLiteral("неизвестный тип %1").arg(type);
}

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc: return QStringLiteral("счётчик");
    case FieldType::Text: return QStringLiteral("текст");
    case FieldType::Int: return QStringLiteral("целое число");
    case FieldType::Bool: return QStringLiteral("да/нет");
    case FieldType::Real: return QStringLiteral("число");
    case FieldType::Date: return QStringLiteral("дата");
    case FieldType::Time: return QStringLiteral("время");
    }
    return {};
}

// Whether a stored kind of value converts into a field without loss.
bool holds(FieldType as, int type)
{
    const bool integer = type == pxfAutoInc || type == pxfLong || type == pxfShort;
    switch (as) {
    case FieldType::AutoInc:
    case FieldType::Int: return integer;
    case FieldType::Real: return integer || type == pxfNumber || type == pxfCurrency;
    case FieldType::Bool: return type == pxfLogical;
    case FieldType::Text: return type == pxfAlpha;
    case FieldType::Date: return type == pxfDate;
    case FieldType::Time: return type == pxfTime;
    }
    return false;
}

int fixedLength(int type)
{
    switch (type) {
    case pxfShort: return 2;
    case pxfLogical: return 1;
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime: return 4;
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp: return 8;
    }
    return 0;  // the field's own length
}

// pxlib's memory, zeroed when it is handed out: the list of data blocks it
// makes at open has room for every block of the header, and the entries
// after the last block it found stay empty.
void *zeroedMemory(pxdoc_t *, size_t size, const char *) { return std::calloc(1, size); }
void *grownMemory(pxdoc_t *, void *memory, size_t size, const char *) { return std::realloc(memory, size); }
void freedMemory(pxdoc_t *, void *memory) { std::free(memory); }

void collectError(pxdoc_t *, int level, const char *message, void *data)
{
    if (level != PX_Warning && data)
        *static_cast<QString *>(data) = QString::fromLocal8Bit(message);
}

} // namespace

bool ParadoxTable::isParadoxFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && plausibleHeader(f.read(kHeaderFixedPart + 8));
}

ParadoxTable::ParadoxTable(const QString &path) : m_path(path)
{
    checkHeader();
    openDocument();
}

ParadoxTable::~ParadoxTable()
{
    if (m_doc)
        PX_delete(m_doc);
}

void ParadoxTable::fail(const QString &reason, const QString &technical) const
{
    throw StoreError(StoreError::Kind::UpgradeFailed,
                     QStringLiteral("Таблицу прежней версии %1 не удалось прочитать: %2.")
                         .arg(QDir::toNativeSeparators(m_path), reason),
                     m_path, technical.isEmpty() ? QString() : QStringLiteral("pxlib: ") + technical);
}

void ParadoxTable::failInRecord(const SourceField &field) const
{
    fail(QStringLiteral("файл повреждён: в записи %1 поле %2 не читается").arg(m_currentRecord + 1).arg(field.name));
}

// What the header says is checked against the file before pxlib reads it:
// a file cut short or locked by a password is named as such.
void ParadoxTable::checkHeader()
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("файл не открывается (%1)").arg(f.errorString()));
    const QByteArray h = f.read(kSecondEncryptionAt + 4);
    if (!plausibleHeader(h))
        fail(QStringLiteral("файл повреждён: его заголовок не читается"));
    quint32 encryption = le32(h, kEncryptionAt);
    if (encryption == kEncryptionInDataHeader)
        encryption = quint8(h[kVersionAt]) >= kFirstVersionWithDataHeader && h.size() >= kSecondEncryptionAt + 4
                         ? le32(h, kSecondEncryptionAt)
                         : 0;
    if (encryption != 0)
        fail(QStringLiteral("таблица защищена паролем. Снимите пароль в прежней программе и скопируйте "
                            "таблицы ещё раз"));
    const qint64 expected = le16(h, kHeaderSizeAt)
                            + qint64(le16(h, kFileBlocksAt)) * quint8(h[kBlockSizeAt]) * 1024;
    if (f.size() < expected)
        fail(QStringLiteral("файл повреждён: он короче, чем сказано в его заголовке (%1 байт из %2)")
                 .arg(f.size())
                 .arg(expected));
}

void ParadoxTable::openDocument()
{
    m_doc = PX_new3(collectError, zeroedMemory, grownMemory, freedMemory, &m_pxlibError);
    if (!m_doc || PX_open_file(m_doc, QFile::encodeName(m_path).constData()) < 0)
        fail(QStringLiteral("файл повреждён"), m_pxlibError);
    const pxhead_t *head = m_doc->px_head;
    m_recordSize = head->px_recordsize;
    m_recordCount = head->px_numrecords;
    m_codePage = head->px_doscodepage;
    QStringDecoder decoder(m_codePage == 866 ? "IBM866" : "windows-1251");
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString one = decoder.decode(QByteArrayView(&byte, 1));
        m_chars[b] = one.isEmpty() ? QChar(QChar::ReplacementCharacter) : one.at(0);
    }
    readFields();
    checkBlocks();
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("файл не открывается (%1)").arg(m_file.errorString()));
}

void ParadoxTable::readFields()
{
    const pxfield_t *f = PX_get_fields(m_doc);
    int offset = 0;
    for (int i = 0; i < m_doc->px_head->px_numfields; ++i, ++f) {
        const QString name = text(f->px_fname, int(qstrlen(f->px_fname)));
        const int length = fixedLength(f->px_ftype);
        if (f->px_flen <= 0 || (length != 0 && f->px_flen != length))
            fail(QStringLiteral("файл повреждён: у поля %1 неверная длина").arg(name));
        m_fields.push_back({name, f->px_ftype, f->px_flen, offset});
        offset += f->px_flen;
    }
    if (offset != m_recordSize)
        fail(QStringLiteral("файл повреждён: длина записи не сходится с полями"));
}

// The records of every data block, as pxlib counted them, must add up to
// the number in the header and fit into their blocks.
void ParadoxTable::checkBlocks()
{
    const pxhead_t *head = m_doc->px_head;
    const int perBlock = (head->px_maxtablesize * 1024 - kBlockHeaderSize) / m_recordSize;
    const auto *blocks = static_cast<const pxpindex_t *>(m_doc->px_indexdata);
    qint64 counted = 0;
    m_blockCount = 0;
    while (blocks && m_blockCount < m_doc->px_indexdatalen && blocks[m_blockCount].blocknumber != 0)
        ++m_blockCount;
    for (int i = 0; i < m_blockCount; ++i) {
        if (blocks[i].numrecords < 0 || blocks[i].numrecords > perBlock || blocks[i].blocknumber < 1
            || blocks[i].blocknumber > int(head->px_fileblocks))
            fail(QStringLiteral("файл повреждён: блок данных %1 не читается").arg(i + 1));
        counted += blocks[i].numrecords;
    }
    if (counted != m_recordCount)
        fail(QStringLiteral("файл повреждён: в блоках %1 записей, а в заголовке %2").arg(counted).arg(m_recordCount));
}

void ParadoxTable::bind(const TableSchema &schema)
{
    m_schema = &schema;
    m_binding.fill(-1, schema.fields.size());
    for (int i = 0; i < schema.fields.size(); ++i) {
        const FieldDef &want = schema.fields[i];
        for (int j = 0; j < m_fields.size(); ++j) {
            if (m_fields[j].name.compare(want.name, Qt::CaseInsensitive) != 0)
                continue;
            if (!holds(want.type, m_fields[j].type))
                fail(QStringLiteral("у поля %1 тип «%2», а программе нужен тип «%3»")
                         .arg(want.name, typeName(m_fields[j].type), typeName(want.type)));
            m_binding[i] = j;
            break;
        }
    }
}

QStringList ParadoxTable::unboundFields() const
{
    QStringList names;
    for (int j = 0; j < m_fields.size(); ++j)
        if (!m_binding.contains(j))
            names << m_fields[j].name;
    return names;
}

QStringList ParadoxTable::absentFields() const
{
    QStringList names;
    for (int i = 0; i < m_binding.size(); ++i)
        if (m_binding[i] < 0)
            names << m_schema->fields[i].name;
    return names;
}

void ParadoxTable::read(int record, StoredRow &row)
{
    Q_ASSERT(m_schema);
    m_currentRecord = record;
    char *data = recordData(record);
    const int n = m_schema->fields.size();
    row.values.resize(n);
    for (int i = 0; i < n; ++i) {
        const FieldDef &def = m_schema->fields[i];
        row.values[i] = m_binding[i] < 0 ? def.defaultValue : value(data, m_fields[m_binding[i]], def);
    }
}

// A record's bytes in its data block. The blocks are those pxlib listed at
// open, in the table's order; each holds its records after a 6-byte head.
char *ParadoxTable::recordData(int record)
{
    if (record < 0 || record >= m_recordCount)
        fail(QStringLiteral("записи %1 в файле нет").arg(record + 1));
    const auto *blocks = static_cast<const pxpindex_t *>(m_doc->px_indexdata);
    if (m_blockIndex < 0 || record < m_blockFirstRecord) {
        m_blockFirstRecord = 0;
        loadBlock(0);
    }
    while (record >= m_blockFirstRecord + blocks[m_blockIndex].numrecords) {
        m_blockFirstRecord += blocks[m_blockIndex].numrecords;
        loadBlock(m_blockIndex + 1);
    }
    return m_block.data() + kBlockHeaderSize + qsizetype(record - m_blockFirstRecord) * m_recordSize;
}

void ParadoxTable::loadBlock(int block)
{
    const auto *blocks = static_cast<const pxpindex_t *>(m_doc->px_indexdata);
    const qint64 size = qint64(m_doc->px_head->px_maxtablesize) * 1024;
    m_blockIndex = block;
    m_block.resize(size);
    if (block >= m_blockCount || !m_file.seek(m_doc->px_head->px_headersize + (blocks[block].blocknumber - 1) * size)
        || m_file.read(m_block.data(), size) != size)
        fail(QStringLiteral("файл повреждён: блок данных %1 не читается").arg(block + 1));
}

QVariant ParadoxTable::value(char *data, const SourceField &field, const FieldDef &as)
{
    char *p = data + field.offset;
    // Every kind of value stores its empty value as zero bytes.
    if (allZero(p, field.length))
        return {};
    switch (field.type) {
    case pxfAlpha: {
        const QString s = text(p, field.length);
        if (s.isEmpty())
            return {};
        if (as.capacity > 0 && s.size() > as.capacity) {
            ++m_cutTexts;
            return cutToCapacity(s, as.capacity);
        }
        return s;
    }
    case pxfLogical: {
        char v = 0;
        if (PX_get_data_byte(m_doc, p, field.length, &v) <= 0)
            return {};
        return v != 0;
    }
    case pxfNumber:
    case pxfCurrency: {
        double v = 0;
        if (PX_get_data_double(m_doc, p, field.length, &v) <= 0)
            return {};
        return v;
    }
    default: break;
    }
    long v = 0;
    if (field.type == pxfShort) {
        short s = 0;
        if (PX_get_data_short(m_doc, p, field.length, &s) <= 0)
            return {};
        v = s;
    } else if (PX_get_data_long(m_doc, p, field.length, &v) <= 0) {
        return {};
    }
    switch (as.type) {
    case FieldType::Real: return double(v);
    case FieldType::Date: {
        const QDate d = QDate::fromJulianDay(v + kJulianDayBeforeFirstDate);
        if (v < 1 || !d.isValid())
            failInRecord(field);
        return d;
    }
    case FieldType::Time:
        if (v < 0 || v >= kMillisecondsPerDay)
            failInRecord(field);
        return QTime::fromMSecsSinceStartOfDay(int(v));
    default: return int(v);
    }
}

QString ParadoxTable::text(const char *data, int length) const
{
    const int n = int(qstrnlen(data, size_t(length)));
    QString s(n, Qt::Uninitialized);
    QChar *out = s.data();
    for (int i = 0; i < n; ++i)
        out[i] = m_chars[quint8(data[i])];
    return s;
}

} // namespace store
