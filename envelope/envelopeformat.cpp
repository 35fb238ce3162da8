#include "envelope/envelopeformat.h"

#include "envelope/units.h"
#include "store/cursor.h"

#include <functional>

namespace envelope {
namespace {

// A format from a getter of its numeric fields by name.
template <typename Get>
MmBox boxOf(const Get &get, const QString &prefix)
{
    return MmBox{get(prefix + QLatin1Char('L')), get(prefix + QLatin1Char('T')),
                 get(prefix + QLatin1Char('H')), get(prefix + QLatin1Char('W'))};
}

template <typename Get>
EnvelopeFormat formatOf(const Get &get)
{
    EnvelopeFormat f;
    f.h = get(QStringLiteral("H"));
    f.w = get(QStringLiteral("W"));
    f.linesH = get(QStringLiteral("LinesH"));
    f.otkogo = boxOf(get, QStringLiteral("Otkogo"));
    f.otkuda = boxOf(get, QStringLiteral("Otkuda"));
    f.otindex = boxOf(get, QStringLiteral("Otindex"));
    f.komu = boxOf(get, QStringLiteral("Komu"));
    f.kuda = boxOf(get, QStringLiteral("Kuda"));
    f.index = boxOf(get, QStringLiteral("Index"));
    f.logo = boxOf(get, QStringLiteral("Logo"));
    f.comment = boxOf(get, QStringLiteral("KonvertComment"));
    f.zipL = get(QStringLiteral("ZIPcodeL"));
    f.zipT = get(QStringLiteral("ZIPcodeT"));
    return f;
}

// The view row whose N is n; -1 when none.
int viewRowWithKey(const store::Cursor &c, int n)
{
    const int key = c.fieldIndex(QStringLiteral("N"));
    for (int row = 0, rows = c.viewRowCount(); row < rows; ++row) {
        const QVariant v = c.valueAt(row, key);
        if (!v.isNull() && v.toInt() == n)
            return row;
    }
    return -1;
}

// A getter of the current row (edits included) when its key is n or no
// row has it, else of the stored row with that key.
std::function<double(const QString &)> rowWithKey(const store::Cursor &c, int n)
{
    const int row = c.asInteger(QStringLiteral("N")) == n ? -1 : viewRowWithKey(c, n);
    if (row < 0)
        return [&c](const QString &field) { return c.asFloat(field); };
    return [&c, row](const QString &field) { return c.valueAt(row, c.fieldIndex(field)).toDouble(); };
}

// Switches to the key index, finds the key and switches back.
void findByKey(store::Cursor &cursor, int n, const QString &normalIndex)
{
    cursor.setIndexName(QStringLiteral("N_i"));
    cursor.findKey(n);
    cursor.setIndexName(normalIndex);
}

} // namespace

EnvelopeFormat formatOfCurrentRow(const store::Cursor &c)
{
    return formatOf([&c](const QString &field) { return c.asFloat(field); });
}

EnvelopeFormat formatWithKey(const store::Cursor &formats, int n)
{
    return formatOf(rowWithKey(formats, n));
}

PrintOffset offsetWithKey(const store::Cursor &offsets, int n)
{
    const auto get = rowWithKey(offsets, n);
    return PrintOffset{get(QStringLiteral("Dx")) * UnitsPerMm, get(QStringLiteral("Dy")) * UnitsPerMm};
}

PrintOffset offsetOfCurrentRow(const store::Cursor &c)
{
    return PrintOffset{c.asFloat(QStringLiteral("Dx")) * UnitsPerMm,
                       c.asFloat(QStringLiteral("Dy")) * UnitsPerMm};
}

EnvelopeFormat findEnvelopeFormat(store::Cursor &formats, int n)
{
    findByKey(formats, n, QStringLiteral("NameKonvert_i"));
    return formatOfCurrentRow(formats);
}

PrintOffset findPrintOffset(store::Cursor &offsets, int n)
{
    findByKey(offsets, n, QStringLiteral("PrinterName_i"));
    return offsetOfCurrentRow(offsets);
}

QString copyName(const QString &name)
{
    return store::cutToCapacity(name + QStringLiteral(" копия"),
                                store::konvertsSchema().fields[store::konvertsSchema().fieldIndex(
                                    QStringLiteral("NameKonvert"))].capacity);
}

void copyEnvelopeFormat(store::Cursor &formats, store::Cursor &copies)
{
    if (formats.recordCount() == 0 && !formats.isEditing())
        return;
    const qint64 original = formats.currentRowId();
    const store::TableSchema &schema = formats.schema();
    QVector<QVariant> values(schema.fields.size());
    for (int i = 0; i < schema.fields.size(); ++i)
        values[i] = formats.value(i);

    copies.insert();
    for (int i = 0; i < schema.fields.size(); ++i) {
        if (schema.fields[i].type == store::FieldType::AutoInc)
            continue;
        copies.setValue(i, values[i]);
    }
    const int name = schema.fieldIndex(QStringLiteral("NameKonvert"));
    copies.setValue(name, copyName(values[name].toString()));
    copies.post();

    formats.refresh();
    if (original > 0)
        formats.gotoRowId(original);
}

} // namespace envelope
