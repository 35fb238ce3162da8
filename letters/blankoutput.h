#pragma once
// Where a blank run goes: every sheet to the printer as a job of its own,
// or all the sheets of the run into one PDF file.

#include "letters/blankrun.h"

namespace letters {

class WriterSession;

// With the template open in the session: fills it for every recipient of
// the scope (the run's rules) and prints each sheet as one job; with a
// pdfFile, exports each sheet into a private temporary folder instead and
// joins them into that file, which is written whole or not at all (a failed
// run leaves no file, and an older file of that name as it was). Returns
// the recipients filled; run.sheetsPrinted() counts the sheets. Throws what
// the session and the join throw.
int runBlankTo(WriterSession &session, BlankRun &run, store::Cursor &recipients, runs::PrintScope scope,
               const QString &pdfFile = QString());

// What a run that stopped says, with the cause in the user's words: for a
// printed run with the count of sheets that went to the printer; a run into
// a PDF leaves no file, so there is nothing to count.
QString blankRunStoppedText(const QString &cause, int sheetsPrinted, bool toPdf);

// The name the file dialog proposes for the run saved as PDF: the
// template's name without its extension and the date, "Опись 2026-12-09.pdf".
QString proposedBlankPdfName(const QString &blankName, const QDate &date);

} // namespace letters
