#include "addressbook/sheetcells.h"

#include <QFileInfo>

namespace addressbook {

namespace {

QString textOf(SheetError::Kind kind, const QString &detail, int limit, const QString &file)
{
    using K = SheetError::Kind;
    const QString name = QFileInfo(file).fileName();
    // Without a file the sentence names none.
    const QString quotedName = name.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(name);
    QString text;
    switch (kind) {
    case K::NoOffice:
        return QStringLiteral(
            "Ошибка обращения к LibreOffice Calc. Для выполнения данной функции требуется наличие на "
            "компьютере LibreOffice Calc. Если LibreOffice Calc установлен, перезагрузите компьютер и "
            "попробуйте ещё раз. Если перезагрузка не поможет, переустановите LibreOffice Calc. Если "
            "LibreOffice Calc не установлен, установите его.");
    case K::OfficeNotStarting:
        text = QStringLiteral("LibreOffice Calc не запустился.");
        break;
    case K::TooLarge:
        return QStringLiteral("Файл%1 слишком велик для загрузки: %2. Такую книгу программа не загружает. "
                              "Сохраните нужные строки в отдельную книгу и загрузите её.")
            .arg(quotedName, detail);
    case K::NoExportWorkbook:
        text = QStringLiteral("Не удалось открыть книгу выгрузки \"Kuvertix.xls\" из папки программы. "
                              "Переустановите программу.");
        break;
    case K::NotAWorkbook:
        text = QStringLiteral("Файл%1 не открывается как книга LibreOffice Calc. Выберите книгу "
                              "(.xls, .xlsx, .ods) или файл .csv.").arg(quotedName);
        break;
    case K::NoSheets:
        text = QStringLiteral("В книге%1 нет ни одного листа.").arg(quotedName);
        break;
    case K::RowsBeyondSheet:
        return QStringLiteral("В листе книги не больше %1 строк. Укажите число строк не больше %1.").arg(limit);
    case K::OfficeGone:
        text = QStringLiteral("LibreOffice Calc неожиданно завершил работу. Попробуйте ещё раз.");
        break;
    case K::NoDisplay:
        return QStringLiteral("Выгруженных адресатов негде показать: программа запущена без "
                              "графического рабочего стола. Запустите её на рабочем столе и "
                              "повторите выгрузку.");
    case K::Failed:
        text = QStringLiteral("LibreOffice Calc сообщил об ошибке.");
        break;
    }
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n") + detail;
    return text;
}

} // namespace

SheetError::SheetError(Kind kind, const QString &detail, int limit, const QString &cause)
    : core::Error(textOf(kind, detail, limit, {}), cause), m_kind(kind), m_detail(detail), m_limit(limit)
{
}

QString sheetErrorText(const SheetError &error, const QString &file)
{
    return textOf(error.kind(), error.detail(), error.limit(), file);
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

QString importErrorsText(const ImportOutcome &outcome)
{
    QString text = QStringLiteral("При импорте возникали ошибки, возможно вы не правильно вводили данные, "
                                  "проверьте результат.");
    if (outcome.cutCells > 0)
        text += QStringLiteral("\nЯчеек с текстом длиннее поля (сохранено только его начало): %1.")
                    .arg(outcome.cutCells);
    return text;
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
                    const QString text = storableText(cells.text(row, column), &changed);
                    // The field keeps its first characters (the store's rule); the user hears it.
                    const store::FieldDef &def = recipients.schema().fields[field];
                    if (def.type == store::FieldType::Text
                        && store::cutToCapacity(text, def.capacity).size() < text.size()) {
                        ++outcome.cutCells;
                        changed = true;
                    }
                    recipients.setValue(field, text);
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
