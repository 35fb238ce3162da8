#pragma once

#include "report/page.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

class QIODevice;
class QPainter;

// Paints a page onto the painter's device at that device's own resolution:
// page units are scaled by the device's dpi / 96. The painter's origin must be
// the top left corner of the paper (true for QPdfWriter, QPrinter with full
// page and QImage). The painter's state is restored afterwards.
void paintReportPage(const ReportPage &page, QPainter &painter);

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
