#include "addressbook/marks.h"

namespace addressbook {

int countMarked(store::Cursor &marks)
{
    const int check = marks.fieldIndex(QStringLiteral("Check"));
    int count = 0;
    marks.first();
    while (!marks.eof() && runs::isMarked(marks.value(check))) {
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
    marks.setFieldOfAll(marks.fieldIndex(QStringLiteral("Check")), value);
}

} // namespace addressbook
