#pragma once
// A print run as the clerk asked for it: what to print, for whom and with
// what. The address book page builds it once when a run starts (the command
// line from its options); the summary, the run panels, the check before the
// run and the history of filters read it from there.

#include "runs/printscope.h"

#include <QString>

namespace runs {

enum class RunKind { Envelope, Blank };

struct RunRequest {
    RunRequest() = default;
    explicit RunRequest(RunKind kind_, PrintScope scope_ = PrintScope::Current) : kind(kind_), scope(scope_) {}

    RunKind kind = RunKind::Envelope;
    PrintScope scope = PrintScope::Current;
    QString filterText;           // the recipient filter in force
    int selectedCount = 0;        // the marked recipients that pass it
    bool returnEnvelope = false;  // envelopes: "Печатать и обратный конв."
    QString blankName;            // blanks: the chosen template, empty when none
    double sum = 0;               // blanks: the sum field, parsed

    // The marked scope with no recipient marked: nothing to print.
    bool noneMarked() const { return scope == PrintScope::Marked && selectedCount == 0; }
};

} // namespace runs
