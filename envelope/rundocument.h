#pragma once
// A whole envelope run as one PDF document: saved as a file ("В PDF", the
// command line) or sent to the printer as one job of all its envelopes.
// Every page is exactly the page PrintKonvert would print for that
// envelope: the same layout, paper, geometry and fonts.

#include "envelope/printrun.h"

#include <QString>

class QIODevice;

namespace envelope {

class EnvelopePrinter;

// Thrown by a progress callback to stop a run at the user's wish.
struct RunCancelled {};

// What a run is made of: whom it walks (the recipient cursor through its
// filter, the scope, the return envelopes), the sender, and the printer
// whose format, offset, font and logo shape every page.
struct EnvelopeRun {
    store::Cursor &recipients;
    EnvelopePrinter &printer;
    EnvelopeTexts sender;
    RunOptions options;
    RunProgress progress = {};
};

// Writes the run's envelopes onto the device, one page each in the run's
// order. Returns the number of pages; none written leaves the device
// untouched. Throws ReportError (unusable paper) and whatever the progress
// callback throws.
int writeRunDocument(const EnvelopeRun &run, QIODevice *device);

// The same into a file. The document grows in a temporary file in the
// file's own folder, which takes the file's name only once it is complete:
// a run that stops half-way (an error, RunCancelled) or has no envelope
// leaves no file, and an older file of that name as it was. Returns the
// number of pages. Throws ReportError(OutputFailed) naming the file when it
// cannot be written.
int saveRunPdf(const EnvelopeRun &run, const QString &fileName);

// The run as one print job of all its envelopes, through the printer's
// document output. Returns the job number (0 when the run has no envelope
// and nothing was sent). Throws what saving and the output throw.
int printRunAsOneJob(const EnvelopeRun &run);

} // namespace envelope
