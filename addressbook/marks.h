#pragma once
// Selection marks of recipients: counting and writing them. What a mark is
// (a negative Check) is the print scope's rule. The index Check_i puts the
// marked recipients first.

#include "runs/printscope.h"
#include "store/cursor.h"

#include <QString>

namespace addressbook {


// Counts the marked recipients by walking the mark cursor (in Check_i
// order, through its filter) from the first row up to the first unmarked.
int countMarked(store::Cursor &marks);

// The caption of the scope choice for the marked recipients.
QString markedScopeCaption(int count);

// Writes the mark (or no mark) into every row the mark cursor lets through,
// as one write; the rows in memory are patched, not read again. Rows that
// already hold the value are left alone. On a failure nothing is written and
// the error is passed on.
void writeAllMarks(store::Cursor &marks, int value);

} // namespace addressbook
