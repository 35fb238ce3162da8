#include "store/packedrow.h"

#include <QDate>
#include <QTime>
#include <cstring>
#include <limits>

namespace store::packed {

// Block layout: one byte giving the width of an offset (2 or 4 bytes), one
// byte giving the number of fields n, then n + 1 offsets into the data that
// follows; field k is the data from offset k to offset k + 1. A text carries
// a leading byte so that an empty text differs from an empty value.

namespace {

constexpr char textMark = 1;
constexpr int headerBytes = 2;

struct Span {
    const char *data = nullptr;
    qsizetype size = 0;
};

quint32 offsetAt(const char *p, int width, int k)
{
    const char *at = p + headerBytes + width * k;
    if (width == 2) {
        quint16 v;
        std::memcpy(&v, at, 2);
        return v;
    }
    quint32 v;
    std::memcpy(&v, at, 4);
    return v;
}

Span spanOf(const QByteArray &row, int field)
{
    if (row.size() < headerBytes)
        return {};
    const char *p = row.constData();
    const int width = p[0];
    const int count = quint8(p[1]);
    if (field < 0 || field >= count)
        return {};
    const char *data = p + headerBytes + width * (count + 1);
    const quint32 begin = offsetAt(p, width, field);
    const quint32 end = offsetAt(p, width, field + 1);
    return {data + begin, qsizetype(end - begin)};
}

template <typename T>
T read(const Span &s)
{
    T v{};
    if (s.size >= qsizetype(sizeof(T)))
        std::memcpy(&v, s.data, sizeof(T));
    return v;
}

QString textOf(const Span &s)
{
    return s.size > 0 ? QString::fromUtf8(s.data + 1, s.size - 1) : QString();
}

void addValue(Builder &b, const FieldDef &f, const QVariant &v)
{
    if (v.isNull()) {
        b.addNull();
        return;
    }
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Int: b.addInt(v.toInt()); break;
    case FieldType::Bool: b.addBool(v.toBool()); break;
    case FieldType::Real: b.addReal(v.toDouble()); break;
    case FieldType::Text: {
        const QByteArray utf8 = v.toString().toUtf8();
        b.addText(utf8.constData(), utf8.size());
        break;
    }
    case FieldType::Date: {
        const QDate d = v.toDate();
        if (d.isValid())
            b.addDate(d.toJulianDay());
        else
            b.addNull();
        break;
    }
    case FieldType::Time: {
        const QTime t = v.toTime();
        if (t.isValid())
            b.addTime(t.msecsSinceStartOfDay());
        else
            b.addNull();
        break;
    }
    }
}

} // namespace

Builder::Builder(int fieldCount)
{
    m_offsets.reserve(fieldCount + 1);
    m_offsets << 0;
}

void Builder::mark() { m_offsets << quint32(m_data.size()); }

void Builder::addNull() { mark(); }

void Builder::addText(const char *utf8, qsizetype size)
{
    m_data.append(textMark);
    m_data.append(utf8, size);
    mark();
}

void Builder::addInt(qint32 v)
{
    m_data.append(reinterpret_cast<const char *>(&v), sizeof v);
    mark();
}

void Builder::copyField(const QByteArray &row, int field)
{
    const Span s = spanOf(row, field);
    m_data.append(s.data, s.size);
    mark();
}

void Builder::addBool(bool v)
{
    m_data.append(v ? char(1) : char(0));
    mark();
}

void Builder::addReal(double v)
{
    m_data.append(reinterpret_cast<const char *>(&v), sizeof v);
    mark();
}

void Builder::addDate(qint64 julianDay)
{
    m_data.append(reinterpret_cast<const char *>(&julianDay), sizeof julianDay);
    mark();
}

void Builder::addTime(qint32 msecs)
{
    m_data.append(reinterpret_cast<const char *>(&msecs), sizeof msecs);
    mark();
}

// The block is made at its exact size, and the builder is ready for the
// next row with its buffers' room kept.
QByteArray Builder::finish()
{
    const int count = int(m_offsets.size()) - 1;
    const int width = m_data.size() <= std::numeric_limits<quint16>::max() ? 2 : 4;
    QByteArray row(headerBytes + width * m_offsets.size() + m_data.size(), Qt::Uninitialized);
    char *p = row.data();
    p[0] = char(width);
    p[1] = char(count);
    char *at = p + headerBytes;
    for (quint32 off : std::as_const(m_offsets)) {
        if (width == 2) {
            const quint16 v = quint16(off);
            std::memcpy(at, &v, 2);
        } else {
            std::memcpy(at, &off, 4);
        }
        at += width;
    }
    if (!m_data.isEmpty())
        std::memcpy(at, m_data.constData(), size_t(m_data.size()));
    m_offsets.resize(1);
    m_data.resize(0);
    return row;
}

