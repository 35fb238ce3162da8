#include "addressbook/recipientbook.h"
#include "addressbook/marks.h"

namespace addressbook {

RecipientBook::RecipientBook(store::Cursor &main, store::Cursor &marks, QObject *parent)
    : QObject(parent), m_main(main), m_marks(marks), m_filter(main.schema())
{
    // The main cursor always filters first and checks each row's values; the
    // mark cursor holds the same rows (once brought up to date) and takes the
    // results found for them.
    m_main.setFilterHook(m_filter.hook(true));
    m_marks.setFilterHook(m_filter.hook(false));
    m_main.setFiltered(true);
    m_marks.setFiltered(true);

    connect(&m_main, &store::Cursor::beforeInsert, this, [this] {
        setSavePending(true);
        emit inserting();
    });
    connect(&m_main, &store::Cursor::afterEdit, this, [this] { setSavePending(true); });
    connect(&m_main, &store::Cursor::beforePost, this, &RecipientBook::beforeMainPost);
    connect(&m_main, &store::Cursor::afterPost, this, &RecipientBook::afterMainPost);
    connect(&m_main, &store::Cursor::afterCancel, this, [this] { setSavePending(false); });
    connect(&m_main, &store::Cursor::beforeDelete, this,
            [this] {
                m_rowsBehind << m_main.currentRowId();
                m_filter.forgetRow(m_main.currentRowId());
            });
    connect(&m_main, &store::Cursor::afterDelete, this, [this] { selectedCalc(); });
}

// The id of a row being added is known only after it is stored, and then
// only as the main cursor's current row if the filter lets it through.
void RecipientBook::beforeMainPost()
{
    m_postingId = m_main.currentRowId();
    m_filter.forgetRow(m_postingId);
    m_postedRowVisible = true;
    if (m_postingId == 0) {
        QVector<QVariant> values;
        for (int f = 0; f < m_main.schema().fields.size(); ++f)
            values << m_main.value(f);
        m_postedRowVisible = matchesPlainly(m_filter.text(), store::RecordView(m_main.schema(), values, 0));
    }
}

void RecipientBook::afterMainPost()
{
    const qint64 id = m_postingId != 0 ? m_postingId : m_main.currentRowId();
    if (id != 0 && m_postedRowVisible)
        m_rowsBehind << id;
    else
        m_allBehind = true;
    setSavePending(false);
}

void RecipientBook::setSavePending(bool on)
{
    if (m_savePending == on)
        return;
    m_savePending = on;
    emit savePendingChanged(on);
}

void RecipientBook::syncMarks()
{
    constexpr int rowByRowLimit = 200;
    if (m_allBehind || m_rowsBehind.size() > rowByRowLimit) {
        m_marks.refresh();
    } else {
        for (qint64 id : std::as_const(m_rowsBehind))
            m_marks.refreshRow(id);
    }
    m_rowsBehind.clear();
    m_allBehind = false;
}

void RecipientBook::setFilterText(const QString &text)
{
    m_main.cancel();
    m_filter.setText(text);
    m_main.refilter();
    m_marks.refilter();
    selectedCalc();
}

int RecipientBook::selectedCalc()
{
    if (marksBehind())
        syncMarks();
    m_selectedCount = countMarked(m_marks);
    emit selectedCountChanged(m_selectedCount);
    return m_selectedCount;
}

void RecipientBook::toggleMark()
{
    if (!m_main.isEditing()) {
        if (m_main.recordCount() == 0)
            return;
        m_main.edit();
    }
    const int check = m_main.fieldIndex(QStringLiteral("Check"));
    m_main.setValue(check, runs::isMarked(m_main.value(check)) ? runs::unmarkedValue : runs::markedValue);
    m_main.post();
    selectedCalc();
}

void RecipientBook::setAllMarks(bool marked)
{
    m_main.cancel();
    if (marksBehind())
        syncMarks();
    writeAllMarks(m_marks, marked ? runs::markedValue : runs::unmarkedValue);
    selectedCalc();
    m_main.refresh();
}

int RecipientBook::clearListed()
{
    const int deleted = m_main.removeVisible();
    m_filter.clearCache();
    m_allBehind = true;
    setSavePending(false);
    selectedCalc();
    return deleted;
}

void RecipientBook::setSortByMarks(bool on)
{
    m_sortByMarks = on;
    m_main.setIndexName(on ? QStringLiteral("Check_i") : QStringLiteral("Komu_i"));
}

} // namespace addressbook
