#include "addressbook/recipientfilter.h"
#include "store/schema.h"

namespace addressbook {

const QStringList &searchedFieldNames()
{
    static const QStringList names{
        "Komu", "Kuda", "Index", "Group", "Prim",
        "Reserv1", "Reserv2", "Reserv3", "Reserv4", "Reserv5", "Reserv6"};
    return names;
}

QString foldCase(const QString &text)
{
    return text.toUpper();
}

QString foldCase(QString &&text)
{
    return std::move(text).toUpper();
}

QStringList filterTerms(const QString &text)
{
    QStringList terms;
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        if (bar < 0) {
            terms << rest.toString();
            break;
        }
        terms << rest.left(bar).toString();
        rest = rest.mid(bar + 1);
    }
    return terms;
}

bool matchesPlainly(const QString &filterText, const store::RecordView &record)
{
    if (filterText.isEmpty())
        return true;
    static const std::array<int, searchedFieldCount> fields = [] {
        std::array<int, searchedFieldCount> f{};
        for (int i = 0; i < searchedFieldCount; ++i)
            f[i] = store::adrListSchema().fieldIndex(searchedFieldNames()[i]);
        return f;
    }();
    for (const QString &term : filterTerms(filterText)) {
        bool found = false;
        for (int field : fields) {
            const QString upperTerm = foldCase(term);
            const QString value = foldCase(record.text(field));
            if (!upperTerm.isEmpty() && value.contains(upperTerm)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

RecipientFilter::RecipientFilter(const store::TableSchema &schema)
{
    for (int i = 0; i < searchedFieldCount; ++i)
        m_fields[i] = schema.fieldIndex(searchedFieldNames()[i]);
}

void RecipientFilter::setText(const QString &text)
{
    m_narrowing = !m_text.isEmpty() && text.startsWith(m_text);
    m_text = text;
    ++m_generation;
    m_foldedTerms.clear();
    for (const QString &term : filterTerms(text))
        m_foldedTerms << foldCase(term);
}

store::Cursor::FilterHook RecipientFilter::hook(bool checkValues)
{
    return [this, checkValues](const store::RecordView &record) {
        return accepts(record, checkValues);
    };
}

RecipientFilter::Folded &RecipientFilter::entry(qint64 rowId)
{
    constexpr qint64 arrayLimit = qint64(1) << 22;
    if (rowId >= 0 && rowId < arrayLimit) {
        if (rowId >= qint64(m_byId.size()))
            m_byId.resize(std::max<size_t>(size_t(rowId) + 1, m_byId.size() * 3 / 2));
        return m_byId[size_t(rowId)];
    }
    return m_sparse[rowId];
}

void RecipientFilter::forgetRow(qint64 rowId)
{
    entry(rowId) = Folded();
}

void RecipientFilter::clearCache()
{
    m_byId.clear();
    m_sparse.clear();
}

qsizetype RecipientFilter::rawLength(const store::RecordView &record) const
{
    qsizetype length = 0;
    for (int field : m_fields)
        length += record.textLength(field);
    return length;
}

void RecipientFilter::fold(Folded &f, const store::RecordView &record) const
{
    f.joined.clear();
    f.rawLength = 0;
    for (int i = 0; i < searchedFieldCount; ++i) {
        if (i > 0)
            f.joined += QChar(0);
        QString value = record.text(m_fields[i]);
        f.rawLength += value.size();
        f.joined += foldCase(std::move(value));
    }
    f.generation = 0;
}

bool RecipientFilter::containsTerm(const Folded &f, const QString &term)
{
    if (term.isEmpty())
        return false;
    // A term without NUL cannot run across the separators; one with NUL is
    // looked for field by field.
    if (!term.contains(QChar(0)))
        return f.joined.contains(term);
    for (const QString &value : f.joined.split(QChar(0)))
        if (value.contains(term))
            return true;
    return false;
}

bool RecipientFilter::matches(const Folded &f) const
{
    for (const QString &term : m_foldedTerms)
        if (!containsTerm(f, term))
            return false;
    return true;
}

bool RecipientFilter::accepts(const store::RecordView &record, bool checkValues)
{
    if (m_text.isEmpty())
        return true;
    Folded &f = entry(record.rowId());
    if (!checkValues && f.generation == m_generation && f.rawLength >= 0)
        return f.result;
    const void *values = record.identity();
    if (f.rawLength < 0 || f.checkedValues != values) {
        if (f.rawLength != rawLength(record))
            fold(f, record);
        f.checkedValues = values;
    }
    if (f.generation == m_generation)
        return f.result;
    if (!(m_narrowing && f.generation == m_generation - 1 && !f.result))
        f.result = matches(f);
    f.generation = m_generation;
    return f.result;
}

} // namespace addressbook
