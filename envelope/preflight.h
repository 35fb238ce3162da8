#pragma once
// The check before a print run: for every recipient the run will serve, a
// name or address that the envelope would cut off at the print font, an
// empty name, a postal code that is not six digits; for the run as a whole,
// the logo switched on without a picture, a box of the format lying off the
// envelope and a sender that does not fit. Nothing is changed or printed.

#include "envelope/envelopelayout.h"
#include "envelope/printrun.h"
#include "report/page.h"

#include <QBuffer>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

class QPdfWriter;

namespace store {
class Cursor;
}

namespace envelope {

// What can be wrong with one recipient, as bits.
enum RecipientProblem : unsigned {
    NameClipped = 1,     // the name does not fit its box
    AddressClipped = 2,  // the address does not fit its box
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

// Measures texts in the boxes of one envelope layout: the page is laid out
// once, each check only replaces texts and asks the renderer whether it
// would clip them on a printer-like device.
class EnvelopeFitCheck {
public:
    EnvelopeFitCheck(const EnvelopeFormat &format, const EnvelopeOptions &options);
    ~EnvelopeFitCheck();
    EnvelopeFitCheck(const EnvelopeFitCheck &) = delete;
    EnvelopeFitCheck &operator=(const EnvelopeFitCheck &) = delete;

    // NameClipped / AddressClipped of a name and address put in the
    // recipient's boxes (asSender: in the sender's boxes).
    unsigned clipping(const QString &name, const QString &address, bool asSender = false);

    // Boxes that would be printed and lie partly off the envelope, by their
    // captions on the formats tab.
    QStringList boxesOffTheEnvelope() const;

private:
    bool clipped(const QString &object, const QString &text);

    EnvelopeFormat m_format;
    report::ReportPage m_page;
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_device;
};

// Calls `visit` with name, address and postal code of every recipient a
// run of this scope serves, in the run's order, without moving the cursor
// (the current scope: the current row as it stands, edits included).
using VisitRecipient = std::function<void(const QString &komu, const QString &kuda, const QString &index)>;
void forEachRunRecipient(const store::Cursor &recipients, runs::PrintScope scope, const VisitRecipient &visit);

// The envelopes a run will print, in order (each return envelope right
// after its envelope), read without moving the cursor.
QList<EnvelopeTexts> runEnvelopeTexts(const store::Cursor &recipients, const RunOptions &run,
                                      const EnvelopeTexts &sender);

// The check of an envelope run. With the return envelope, every recipient
// also goes into the sender's boxes and the sender into the recipient's.
PreflightReport preflightEnvelopes(const store::Cursor &recipients, const RunOptions &run,
                                   const EnvelopeFormat &format, const EnvelopeOptions &options,
                                   const EnvelopeTexts &sender);
// The check of a blank run: names and postal codes only.
PreflightReport preflightBlanks(const store::Cursor &recipients, runs::PrintScope scope);

class EnvelopePrinter;
// The check of the run about to start, from the settings row, the chosen
// format and the printer's font and logo: envelopes or blanks.
PreflightReport preflightRun(bool envelopes, const store::Cursor &recipients, const RunOptions &run,
                             EnvelopePrinter &printer);

// The findings as one more paragraph of the print summary (markup): the
// count and the first few names; empty when there is nothing to say.
// Braces in names are shown as parentheses, so that no name acts as markup.
QString preflightParagraph(const PreflightReport &report);

} // namespace envelope
