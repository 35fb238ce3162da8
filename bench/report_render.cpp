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
#include <QPicture>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Layout and painting alone: the page painted into a recorded picture at
// printer resolution, without any PDF serialization.
void paintPages(ReportPage &page, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        QPicture picture;
        QPainter painter(&picture);
        paintReportPage(page, painter);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("laid out and painted %d envelopes (no PDF) in %.3f s: %.1f envelopes/s, %.3f ms each\n",
                count, seconds, count / seconds, seconds * 1000 / count);
}

void renderPages(ReportPage &page, int count, const QString &outDir)
{
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        if (outDir.isEmpty()) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            writeReportPagePdf(page, &buffer);
            bytes += buffer.size();
        } else {
            const QString file = QDir(outDir).filePath(QStringLiteral("envelope-%1.pdf").arg(n, 4, 10, QLatin1Char('0')));
            writeReportPagePdf(page, file);
            bytes += QFileInfo(file).size();
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("rendered %d envelopes to PDF in %.3f s: %.1f envelopes/s, %.3f ms each, %.1f KB per PDF\n",
                count, seconds, count / seconds, seconds * 1000 / count, bytes / 1024.0 / count);
}

void spoolPages(ReportPage &page, int count)
{
    const ReportPrinter printer;
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < count; ++n) {
        fillBenchEnvelope(page, n);
        printer.print(page, QStringLiteral("Kuvertix bench"));
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("submitted %d envelopes to %s in %.3f s: %.1f envelopes/s\n", count,
                qPrintable(printer.destination()), seconds, count / seconds);
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
        ReportPage page;
        buildBenchEnvelope(page, benchLogo());
        if (parser.isSet(QStringLiteral("png"))) {
            fillBenchEnvelope(page, 0);
            renderReportPageToImage(page, 96).save(parser.value(QStringLiteral("png")));
        }
        paintPages(page, parser.value(QStringLiteral("count")).toInt());
        renderPages(page, parser.value(QStringLiteral("count")).toInt(), parser.value(QStringLiteral("out")));
        const int spool = parser.value(QStringLiteral("spool")).toInt();
        if (spool > 0)
            spoolPages(page, spool);
    } catch (const ReportError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("peak memory (max RSS): %ld KB\n", peakMemoryKb());
    return 0;
}
