// One envelope after another through the program's own path: key lookups of
// format and offset, layout of the envelope page and rendering it as a
// one-page PDF, the way each printed envelope is made; then, optionally,
// envelopes submitted to the default printer. Prints envelopes per second
// and the peak memory. Options:
//   --count N   envelopes to lay out and render (default 1000)
//   --spool N   envelopes to submit to the spooler afterwards (default 0)
//   --no-logo   envelopes without the logo picture
#include "envelope/envelopeprinter.h"
#include "report/renderer.h"
#include "report/reporterror.h"
#include "store/tables.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

// Processor time of this process in ms: steadier than the wall clock on a
// machine shared with other work.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void insertRow(store::Cursor &cursor, const QList<QPair<QString, QVariant>> &values)
{
    cursor.insert();
    for (const auto &v : values)
        cursor.setValue(v.first, v.second);
    cursor.post();
}

// A DL format among a few others, an offset and the settings row in edit.
void fillTables(store::Tables &t)
{
    for (int i = 0; i < 6; ++i)
        insertRow(t.Table4, {{"NameKonvert", QStringLiteral("Формат %1").arg(i)}, {"W", 220.0 + i},
                             {"H", 110.0}, {"LinesH", 6.0}, {"OtkogoL", 25.0}, {"OtkogoT", 6.0},
                             {"OtkogoH", 5.0}, {"OtkogoW", 80.0}, {"OtkudaL", 25.0}, {"OtkudaT", 13.0},
                             {"OtkudaH", 14.0}, {"OtkudaW", 80.0}, {"OtindexL", 10.0}, {"OtindexT", 32.0},
                             {"OtindexH", 5.0}, {"OtindexW", 22.0}, {"KomuL", 120.0}, {"KomuT", 58.0},
                             {"KomuH", 5.0}, {"KomuW", 92.0}, {"KudaL", 120.0}, {"KudaT", 65.0},
                             {"KudaH", 20.0}, {"KudaW", 92.0}, {"IndexL", 120.0}, {"IndexT", 92.0},
                             {"IndexH", 5.0}, {"IndexW", 22.0}, {"LogoL", 108.0}, {"LogoT", 6.0},
                             {"LogoH", 18.0}, {"LogoW", 25.0}, {"ZIPcodeL", 10.0}, {"ZIPcodeT", 88.0},
                             {"KonvertCommentL", 120.0}, {"KonvertCommentT", 38.0},
                             {"KonvertCommentH", 16.0}, {"KonvertCommentW", 53.0}});
    const int format = t.Table4.asInteger(QStringLiteral("N"));
    insertRow(t.Table5, {{"PrinterName", QStringLiteral("Epson")}, {"Dx", 1.5}, {"Dy", -2.0}});
    const int offset = t.Table5.asInteger(QStringLiteral("N"));
    t.Table1.insert();
    t.Table1.setValue(QStringLiteral("N_Konvert"), format);
    t.Table1.setValue(QStringLiteral("Printer"), offset);
    t.Table1.setValue(QStringLiteral("TypKonv"), 2);
    t.Table1.setValue(QStringLiteral("PrintZIPcode"), true);
    t.Table1.setValue(QStringLiteral("PrintKonvertComment"), true);
    t.Table1.setValue(QStringLiteral("PrintLogo"), true);
    t.Table1.setValue(QStringLiteral("KonvertComment"), QStringLiteral("ЗАКАЗНОЕ\r\nС ПРОСТЫМ УВЕДОМЛЕНИЕМ\r\n"));
}

envelope::EnvelopeTexts textsOf(int n)
{
    return {QStringLiteral("Получателеву Получателю Получателевичу №%1").arg(n),
            QStringLiteral("%1, г. Москва, ул. Ленина, д. %2, кв. %3").arg(100000 + n).arg(n % 97).arg(n % 13),
            QString::number(100000 + n),
            QStringLiteral("ООО «Отправитель»"),
            QStringLiteral("190000, г. Санкт-Петербург, Невский пр., д. 1"),
            QStringLiteral("190000")};
}

QImage benchLogo()
{
    QImage logo(400, 300, QImage::Format_RGB32);
    logo.fill(QColor(30, 90, 160));
    return logo;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"count", "envelopes to render", "N", "1000"});
    parser.addOption({"spool", "envelopes to submit to the spooler", "N", "0"});
    parser.addOption({"no-logo", "envelopes without the logo picture"});
    parser.process(app);
    const int count = parser.value("count").toInt();
    const int spool = parser.value("spool").toInt();
    QFontDatabase::addApplicationFont(QStringLiteral(KUVERTIX_PROGRAM_DIR "/Kuvertix ZIPcode.ttf"));

    QTemporaryDir dir;
    store::createAllTables(dir.path());
    store::Tables tables;
    tables.openAllIn(dir.path());
    fillTables(tables);
    if (parser.isSet("no-logo"))
        tables.Table1.setValue(QStringLiteral("PrintLogo"), false);

    envelope::EnvelopePrinter printer(tables);
    printer.setPreviewLogo(benchLogo());
    qint64 pdfBytes = 0;
    printer.setOutput([&pdfBytes](const report::ReportPage &page) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        report::writeReportPagePdf(page, &buffer);
        pdfBytes += buffer.size();
        return 0;
    });
    printer.PrintKonvert(textsOf(0));  // fonts and caches warm

    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < count; ++n)
        printer.layOut(textsOf(n));
    const double layoutMs = timer.nsecsElapsed() / 1e6;

    const double cpuBefore = cpuMs();
    timer.start();
    for (int n = 0; n < count; ++n)
        printer.PrintKonvert(textsOf(n));
    const double totalMs = timer.nsecsElapsed() / 1e6;
    const double cpu = cpuMs() - cpuBefore;
    std::printf("%d envelopes laid out and rendered to PDF in %.0f ms: %.2f ms per envelope "
                "(%.0f envelopes/s), processor time %.2f ms per envelope; lookups and layout "
                "alone %.3f ms; PDF %.1f KB each\n",
                count, totalMs, totalMs / count, count * 1000.0 / totalMs, cpu / count,
                layoutMs / count, pdfBytes / 1024.0 / (count + 1));
    std::printf("peak memory after rendering: %ld KB\n", peakMemoryKb());

    if (spool > 0) {
        printer.setOutput(envelope::EnvelopePrinter::spoolerOutput());
        timer.start();
        try {
            for (int n = 0; n < spool; ++n)
                printer.PrintKonvert(textsOf(n));
        } catch (const report::ReportError &e) {
            std::printf("spooler refused: %s\n", qPrintable(e.message()));
            return 1;
        }
        const double spoolMs = timer.nsecsElapsed() / 1e6;
        std::printf("%d envelopes submitted to the spooler in %.0f ms: %.1f ms per envelope "
                    "(%.1f envelopes/s), last job %d\n",
                    spool, spoolMs, spoolMs / spool, spool * 1000.0 / spoolMs, printer.lastJob());
        std::printf("peak memory after spooling: %ld KB\n", peakMemoryKb());
    }
    return 0;
}