QByteArray pack(const TableSchema &schema, const QVector<QVariant> &values)
{
    Builder b(int(schema.fields.size()));
    for (int i = 0; i < schema.fields.size(); ++i)
        addValue(b, schema.fields[i], i < values.size() ? values[i] : QVariant());
    return b.finish();
}

QVector<QVariant> unpack(const TableSchema &schema, const QByteArray &row)
{
    QVector<QVariant> values(schema.fields.size());
    for (int i = 0; i < schema.fields.size(); ++i)
        values[i] = value(schema, row, i);
    return values;
}

QByteArray withFields(const TableSchema &schema, const QByteArray &row, const QVector<int> &fields,
                      const QVector<QVariant> &values)
{
    Builder b(int(schema.fields.size()));
    for (int i = 0; i < schema.fields.size(); ++i) {
        if (fields.contains(i))
            addValue(b, schema.fields[i], values[i]);
        else
            b.copyField(row, i);
    }
    return b.finish();
}

QByteArray withField(const TableSchema &schema, const QByteArray &row, int field, const QVariant &v)
{
    Builder b(int(schema.fields.size()));
    for (int i = 0; i < schema.fields.size(); ++i) {
        if (i == field)
            addValue(b, schema.fields[i], v);
        else
            b.copyField(row, i);
    }
    return b.finish();
}

QVariant value(const TableSchema &schema, const QByteArray &row, int field)
{
    const Span s = spanOf(row, field);
    if (s.size == 0)
        return {};
    switch (schema.fields[field].type) {
    case FieldType::AutoInc:
    case FieldType::Int: return read<qint32>(s);
    case FieldType::Bool: return s.data[0] != 0;
    case FieldType::Real: return read<double>(s);
    case FieldType::Text: return textOf(s);
    case FieldType::Date: return QDate::fromJulianDay(read<qint64>(s));
    case FieldType::Time: return QTime::fromMSecsSinceStartOfDay(read<qint32>(s));
    }
    return {};
}

bool isNull(const QByteArray &row, int field)
{
    return spanOf(row, field).size == 0;
}

QString text(const TableSchema &schema, const QByteArray &row, int field)
{
    if (schema.fields[field].type == FieldType::Text)
        return textOf(spanOf(row, field));
    return value(schema, row, field).toString();
}

std::string_view textBytes(const QByteArray &row, int field)
{
    const Span s = spanOf(row, field);
    return s.size > 0 ? std::string_view(s.data + 1, size_t(s.size - 1)) : std::string_view();
}

qsizetype textLength(const QByteArray &row, int field)
{
    const Span s = spanOf(row, field);
    qsizetype n = 0;
    for (qsizetype i = 1; i < s.size; ++i) {
        const auto c = quint8(s.data[i]);
        if ((c & 0xC0) != 0x80)
            n += c >= 0xF0 ? 2 : 1;  // four-byte sequences take two UTF-16 units
    }
    return n;
}

double orderNumber(const TableSchema &schema, const QByteArray &row, int field)
{
    const Span s = spanOf(row, field);
    switch (schema.fields[field].type) {
    case FieldType::Date:
        return s.size == 0 ? -std::numeric_limits<double>::infinity() : double(read<qint64>(s));
    case FieldType::Time: return s.size == 0 ? -1.0 : double(read<qint32>(s));
    case FieldType::AutoInc:
    case FieldType::Int: return s.size == 0 ? 0.0 : double(read<qint32>(s));
    case FieldType::Bool: return s.size == 0 ? 0.0 : double(s.data[0] != 0);
    case FieldType::Real: return s.size == 0 ? 0.0 : read<double>(s);
    case FieldType::Text: break;
    }
    return 0.0;
}

bool sameField(const QByteArray &a, const QByteArray &b, int field)
{
    if (a.constData() == b.constData())
        return true;
    const Span x = spanOf(a, field);
    const Span y = spanOf(b, field);
    return x.size == y.size && (x.size == 0 || std::memcmp(x.data, y.data, size_t(x.size)) == 0);
}

} // namespace store::packed
