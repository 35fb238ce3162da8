#pragma once
// The print scope: whom a print run serves (the current recipient, the
// marked ones or all that pass the filter), and the one walk over it that
// the envelope run, the blank run and the spreadsheet export share.

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace store {
class Cursor;
}

namespace runs {

// In the order of the scope radio buttons ("текущего", "выделенных(n)",
// "всех").
enum class PrintScope { Current = 0, Marked = 1, All = 2 };

// Selection marks: a negative Check is a mark (the program writes -1);
// zero, a positive value or an empty field is no mark.
constexpr int markedValue = -1;
constexpr int unmarkedValue = 0;
bool isMarked(const QVariant &check);

// The number of recipients the scope takes, counted without moving the
// cursor: 1 for the current one, otherwise the rows through the filter (only
// the marked ones for Marked).
int countInScope(const store::Cursor &recipients, PrintScope scope);

// What a run says when its scope holds no recipient (a filter that lets
// nobody through, an empty book): nothing was saved, or nothing printed.
QString noRecipientsText(bool toPdf);

// The view rows a walk over Marked or All visits, in the grid's order, read
// without moving the cursor; empty for Current, whose one recipient is the
// current row as it stands.
QList<int> rowsInScope(const store::Cursor &recipients, PrintScope scope);

// Called with the cursor on a recipient of the scope; number is 1-based
// and total is countInScope at the start of the walk.
using VisitRecipient = std::function<void(store::Cursor &recipients, int number, int total)>;

// Walks the scope in the grid's order. Current: the current row, without
// moving (a row being edited is visited with its edited texts). Marked and
// All: the cursor goes to its first row (a pending edit is stored or dropped
// as every move does) and on to the last through its filter, in its present
// order; Marked visits only rows whose Check is negative. A walk leaves the
// cursor on its last row; bound controls stay quiet during it and follow the
// cursor again afterwards. An exception from visit ends the walk and is
// passed on. Returns the number of recipients visited.
// `fromRowId`, when not 0, resumes a walk over Marked or All at the row of
// that id, skipping the recipients before it (number and total then count
// from there); when that row is no longer listed nothing is visited.
int walkScope(store::Cursor &recipients, PrintScope scope, const VisitRecipient &visit,
              qint64 fromRowId = 0);

} // namespace runs
