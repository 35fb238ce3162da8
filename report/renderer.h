#pragma once

#include "report/page.h"

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QIODevice;
class QPainter;
class QPaintDevice;

namespace report {

// Paints a page onto the painter's device at that device's own resolution:
// page units are scaled by the device's dpi / 96. The painter's origin must be
// the top left corner of the paper (true for QPdfWriter, QPrinter with full
// page and QImage). The painter's state is restored afterwards.
// Returns the names of the visible text objects whose text did not fit
// their box (a line lost below or above the box, or cut at its right edge),
// in painting order; what is painted does not depend on it.
QStringList paintReportPage(const ReportPage &page, QPainter &painter);

// Whether the text of the object would be clipped when painted on a device
// like `device` (its resolution and font hinting), without painting it. An
// empty text never is; a text in a box without width or height always is.
bool textIsClipped(const ReportText &object, const QPaintDevice &device);
// The names paintReportPage() would report, without painting.
QStringList clippedTexts(const ReportPage &page, const QPaintDevice &device);

// The page as an image at the given resolution (white paper). The image is
// round(width mm * dpi / 25.4) x round(height mm * dpi / 25.4) pixels.
// Throws ReportError when the paper size is unusable.
QImage renderReportPageToImage(const ReportPage &page, double dpi = 96.0);

// The page layout of the paper: exact custom size in millimetres, long side as
// the page has it, no margins.
QPageLayout reportPageLayout(const ReportPage &page);

// Writes the page as a one-page PDF (Qt's PDF writer, fonts embedded, text
// searchable). Throws ReportError when the paper size is unusable or the file
// cannot be written.
void writeReportPagePdf(const ReportPage &page, const QString &fileName);
void writeReportPagePdf(const ReportPage &page, QIODevice *device);

} // namespace report
