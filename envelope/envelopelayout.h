#pragma once
// Placing one envelope on the envelope page: every text, box, caption, the
// logo, the big postal code and the comment, from a format, an offset and
// the print settings. No printing here.

#include "envelope/envelopeformat.h"
#include "envelope/printfont.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace report { class ReportPage; }

namespace envelope {

// The six texts every envelope is made of.
struct EnvelopeTexts {
    QString komu, kuda, index;        // recipient
    QString otKogo, otKuda, otIndex;  // sender
};

// The settings that shape an envelope apart from its format.
struct EnvelopeOptions {
    int typKonv = 2;          // 1: markup pre-printed; anything else: blank envelope
    bool printLogo = false;
    bool printZipCode = false;
    bool printComment = false;
    QString comment;          // lines separated by CR LF
    PrintFont font;           // of the four address boxes
    QImage logo;              // the preview's picture
};

// Lays the envelope out on a page built by buildEnvelopeTemplate(). Paper:
// custom W x H mm (unrounded). Boxes: left = round(L * 3.78 + dx), top =
// round(T * 3.78 + dy), height = round(H * 3.78), width = round(W * 3.78),
// halves to even; positions are not clamped to the paper.
void layOutEnvelope(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset,
                    const EnvelopeTexts &texts, const EnvelopeOptions &options);

// The caption of a page object as the formats tab names its box; empty for
// the captions printed beside the boxes and the background picture.
QString boxCaption(const QString &objectName);

// The names of the boxes of a laid-out envelope that would be printed and
// lie partly off the envelope (half a unit of rounding allowed).
QStringList boxesOffTheEnvelope(const report::ReportPage &page, const EnvelopeFormat &format);

} // namespace envelope
