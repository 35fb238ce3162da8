#include "envelope/printrun.h"

#include "addressbook/marks.h"
#include "store/cursor.h"

#include <algorithm>

namespace envelope {

namespace {

// Keeps bound controls from following every move of a walk.
class QuietControls {
public:
    explicit QuietControls(store::Cursor &cursor) : m_cursor(cursor) { m_cursor.disableControls(); }
    ~QuietControls() { m_cursor.enableControls(); }
    QuietControls(const QuietControls &) = delete;
    QuietControls &operator=(const QuietControls &) = delete;

private:
    store::Cursor &m_cursor;
};

bool takesRow(const store::Cursor &recipients, int checkField, int row, RunScope scope)
{
    return scope == RunScope::All || addressbook::isMarked(recipients.valueAt(row, checkField));
}

} // namespace

EnvelopeTexts senderOfSettingsRow(const store::Cursor &settings)
{
    EnvelopeTexts t;
    t.otKogo = settings.asString(QStringLiteral("OtKogo"));
    t.otKuda = settings.asString(QStringLiteral("OtKuda"));
    t.otIndex = settings.asString(QStringLiteral("OtIndex"));
    return t;
}

EnvelopeTexts envelopeForCurrent(const store::Cursor &recipients, const EnvelopeTexts &sender)
{
    EnvelopeTexts t = sender;
    t.komu = recipients.asString(QStringLiteral("Komu"));
    t.kuda = recipients.asString(QStringLiteral("Kuda"));
    t.index = recipients.asString(QStringLiteral("Index"));
    return t;
}

EnvelopeTexts returnEnvelopeOf(const EnvelopeTexts &e)
{
    return EnvelopeTexts{e.otKogo, e.otKuda, e.otIndex, e.komu, e.kuda, e.index};
}

int countRunEnvelopes(const store::Cursor &recipients, const RunOptions &options)
{
    const int perRecipient = options.withReturn ? 2 : 1;
    if (options.scope == RunScope::Current)
        return perRecipient;
    const int check = recipients.fieldIndex(QStringLiteral("Check"));
    int rows = 0;
    for (int row = 0, n = recipients.viewRowCount(); row < n; ++row)
        rows += takesRow(recipients, check, row, options.scope) ? 1 : 0;
    return rows * perRecipient;
}

int runEnvelopes(store::Cursor &recipients, const EnvelopeTexts &sender, const RunOptions &options,
                 const PrintOneEnvelope &print, const RunProgress &progress, RunResume *resume)
{
    const RunResume from = resume ? *resume : RunResume();
    int printed = 0;
    int total = 0;
    RunResume at;
    const auto printOne = [&](const EnvelopeTexts &envelope) {
        if (progress)
            progress(printed + 1, total);
        try {
            print(envelope);
        } catch (...) {
            if (resume)
                *resume = at;
            throw;
        }
        ++printed;
    };
    const auto printWithReturn = [&](const EnvelopeTexts &envelope, bool returnOnly) {
        at = {recipients.currentRowId(), false};
        if (!returnOnly)
            printOne(envelope);
        if (!options.withReturn)
            return;
        at.returnOnly = true;
        printOne(returnEnvelopeOf(envelope));
    };

    if (options.scope == RunScope::Current) {
        const bool returnOnly = from.returnOnly && options.withReturn;
        total = countRunEnvelopes(recipients, options) - (returnOnly ? 1 : 0);
        printWithReturn(envelopeForCurrent(recipients, sender), returnOnly);
        return printed;
    }

    QuietControls quiet(recipients);
    recipients.first();
    const int check = recipients.fieldIndex(QStringLiteral("Check"));
    if (from.rowId != 0) {
        while (!recipients.eof() && recipients.currentRowId() != from.rowId)
            recipients.next();
        if (recipients.eof())  // the recipient is gone (deleted, filtered out): nothing to resume
            return 0;
    }
    total = 0;
    for (int row = std::max(recipients.recNo(), 0), n = recipients.viewRowCount(); row < n; ++row)
        total += takesRow(recipients, check, row, options.scope) ? (options.withReturn ? 2 : 1) : 0;
    bool returnOnly = from.rowId != 0 && from.returnOnly && options.withReturn;
    if (returnOnly)
        --total;
    while (!recipients.eof()) {
        if (options.scope == RunScope::All || addressbook::isMarked(recipients.value(check)))
            printWithReturn(envelopeForCurrent(recipients, sender), returnOnly);
        returnOnly = false;
        recipients.next();
    }
    return printed;
}

} // namespace envelope
