#pragma once
// The history of recipient filter texts used for printing (Filter.db), most
// recently used first, at most 15 entries.

#include "runs/runrequest.h"
#include "store/cursor.h"

#include <QDateTime>
#include <QStringList>

namespace addressbook {

constexpr int historyCapacity = 15;
constexpr int historyTextCapacity = 250;

// Records a filter text as used now: an existing entry with the same text
// (as the index Filter_i compares, the text cut to 250 characters) gets the
// new date and time, otherwise a new entry is added. Afterwards the entries
// used longest ago are deleted until at most 15 remain. An empty text
// changes nothing. The cursor is left on the index DateTime_i.
void addHistoryFilter(store::Cursor &history, const QString &text,
                      const QDateTime &now = QDateTime::currentDateTime());
// The filter of a run request, as used now.
void addHistoryFilter(store::Cursor &history, const runs::RunRequest &request);

// The stored texts, most recently used first (for the drop-down list).
QStringList historyTexts(store::Cursor &history);

// The help text of the filter, in the markup of the message window.
QString filterHelpText();

} // namespace addressbook
