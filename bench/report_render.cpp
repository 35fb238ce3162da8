// Lays out and renders envelope-like pages, each as its own one-page PDF (as
// every printed envelope is), and prints envelopes per second and the peak
// memory. Options:
//   --count N       pages to render (default 1000)
//   --out DIR       also write every PDF into DIR (default: in memory only)
//   --png FILE      write the first page as a 96 dpi PNG for a look at it
//   --spool N       then submit N pages to the default printer and time that
#include "report_envelope_page.h"

#include "report/printer.h"
#include "report/renderer.h"
#include "report/reporterror.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The same PDF pages, timed in two parts: laying out and painting the page
// (the engine's own work) and QPainter::end, where Qt's PDF writer embeds
// the font subsets and compresses the page.
void timePaintAndSerialize(report::ReportPage &page, int count)
{
    QElapsedTimer timer;
    qint64 paintNs = 0, finishNs = 0;
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(report::reportPageLayout(page));
        timer.start();
        QPainter painter(&writer);
        report::paintReportPage(page, painter);
        paintNs += timer.nsecsElapsed();
        timer.start();
        painter.end();
        finishNs += timer.nsecsElapsed();
    }
    std::printf("per envelope: layout and painting %.3f ms, PDF serialization (fonts, compression) %.3f ms\n",
                paintNs / 1e6 / count, finishNs / 1e6 / count);
}

void renderPages(report::ReportPage &page, int count, const QString &outDir)
{
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        if (outDir.isEmpty()) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            report::writeReportPagePdf(page, &buffer);
            bytes += buffer.size();
        } else {
            const QString file = QDir(outDir).filePath(QStringLiteral("envelope-%1.pdf").arg(n, 4, 10, QLatin1Char('0')));
            report::writeReportPagePdf(page, file);
            bytes += QFileInfo(file).size();
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("rendered %d envelopes to PDF in %.3f s: %.1f envelopes/s, %.3f ms each, %.1f KB per PDF\n",
                count, seconds, count / seconds, seconds * 1000 / count, bytes / 1024.0 / count);
}

void spoolPages(report::ReportPage &page, int count)
{
    const report::ReportPrinter printer;
    QElapsedTimer timer;
    timer.start();
    int first = 0, last = 0;
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        last = printer.print(page, QStringLiteral("Kuvertix bench"));
        if (n == 0)
            first = last;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("submitted %d envelopes to %s in %.3f s: %.1f envelopes/s (jobs %d to %d)\n", count,
                qPrintable(printer.destination()), seconds, count / seconds, first, last);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("count"), QStringLiteral("pages"), QStringLiteral("n"), QStringLiteral("1000")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("folder for the PDFs"), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("png"), QStringLiteral("sample PNG"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("spool"), QStringLiteral("pages to spool"), QStringLiteral("n"), QStringLiteral("0")});
    parser.process(app);

    const QString font = QStringLiteral(KUVERTIX_PROGRAM_DIR "/Kuvertix ZIPcode.ttf");
    if (QFontDatabase::addApplicationFont(font) < 0)
        std::fprintf(stderr, "warning: %s not loaded\n", qPrintable(font));

    try {
        report::ReportPage page;
        buildBenchEnvelope(page, benchLogo());
        if (parser.isSet(QStringLiteral("png"))) {
            fillBenchEnvelope(page, 0);
            report::renderReportPageToImage(page, 96).save(parser.value(QStringLiteral("png")));
        }
        timePaintAndSerialize(page, parser.value(QStringLiteral("count")).toInt());
        renderPages(page, parser.value(QStringLiteral("count")).toInt(), parser.value(QStringLiteral("out")));
        const int spool = parser.value(QStringLiteral("spool")).toInt();
        if (spool > 0)
            spoolPages(page, spool);
    } catch (const report::ReportError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("peak memory (max RSS): %ld KB\n", peakMemoryKb());
    return 0;
}
