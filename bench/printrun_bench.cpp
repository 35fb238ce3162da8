// The envelope print run over marked recipients, timed in three ways:
//   layout   the walk and the layout of every envelope, nothing printed;
//   pdf      the same run with every envelope rendered as a one-page PDF
//            (what each print job carries), no spooler;
//   spooler  the same run submitted to the default printer, one job each.
// For each: envelopes per second, wall time and the process's own CPU time
// per envelope; the share of wall time spent outside the program (waiting
// for the spooler) is wall minus CPU over wall. Options:
//   --count N   marked recipients (default 1000; as many unmarked are mixed in)
//   --spool N   envelopes of the spooler run (default: --count; 0 skips it)
//   --keep      keep the captured job files of the spooler run
#include "envelope/envelopeprinter.h"
#include "envelope/printrun.h"
#include "report/renderer.h"
#include "report/reporterror.h"
#include "store/tables.h"
#include "tests/support/printedjobs.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void insertRow(store::Cursor &cursor, const QList<QPair<QString, QVariant>> &values)
{
    cursor.insert();
    for (const auto &v : values)
        cursor.setValue(v.first, v.second);
    cursor.post();
}

void fillTables(store::Tables &t, int marked)
{
    QList<QPair<QString, QVariant>> format{{"NameKonvert", QStringLiteral("DL 220x110")}, {"W", 220.0},
                                           {"H", 110.0}, {"LinesH", 6.0}};
    const auto box = [&format](const char *f, double l, double tp, double h, double w) {
        const QString n = QString::fromLatin1(f);
        format << qMakePair(n + 'L', QVariant(l)) << qMakePair(n + 'T', QVariant(tp))
               << qMakePair(n + 'H', QVariant(h)) << qMakePair(n + 'W', QVariant(w));
    };
    box("Otkogo", 25, 6, 5, 80);
    box("Otkuda", 25, 13, 14, 80);
    box("Otindex", 10, 32, 5, 22);
    box("Komu", 120, 58, 5, 92);
    box("Kuda", 120, 65, 20, 92);
    box("Index", 120, 92, 5, 22);
    box("Logo", 108, 6, 18, 25);
    box("KonvertComment", 120, 38, 16, 53);
    insertRow(t.Table4, format);
    insertRow(t.Table5, {{"PrinterName", QStringLiteral("Офис")}, {"Dx", 1.5}, {"Dy", -1.0}});

    t.Table1.insert();
    t.Table1.setValue(QStringLiteral("N_Konvert"), t.Table4.asInteger(QStringLiteral("N")));
    t.Table1.setValue(QStringLiteral("Printer"), t.Table5.asInteger(QStringLiteral("N")));
    t.Table1.setValue(QStringLiteral("TypKonv"), 2);
    t.Table1.setValue(QStringLiteral("OtKogo"), QStringLiteral("ООО «Отправитель»"));
    t.Table1.setValue(QStringLiteral("OtKuda"), QStringLiteral("г. Тверь, ул. Садовая, д. 5, оф. 12"));
    t.Table1.setValue(QStringLiteral("OtIndex"), QStringLiteral("170000"));

    t.Table2.beginBatch();
    for (int i = 0; i < 2 * marked; ++i)
        insertRow(t.Table2, {{"Komu", QStringLiteral("Получатель номер %1").arg(i, 5, 10, QLatin1Char('0'))},
                             {"Kuda", QStringLiteral("г. Москва, ул. Тверская, д. %1, кв. %2").arg(i % 200).arg(i)},
                             {"Index", QString::number(101000 + i % 900)},
                             {"Check", i % 2 == 0 ? -1 : 0}});
    t.Table2.commitBatch();
}

struct Figures {
    int envelopes = 0;
    double wall = 0;
    double cpu = 0;
};

