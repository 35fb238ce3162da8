#include "addressbook/marks.h"

namespace addressbook {

namespace {

const QString checkIndex = QStringLiteral("Check_i");

} // namespace

bool isMarked(const QVariant &check)
{
    return !check.isNull() && check.toInt() < 0;
}

int countMarked(store::Cursor &marks)
{
    const int check = marks.fieldIndex(QStringLiteral("Check"));
    int count = 0;
    marks.first();
    while (!marks.eof() && isMarked(marks.value(check))) {
        ++count;
        marks.next();
    }
    return count;
}

QString markedScopeCaption(int count)
{
    return QStringLiteral("выделенных(%1)").arg(count);
}

void writeAllMarks(store::Cursor &marks, int value)
{
    const int check = marks.fieldIndex(QStringLiteral("Check"));
    marks.setIndexName(QString());
    marks.disableControls();
    marks.beginBatch();
    try {
        for (marks.first(); !marks.eof(); marks.next()) {
            const QVariant old = marks.value(check);
            if (!old.isNull() && old.toInt() == value)
                continue;
            marks.edit();
            marks.setValue(check, value);
            marks.post();
        }
        marks.commitBatch();
    } catch (...) {
        marks.rollbackBatch();
        marks.enableControls();
        marks.setIndexName(checkIndex);
        throw;
    }
    marks.enableControls();
    marks.setIndexName(checkIndex);
}

} // namespace addressbook
