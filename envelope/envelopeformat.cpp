#include "envelope/envelopeformat.h"

#include "envelope/units.h"
#include "store/cursor.h"

namespace envelope {
namespace {

MmBox boxOf(const store::Cursor &c, const QString &prefix)
{
    return MmBox{c.asFloat(prefix + QLatin1Char('L')), c.asFloat(prefix + QLatin1Char('T')),
                 c.asFloat(prefix + QLatin1Char('H')), c.asFloat(prefix + QLatin1Char('W'))};
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
    EnvelopeFormat f;
    f.h = c.asFloat(QStringLiteral("H"));
    f.w = c.asFloat(QStringLiteral("W"));
    f.linesH = c.asFloat(QStringLiteral("LinesH"));
    f.otkogo = boxOf(c, QStringLiteral("Otkogo"));
    f.otkuda = boxOf(c, QStringLiteral("Otkuda"));
    f.otindex = boxOf(c, QStringLiteral("Otindex"));
    f.komu = boxOf(c, QStringLiteral("Komu"));
    f.kuda = boxOf(c, QStringLiteral("Kuda"));
    f.index = boxOf(c, QStringLiteral("Index"));
    f.logo = boxOf(c, QStringLiteral("Logo"));
    f.comment = boxOf(c, QStringLiteral("KonvertComment"));
    f.zipL = c.asFloat(QStringLiteral("ZIPcodeL"));
    f.zipT = c.asFloat(QStringLiteral("ZIPcodeT"));
    return f;
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
