#pragma once
// Selection marks of recipients. A negative Check is a mark (the program
// writes -1); zero, a positive value or an empty field is no mark. The
// index Check_i puts the marked recipients first.

#include "store/cursor.h"

#include <QString>

namespace addressbook {

constexpr int markedValue = -1;
constexpr int unmarkedValue = 0;

bool isMarked(const QVariant &check);

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
