#include "addressbook/sheetcells.h"

namespace addressbook {

SheetError::SheetError(Kind kind, const QString &detail, int limit)
    : std::runtime_error(detail.toStdString()), m_kind(kind), m_detail(detail), m_limit(limit)
{
}

QString SheetCells::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row].value(column);
}

const QStringList &exportedFields()
{
    static const QStringList fields{
        QStringLiteral("Komu"),    QStringLiteral("Kuda"),    QStringLiteral("Index"),
        QStringLiteral("Group"),   QStringLiteral("Prim"),    QStringLiteral("Reserv1"),
        QStringLiteral("Reserv2"), QStringLiteral("Reserv3"), QStringLiteral("Reserv4"),
        QStringLiteral("Reserv5"), QStringLiteral("Reserv6")};
    return fields;
}

QVector<QStringList> exportRows(store::Cursor &recipients)
{
    QVector<int> fields;
    for (const QString &name : exportedFields())
        fields << recipients.fieldIndex(name);
    QVector<QStringList> rows;
    rows.reserve(recipients.viewRowCount());
    for (int row = 0; row < recipients.viewRowCount(); ++row) {
        QStringList texts;
        texts.reserve(fields.size());
        for (int field : fields)
            texts << recipients.valueAt(row, field).toString();
        rows << texts;
    }
    recipients.first();
    return rows;
}

namespace {

// The labels of the recipient fields; a leading "-" keeps a field out of
// imports. Fields not named here are labelled by their name.
QString labelOf(const QString &field)
{
    static const QHash<QString, QString> labels{
        {QStringLiteral("N"), QStringLiteral("-N")},
        {QStringLiteral("Check"), QStringLiteral("-Check")},
        {QStringLiteral("Komu"), QStringLiteral("Кому")},
        {QStringLiteral("Kuda"), QStringLiteral("Куда")},
        {QStringLiteral("Index"), QStringLiteral("Индекс")},
        {QStringLiteral("Group"), QStringLiteral("Группа")},
        {QStringLiteral("Prim"), QStringLiteral("Примечание")}};
    return labels.value(field, field);
}

} // namespace

QVector<ImportField> importableFields(const store::TableSchema &schema)
{
    QVector<ImportField> out;
    for (int f = 0; f < schema.fields.size(); ++f) {
        const QString label = labelOf(schema.fields[f].name);
        if (!label.startsWith(QLatin1Char('-')))
            out << ImportField{f, label};
    }
    return out;
}

int columnOfLetter(const QString &letter)
{
    if (letter.isEmpty())
        return -1;
    if (letter.size() != 1)
        return -2;
    const char16_t c = letter.at(0).unicode();
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a';
    return -2;
}

int ColumnMap::columnCount() const
{
    int count = 0;
    for (int column : columnOfField)
        count = std::max(count, column + 1);
    return count;
}

QString storableText(const QString &cell, bool *changed)
{
    QString out;
    out.reserve(cell.size());
    bool altered = false;
    for (QChar c : cell) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\t') {
            altered = true;
            if (!out.endsWith(QLatin1Char(' ')))
                out += QLatin1Char(' ');
        } else if (u < 0x20 || u == 0x7f) {
            altered = true;
        } else {
            out += c;
        }
    }
    if (changed)
        *changed = altered;
    return out;
}

void importRows(store::Cursor &recipients, const SheetCells &cells, const ColumnMap &map, int rowCount,
                ImportOutcome &outcome)
{
    recipients.cancel();
    recipients.disableControls();
    int row = 0;
    try {
        while (row < rowCount) {
            const int batchEnd = std::min(rowCount, row + importBatchSize);
            recipients.beginBatch();
            for (; row < batchEnd; ++row) {
                recipients.insert();
                for (int field = 0; field < map.columnOfField.size(); ++field) {
                    const int column = map.columnOfField[field];
                    if (column < 0)
                        continue;
                    bool changed = false;
                    recipients.setValue(field, storableText(cells.text(row, column), &changed));
                    outcome.errors = outcome.errors || changed;
                }
                recipients.post();
            }
            recipients.commitBatch();
            outcome.added = row;
        }
    } catch (...) {
        recipients.rollbackBatch();
        recipients.enableControls();
        throw;
    }
    recipients.enableControls();
}

} // namespace addressbook