Figures timedRun(store::Tables &t, envelope::EnvelopePrinter &printer, int limit)
{
    Figures f;
    int printed = 0;
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    try {
        envelope::runEnvelopes(t.Table2, envelope::senderOfSettingsRow(t.Table1),
                               {runs::PrintScope::Marked, false}, [&](const envelope::EnvelopeTexts &e) {
                                   if (printed >= limit)
                                       return;
                                   printer.PrintKonvert(e);
                                   ++printed;
                               });
    } catch (const report::ReportError &e) {
        std::fprintf(stderr, "run stopped after %d envelopes: %s\n", printed, e.what());
    }
    f.wall = timer.nsecsElapsed() / 1e9;
    f.cpu = cpuSeconds() - cpu0;
    f.envelopes = printed;
    return f;
}

void printFigures(const char *name, const Figures &f)
{
    if (f.envelopes == 0) {
        std::printf("%-8s no envelopes\n", name);
        return;
    }
    const double outside = f.wall > 0 ? std::max(0.0, f.wall - f.cpu) / f.wall : 0;
    std::printf("%-8s %5d envelopes  %8.1f envelopes/s  wall %6.3f ms/envelope  own CPU %6.3f ms/envelope"
                "  outside the program %5.1f %%\n",
                name, f.envelopes, f.envelopes / f.wall, 1000 * f.wall / f.envelopes, 1000 * f.cpu / f.envelopes,
                100 * outside);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"count", "marked recipients", "N", "1000"});
    parser.addOption({"spool", "envelopes of the spooler run", "N", "-1"});
    parser.addOption({"keep", "keep the captured job files"});
    parser.process(app);
    const int count = parser.value("count").toInt();
    int spool = parser.value("spool").toInt();
    if (spool < 0)
        spool = count;

    const QString font = QStringLiteral(KUVERTIX_PROGRAM_DIR) + QStringLiteral("/Kuvertix ZIPcode.ttf");
    if (QFile::exists(font))
        QFontDatabase::addApplicationFont(font);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("base"));
    store::createAllTables(folder);
    store::Tables tables;
    tables.openAllIn(folder);
    fillTables(tables, count);
    envelope::EnvelopePrinter printer(tables);

    std::printf("run over %d marked recipients among %d\n", count, tables.Table2.recordCount());
    printer.setOutput([](const report::ReportPage &) { return 0; });
    timedRun(tables, printer, count);  // warm-up: fonts, caches
    printFigures("layout", timedRun(tables, printer, count));

    qint64 bytes = 0;
    printer.setOutput([&bytes](const report::ReportPage &page) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        report::writeReportPagePdf(page, &buffer);
        bytes += buffer.size();
        return 0;
    });
    const Figures pdf = timedRun(tables, printer, count);
    printFigures("pdf", pdf);
    if (pdf.envelopes)
        std::printf("         %.1f KiB of PDF per envelope\n", bytes / 1024.0 / pdf.envelopes);

    if (spool == 0)
        return 0;
    QList<int> jobs;
    const auto spooler = envelope::EnvelopePrinter::spoolerOutput();
    printer.setOutput([&](const report::ReportPage &page) {
        const int job = spooler(page);
        jobs << job;
        return job;
    });
    const QDateTime submitted = QDateTime::currentDateTime();
    const Figures spooled = timedRun(tables, printer, spool);
    printFigures("spooler", spooled);

    // How long the spooler takes to hand the last job to its backend, when
    // the capture queue stores them; then the stored files are removed.
    if (!jobs.isEmpty() && QFileInfo(printedjobs::captureDir()).isDir()) {
        const QString last = printedjobs::captureDir() + QStringLiteral("/job-%1.pdf").arg(jobs.last());
        QElapsedTimer drain;
        drain.start();
        while (!(QFileInfo::exists(last) && QFileInfo(last).lastModified() >= submitted.addSecs(-1))
               && drain.elapsed() < 600000)
            QThread::msleep(50);
        std::printf("         last job stored %.1f s after the run ended\n", drain.elapsed() / 1000.0);
        if (!parser.isSet("keep"))
            for (int job : jobs)
                QFile::remove(printedjobs::captureDir() + QStringLiteral("/job-%1.pdf").arg(job));
    }
    return 0;
}
