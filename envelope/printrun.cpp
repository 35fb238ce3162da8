#include "envelope/printrun.h"

#include "store/cursor.h"

#include <algorithm>

namespace envelope {

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
    return runs::countInScope(recipients, options.scope) * (options.withReturn ? 2 : 1);
}

int runEnvelopes(store::Cursor &recipients, const EnvelopeTexts &sender, const RunOptions &options,
                 const PrintOneEnvelope &print, const RunProgress &progress, RunResume *resume)
{
    const RunResume from = resume ? *resume : RunResume();
    const bool resumeWithReturnOnly = from.returnOnly && options.withReturn;
    const int perRecipient = options.withReturn ? 2 : 1;
    int printed = 0;
    RunResume at;
    const auto printOne = [&](const EnvelopeTexts &envelope, int total) {
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
    bool returnOnly = resumeWithReturnOnly;
    runs::walkScope(
        recipients, options.scope,
        [&](store::Cursor &row, int, int recipientsInScope) {
            const int total = recipientsInScope * perRecipient - (resumeWithReturnOnly ? 1 : 0);
            const EnvelopeTexts envelope = envelopeForCurrent(row, sender);
            at = {row.currentRowId(), false};
            if (!returnOnly)
                printOne(envelope, total);
            returnOnly = false;
            if (!options.withReturn)
                return;
            at.returnOnly = true;
            printOne(returnEnvelopeOf(envelope), total);
        },
        from.rowId);
    return printed;
}

} // namespace envelope
