#pragma once
// Paradox tables written with pxlib, as an older installation kept the data
// folder: the six tables with their fields in the engine's types, texts in a
// single-byte code page, side files and lock files beside them.

#include "store/schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringEncoder>
#include <QTime>
#include <QVariant>
#include <QVector>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <paradox.h>
}

namespace paradox {

using Row = QMap<QString, QVariant>;  // a field left out is empty

struct Column {
    QString name;
    int type = pxfAlpha;
    int length = 0;
};

struct Table {
    QString fileName;
    QVector<Column> columns;
    QVector<Row> rows;
    int codePage = 1251;
    quint32 password = 0;  // a nonzero value marks the table as protected
};

inline int engineType(store::FieldType t)
{
    switch (t) {
    case store::FieldType::AutoInc: return pxfAutoInc;
    case store::FieldType::Text: return pxfAlpha;
    case store::FieldType::Int: return pxfLong;
    case store::FieldType::Bool: return pxfLogical;
    case store::FieldType::Real: return pxfNumber;
    case store::FieldType::Date: return pxfDate;
    case store::FieldType::Time: return pxfTime;
    }
    return pxfAlpha;
}

inline int engineLength(int type, int capacity)
{
    switch (type) {
    case pxfAlpha: return capacity;
    case pxfShort: return 2;
    case pxfLogical: return 1;
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp: return 8;
    case pxfMemoBLOb: return 10 + capacity;
    }
    return 4;
}

// The table's fields as the older installation declared them.
inline Table tableOf(const store::TableSchema &schema, const QVector<Row> &rows = {})
{
    Table t{schema.fileName, {}, rows};
    for (const store::FieldDef &f : schema.fields) {
        const int type = engineType(f.type);
        t.columns << Column{f.name, type, engineLength(type, f.capacity)};
    }
    return t;
}

inline void setColumnType(Table &t, const QString &name, int type, int capacity = 0)
{
    for (Column &c : t.columns)
        if (c.name == name) {
            c.type = type;
            c.length = engineLength(type, capacity ? capacity : c.length);
        }
}

inline void removeColumn(Table &t, const QString &name)
{
    t.columns.removeIf([&](const Column &c) { return c.name == name; });
}

namespace detail {

// One record in the engine's layout: every field empty (zero bytes) but the
// values the row gives.
inline QByteArray record(pxdoc_t *px, const Table &t, const Row &row, QStringEncoder &encoder)
{
    int size = 0;
    for (const Column &c : t.columns)
        size += c.length;
    QByteArray data(size, '\0');
    char *p = data.data();
    for (const Column &c : t.columns) {
        const QVariant value = row.value(c.name);
        if (!value.isNull()) {
            switch (c.type) {
            case pxfAlpha: {
                QByteArray text = encoder.encode(value.toString());
                if (text.size() > c.length)
                    throw std::invalid_argument("fixture text longer than its field");
                PX_put_data_alpha(px, p, c.length, text.data());
                break;
            }
            case pxfNumber:
            case pxfCurrency: PX_put_data_double(px, p, c.length, value.toDouble()); break;
            case pxfLogical: PX_put_data_byte(px, p, c.length, value.toBool() ? 1 : 0); break;
            case pxfShort: PX_put_data_short(px, p, c.length, short(value.toInt())); break;
            case pxfDate: PX_put_data_long(px, p, c.length, int(value.toDate().toJulianDay() - 1721425)); break;
            case pxfTime: PX_put_data_long(px, p, c.length, value.toTime().msecsSinceStartOfDay()); break;
            default: PX_put_data_long(px, p, c.length, value.toInt()); break;
            }
        }
        p += c.length;
    }
    return data;
}

} // namespace detail

// pxlib writes a table through many small seeks and writes; they go to
// memory, and the file is written once at the end.
struct MemoryFile {
    QByteArray bytes;
    qint64 pos = 0;
    static ssize_t read(void *c, char *buf, size_t n)
    {
        auto *m = static_cast<MemoryFile *>(c);
        const qint64 k = qBound<qint64>(0, m->bytes.size() - m->pos, qint64(n));
        std::memcpy(buf, m->bytes.constData() + m->pos, size_t(k));
        m->pos += k;
        return ssize_t(k);
    }
    static ssize_t write(void *c, const char *buf, size_t n)
    {
        auto *m = static_cast<MemoryFile *>(c);
        if (m->pos + qint64(n) > m->bytes.size())
            m->bytes.resize(m->pos + qint64(n));
        std::memcpy(m->bytes.data() + m->pos, buf, n);
        m->pos += qint64(n);
        return ssize_t(n);
    }
    static int seek(void *c, off64_t *offset, int whence)
    {
        auto *m = static_cast<MemoryFile *>(c);
        const qint64 to = whence == SEEK_SET ? *offset : whence == SEEK_CUR ? m->pos + *offset : m->bytes.size() + *offset;
        if (to < 0)
            return -1;
        *offset = m->pos = to;
        return 0;
    }
    static int close(void *) { return 0; }
};

// Writes the table into a folder; throws std::runtime_error when pxlib fails.
inline void write(const QString &folder, const Table &t)
{
    pxdoc_t *px = PX_new();
    // pxlib keeps the field array and frees it with the document.
    auto *fields = static_cast<pxfield_t *>(std::calloc(size_t(t.columns.size()), sizeof(pxfield_t)));
    for (int i = 0; i < t.columns.size(); ++i) {
        fields[i].px_fname = strdup(t.columns[i].name.toLatin1().constData());
        fields[i].px_ftype = char(t.columns[i].type);
        fields[i].px_flen = t.columns[i].length;
    }
    MemoryFile memory;
    FILE *stream = fopencookie(&memory, "w+", {MemoryFile::read, MemoryFile::write, MemoryFile::seek, MemoryFile::close});
    if (PX_create_fp(px, fields, t.columns.size(), stream, pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("PX_create_fp failed");
    px->px_head->px_doscodepage = t.codePage;
    px->px_head->px_encryption = t.password;
    QStringEncoder encoder(t.codePage == 866 ? "IBM866" : "windows-1251");
    for (int i = 0; i < t.rows.size(); ++i) {
        QByteArray data = detail::record(px, t, t.rows[i], encoder);
        if (PX_put_recordn(px, data.data(), i) < 0)
            throw std::runtime_error("PX_put_recordn failed");
    }
    PX_close(px);
    PX_delete(px);
    std::fclose(stream);
    QFile file(QDir(folder).filePath(t.fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(memory.bytes) != memory.bytes.size())
        throw std::runtime_error("the table file cannot be written");
}

// Writes a small file of arbitrary bytes, as index and lock files stand in
// the folder beside the tables.
inline void writeSideFile(const QString &folder, const QString &name)
{
    QFile f(QDir(folder).filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray("side file ") + name.toLatin1() + QByteArray(300, '\x7f'));
}

} // namespace paradox

namespace paradox {

// An older installation's data folder: every table holds rows, the settings
// row points at the second format and the second offset by their keys, keys
// have gaps, and texts use Ё, «» and their fields' full capacity.
struct OldBase {
    Table config, adrList, otList, konverts, printers, filter;

    OldBase()
    {
        const QString longName = QStringLiteral("Ё") + QString(98, QChar(0x0436)) + QStringLiteral("»");  // 100
        config = tableOf(store::configSchema(),
                         {{{"N", 1}, {"OtKogo", QStringLiteral("ООО «Ёлочка»")}, {"OtKuda", QStringLiteral("г. Тула, ул. Ёлочная, д. 1")},
                           {"OtIndex", QStringLiteral("300001")}, {"Komu", QStringLiteral("Пётр Ёжиков")},
                           {"TypKonv", 2}, {"PrintLogo", false}, {"Comment", QStringLiteral("Клапаном вверх")},
                           {"N_Konvert", 7}, {"Printer", 5}, {"Logo_ext", QStringLiteral(".png")},
                           {"PrintZIPcode", true}, {"ReservName1", QStringLiteral("Телефон")}, {"ReservShow", true},
                           {"KonvertComment", QStringLiteral("ЗАКАЗНОЕ\r\nс уведомлением")},
                           {"PrintKonvertComment", true}}});
        adrList = tableOf(store::adrListSchema(),
                          {{{"N", 2}, {"Komu", QStringLiteral("«Рога и копыта»")}, {"Kuda", QStringLiteral("г. Москва, ул. Ёлкина, 5")},
                            {"Index", QStringLiteral("101000")}, {"Group", QStringLiteral("Фирмы")}, {"Check", -1},
                            {"Reserv1", QStringLiteral("+7 495 000-00-00")}},
                           {{"N", 4}, {"Komu", QStringLiteral("Акулов Семён")}, {"Kuda", QStringLiteral("г. Тверь")},
                            {"Index", QStringLiteral("170000")}, {"Check", 0}},
                           {{"N", 9}, {"Komu", longName}, {"Kuda", QString(150, QChar(0x0401))},
                            {"Prim", QString(250, QChar(0x00ab))}, {"Reserv6", QString(250, QChar(0x044f))}},
                           {{"N", 11}, {"Komu", QStringLiteral("Белкина Анна")}, {"Check", -5}}});
        otList = tableOf(store::otListSchema(),
                         {{{"N", 1}, {"OtKogo", QStringLiteral("ООО «Ёлочка»")}, {"OtKuda", QStringLiteral("г. Тула")},
                           {"OtIndex", QStringLiteral("300001")}},
                          {{"N", 3}, {"OtKogo", QStringLiteral("ИП Ёршов")}}});
        Row c5{{"N", 3}, {"NameKonvert", QStringLiteral("C5 «Почта»")}, {"H", 162.0}, {"W", 229.0}, {"LinesH", 6.0}};
        Row dl{{"N", 7}, {"NameKonvert", QStringLiteral("Ёмкий 240x120")}, {"H", 120.0}, {"W", 240.0}, {"LinesH", 5.5}};
        const auto box = [](Row &r, const char *f, double l, double t, double h, double w) {
            const QString n = QString::fromLatin1(f);
            r[n + 'L'] = l;
            r[n + 'T'] = t;
            r[n + 'H'] = h;
            r[n + 'W'] = w;
        };
        for (Row *r : {&c5, &dl}) {
            box(*r, "Otkogo", 25, 6, 5, 80);
            box(*r, "Otkuda", 25, 13, 14, 80);
            box(*r, "Otindex", 10, 32, 5, 22);
            box(*r, "Komu", 130, 60, 5, 95);
            box(*r, "Kuda", 130, 67, 20, 95);
            box(*r, "Index", 130, 95, 5, 22);
            box(*r, "Logo", 108, 6, 18, 25);
            box(*r, "KonvertComment", 120, 38, 16, 53);
            (*r)["ZIPcodeL"] = 10.25;
            (*r)["ZIPcodeT"] = 88.5;
        }
        konverts = tableOf(store::konvertsSchema(), {c5, dl});
        printers = tableOf(store::printersSchema(),
                           {{{"N", 2}, {"PrinterName", QStringLiteral("HP LaserJet")}, {"Dx", 1.5}, {"Dy", -2.0}},
                            {{"N", 5}, {"PrinterName", QStringLiteral("Кэнон «Ёж»")}, {"Dx", -3.25}, {"Dy", 0.5}}});
        filter = tableOf(store::filterSchema(),
                         {{{"Filter", QStringLiteral("склад")}, {"Date", QDate(1999, 12, 31)}},
                          {{"Filter", QStringLiteral("Москва")}, {"Date", QDate(2024, 4, 24)}, {"Time", QTime(10, 15, 30, 250)}},
                          {{"Filter", QStringLiteral("Ёлк|«")}, {"Date", QDate(2024, 4, 24)}, {"Time", QTime(9, 0)}}});
    }

    QVector<Table *> all() { return {&config, &adrList, &otList, &konverts, &printers, &filter}; }

    // The six tables with an index file for each keyed one, a secondary
    // index pair for the recipients, and the engine's lock files.
    void writeInto(const QString &folder)
    {
        QDir().mkpath(folder);
        for (Table *t : all())
            write(folder, *t);
        for (const char *side : {"config.PX", "AdrList.PX", "AdrList.XG0", "AdrList.YG0", "OtList.PX", "konverts.PX",
                                 "Printers.PX", "PDOXUSRS.LCK", "PARADOX.LCK"})
            writeSideFile(folder, QString::fromLatin1(side));
    }
};

} // namespace paradox
