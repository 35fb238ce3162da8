#pragma once
// The envelope print run over the address book: one envelope for the
// current recipient, for every marked recipient or for every recipient that
// passes the filter, each optionally followed by the return envelope to the
// sender. The walk is independent of the printer: it hands each envelope to
// a callable, which prints it as its own job.

#include "runs/printscope.h"
#include "envelope/envelopelayout.h"

#include <functional>

namespace store {
class Cursor;
}

namespace envelope {

// Prints one envelope (one job); throws what the printer throws.
using PrintOneEnvelope = std::function<void(const EnvelopeTexts &)>;
// Called before envelope `number` (1-based) of `total` is printed.
using RunProgress = std::function<void(int number, int total)>;

// The sender's half of the texts: OtKogo, OtKuda, OtIndex of the settings row.
EnvelopeTexts senderOfSettingsRow(const store::Cursor &settings);
// The envelope for the current row of the recipient cursor from that sender
// (a row being edited gives its edited texts; an empty cursor empty ones).
EnvelopeTexts envelopeForCurrent(const store::Cursor &recipients, const EnvelopeTexts &sender);
// The return envelope: the two parties swapped.
EnvelopeTexts returnEnvelopeOf(const EnvelopeTexts &envelope);

// The recipients of a run are those of the print scope, in the order of
// its walk (runs::walkScope).
// Where a run that stopped goes on: the recipient row whose envelope is
// next, and whether only its return envelope is left.
struct RunResume {
    qint64 rowId = 0;  // 0: from the first recipient
    bool returnOnly = false;
};

struct RunOptions {
    runs::PrintScope scope = runs::PrintScope::Current;
    bool withReturn = false;
};

// The number of envelopes the run will print, counted without moving the
// cursor (call it after the cursor has settled on its first row for a walk).
int countRunEnvelopes(const store::Cursor &recipients, const RunOptions &options);

// Walks the run over the print scope: every envelope in order, the return
// envelope right after its envelope. An exception from `print` stops the run
// and is passed on. Returns the number of envelopes printed.
// `resume`, when given, says where the run starts (a walk skips the
// recipients before its row) and, when the run stops on an error, is set to
// the envelope that was not printed, where the run may go on.
int runEnvelopes(store::Cursor &recipients, const EnvelopeTexts &sender, const RunOptions &options,
                 const PrintOneEnvelope &print, const RunProgress &progress = {},
                 RunResume *resume = nullptr);

} // namespace envelope
