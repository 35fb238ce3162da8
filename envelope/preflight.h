#pragma once
// The check before an envelope run: besides the checks every run makes
// (runs/preflight.h), a name or address that the envelope would cut off at
// the print font; for the run as a whole, the logo switched on without a
// picture, a box of the format lying off the envelope and a sender that does
// not fit. Nothing is changed or printed.

#include "envelope/envelopelayout.h"
#include "envelope/printrun.h"
#include "report/page.h"
#include "runs/preflight.h"

#include <QBuffer>
#include <QList>
#include <QStringList>

#include <memory>

class QPdfWriter;

namespace store {
class Cursor;
}

namespace envelope {

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

// The envelopes a run will print, in order (each return envelope right
// after its envelope), read without moving the cursor.
QList<EnvelopeTexts> runEnvelopeTexts(const store::Cursor &recipients, const RunOptions &run,
                                      const EnvelopeTexts &sender);

// The check of an envelope run. With the return envelope, every recipient
// also goes into the sender's boxes and the sender into the recipient's.
runs::PreflightReport preflightEnvelopes(const store::Cursor &recipients, const RunOptions &run,
                                         const EnvelopeFormat &format, const EnvelopeOptions &options,
                                         const EnvelopeTexts &sender);

class EnvelopePrinter;
// The check of the envelope run about to start, from the settings row, the
// chosen format and the printer's font and logo.
runs::PreflightReport preflightEnvelopeRun(const store::Cursor &recipients, const RunOptions &run,
                                           EnvelopePrinter &printer);

} // namespace envelope
