#pragma once

#include "report/page.h"

#include <QPainter>
#include <QPdfWriter>

class QIODevice;

namespace report {

// A PDF document of many report pages written one after another onto a
// device. One writer serves the whole document, so every font is embedded
// once, and each page goes to the device as soon as the next one starts:
// memory stays flat however many pages there are. Every page is painted as
// writeReportPagePdf() paints its single page.
class ReportPdfDocument
{
public:
    explicit ReportPdfDocument(QIODevice *device);
    ~ReportPdfDocument();
    ReportPdfDocument(const ReportPdfDocument &) = delete;
    ReportPdfDocument &operator=(const ReportPdfDocument &) = delete;

    // Appends the page as it stands now. Throws ReportError when the paper
    // size is unusable or the document cannot be started.
    void addPage(const ReportPage &page);
    int pageCount() const { return m_pages; }

    // Ends the document (fonts and cross references). A document without
    // pages writes nothing. Whether the device took every byte is the
    // device's to say (QSaveFile::commit, QFile::error).
    void finish();

private:
    QPdfWriter m_writer;
    QPainter m_painter;
    QSizeF m_paperMm;
    int m_pages = 0;
};

// For a program that writes documents of thousands of pages: the writer
// compresses every page with a fresh zlib state of about a quarter of a
// megabyte, and the C library hands that memory back to the system after
// each page, only to fault it in again for the next one (about a third of
// the time of a page). This keeps up to 16 MB of freed memory for reuse.
// Call once at the start of the program; does nothing off glibc.
void keepFreedMemoryForPdfPages();

} // namespace report
