#include "runs/printscope.h"

#include "store/cursor.h"

#include <algorithm>

namespace runs {

bool isMarked(const QVariant &check)
{
    return !check.isNull() && check.toInt() < 0;
}

namespace {

// Keeps bound controls from following every move of a walk.
class QuietControls {
public:
    explicit QuietControls(store::Cursor &cursor) : m_cursor(cursor) { m_cursor.disableControls(); }
    ~QuietControls() { m_cursor.enableControls(); }
    QuietControls(const QuietControls &) = delete;
    QuietControls &operator=(const QuietControls &) = delete;

private:
    store::Cursor &m_cursor;
};

} // namespace

int countInScope(const store::Cursor &recipients, PrintScope scope)
{
    if (scope == PrintScope::Current)
        return 1;
    if (scope == PrintScope::All)
        return recipients.viewRowCount();
    return int(rowsInScope(recipients, scope).size());
}

QString noRecipientsText(bool toPdf)
{
    return toPdf ? QStringLiteral("В списке нет ни одного адресата: файл PDF не создан.")
                 : QStringLiteral("В списке нет ни одного адресата: ничего не напечатано.");
}

QList<int> rowsInScope(const store::Cursor &recipients, PrintScope scope)
{
    QList<int> rows;
    if (scope == PrintScope::Current)
        return rows;
    const int check = recipients.fieldIndex(QStringLiteral("Check"));
    for (int row = 0, n = recipients.viewRowCount(); row < n; ++row)
        if (scope == PrintScope::All || isMarked(recipients.valueAt(row, check)))
            rows << row;
    return rows;
}

int walkScope(store::Cursor &recipients, PrintScope scope, const VisitRecipient &visit,
              qint64 fromRowId)
{
    if (scope == PrintScope::Current) {
        visit(recipients, 1, 1);
        return 1;
    }
    QuietControls quiet(recipients);
    recipients.first();
    if (fromRowId != 0) {
        while (!recipients.eof() && recipients.currentRowId() != fromRowId)
            recipients.next();
        if (recipients.eof())
            return 0;
    }
    const int check = recipients.fieldIndex(QStringLiteral("Check"));
    int total = 0;
    for (int row = std::max(recipients.recNo(), 0), n = recipients.viewRowCount(); row < n; ++row)
        total += (scope == PrintScope::All || isMarked(recipients.valueAt(row, check))) ? 1 : 0;
    int visited = 0;
    while (!recipients.eof()) {
        if (scope == PrintScope::All || isMarked(recipients.value(check)))
            visit(recipients, ++visited, total);
        recipients.next();
    }
    return visited;
}

} // namespace runs
