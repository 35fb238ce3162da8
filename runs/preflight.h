#pragma once
// The check before a print run, the part both runs share: for every
// recipient the run will serve, an empty name and a postal code that is not
// six digits; the report of what was found and its paragraph in the print
// summary. The envelope run adds its own checks (envelope/preflight.h).
// Nothing is changed or printed.

#include "runs/printscope.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace store {
class Cursor;
}

namespace runs {

// What can be wrong with one recipient, as bits.
enum RecipientProblem : unsigned {
    NameClipped = 1,     // envelopes: the name does not fit its box
    AddressClipped = 2,  // envelopes: the address does not fit its box
    EmptyName = 4,
    BadPostalCode = 8,   // empty or not exactly six digits
};

struct FlaggedRecipient {
    QString name;
    unsigned problems = 0;
};

struct PreflightReport {
    int recipients = 0;                  // recipients checked
    QList<FlaggedRecipient> flagged;     // in the order the run prints them
    QStringList runProblems;             // about the run as a whole, in Russian
    bool hasFindings() const { return !flagged.isEmpty() || !runProblems.isEmpty(); }
};

// The name and postal-code checks every run makes (envelopes and blanks).
unsigned dataProblems(const QString &komu, const QString &index);
bool isSixDigitPostalCode(const QString &index);

// Calls `visit` with name, address and postal code of every recipient a
// run of this scope serves, in the run's order, without moving the cursor
// (the current scope: the current row as it stands, edits included).
using VisitRecipientTexts = std::function<void(const QString &komu, const QString &kuda, const QString &index)>;
void forEachRunRecipient(const store::Cursor &recipients, PrintScope scope, const VisitRecipientTexts &visit);

// The check of a blank run: names and postal codes only.
PreflightReport preflightBlanks(const store::Cursor &recipients, PrintScope scope);

// The findings as one more paragraph of the print summary (markup): the
// count and the first few names; empty when there is nothing to say.
// Braces in names are shown as parentheses, so that no name acts as markup.
QString preflightParagraph(const PreflightReport &report);

// The findings as plain lines for the standard error output of a run
// without a window, each a warning: the run's problems, then every flagged
// recipient with what is wrong. None when there is nothing to say.
QStringList preflightLines(const PreflightReport &report);

} // namespace runs
