#pragma once
// The start both print runs make, whichever panel it is clicked on: the
// filter into the history, the summary with the check before the run, and
// the marked scope that has no one marked. The panels learn the request
// and show the summary through the page they serve (RunHost).

#include "runs/runrequest.h"
#include "runs/summary.h"

class QWidget;

namespace runs {

// The panel's part of the summary: the envelope settings as they stand on
// screen (envelope runs) and the findings of the check before the run
// (markup; empty when there are none).
struct RunSummary {
    ResumeScreen screen;
    QString findings;
};

// What a run panel needs of the page it serves (the address book page).
class RunHost {
public:
    virtual ~RunHost() = default;
    // The request of a run of the kind, as the page stands now: what
    // another copy of the program stored since it was last looked at is
    // taken in first, so that the run serves the rows as they are.
    virtual RunRequest runRequest(RunKind kind) = 0;
    // Stores the request's filter in the history of filters.
    virtual void rememberFilter(const RunRequest &request) = 0;
    // Shows the summary of the request with the panel's part; true to print.
    virtual bool confirmRun(const RunRequest &request, const RunSummary &summary) = 0;
};

enum class RunStart { Go, Declined, NoneMarked };

// The filter into the history, then the summary (not confirmed: Declined),
// then the marked scope without a marked recipient (the warning:
// NoneMarked).
RunStart startRun(QWidget *panel, RunHost &host, const RunRequest &request, const RunSummary &summary);

// Says "У Вас не выделено ни одного адресата." when the request's marked
// scope has no one marked, and answers whether it did.
bool warnedNoneMarked(QWidget *panel, const RunRequest &request);

} // namespace runs
