#pragma once
// Printing single envelopes: looks up the chosen format and offset, lays
// the envelope page out and hands it to the printer as one job.

#include "envelope/envelopelayout.h"
#include "report/page.h"

#include <QImage>
#include <functional>
#include <memory>

namespace store {
class Tables;
}

namespace envelope {

class EnvelopePrinter {
public:
    // Where a laid-out page goes; returns the spooler's job number (0 when
    // the page did not go to a spooler). The default submits it to the
    // system's default printer; failures are thrown as ReportError (no
    // printer, spooler down, job refused, unusable paper size) with a
    // Russian text naming the problem and the printer.
    using Output = std::function<int(const report::ReportPage &)>;

    explicit EnvelopePrinter(store::Tables &tables);
    ~EnvelopePrinter();

    void setOutput(Output output) { m_output = std::move(output); }
    static Output spoolerOutput();

    // Where a whole run goes as one job: a PDF file of many pages of the
    // given paper; returns the job number. The default submits the file to
    // the system's default printer and throws as the page output does.
    using DocumentOutput = std::function<int(const QString &pdfFile, const QSizeF &paperMm)>;
    void setDocumentOutput(DocumentOutput output) { m_documentOutput = std::move(output); }
    static DocumentOutput spoolerDocumentOutput();
    // Hands a run's document, whose pages have the paper of the envelope
    // laid out last, to the document output.
    void printDocument(const QString &pdfFile);

    // The print font of the address boxes and the logo shown in the preview.
    void setPrintFont(const PrintFont &font) { m_font = font; }
    const PrintFont &printFont() const { return m_font; }
    void setPreviewLogo(const QImage &logo) { m_logo = logo; }
    const QImage &previewLogo() const { return m_logo; }

    // One envelope for these texts with the format, offset and switches of
    // the settings row. Leaves the page holding this envelope, and the
    // format and offset cursors on the rows used.
    void PrintKonvert(const EnvelopeTexts &texts);
    // The format chosen in the settings row, looked up as PrintKonvert does
    // (the format cursor stays on it).
    EnvelopeFormat chosenFormat();
    // Lays the envelope out exactly as PrintKonvert but prints nothing.
    void layOut(const EnvelopeTexts &texts);

    // The envelope of the main tab: recipient and sender of the settings
    // row as they stand (edits not yet stored included).
    void printFromSettingsRow();
    // Job number of the last envelope or document handed to an output.
    int lastJob() const { return m_lastJob; }
    EnvelopeTexts settingsRowTexts() const;
    EnvelopeOptions settingsRowOptions() const;

    report::ReportPage &page() { return *m_page; }
    const report::ReportPage &page() const { return *m_page; }

private:
    store::Tables &m_tables;
    std::unique_ptr<report::ReportPage> m_page;
    PrintFont m_font;
    QImage m_logo;
    Output m_output;
    DocumentOutput m_documentOutput;
    int m_lastJob = 0;
};

} // namespace envelope
