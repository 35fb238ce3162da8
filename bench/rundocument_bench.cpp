// An envelope run over all recipients of a book of N, two ways in the same
// process: "document", the run as one multi-page PDF file (saveRunPdf: "В
// PDF", the command line, the one-job print run), and "per-envelope", every
// envelope as its own one-page PDF, as each job of the one-job-per-envelope
// run carries it. Figures: envelopes per second, wall and processor time
// per envelope (the steadier figure on a busy machine), resident memory
// before the run and at its peak. Options: --counts A,B,.. (default
// 1000,10000,100000); --per-envelope N, at most N envelopes of the slow path
// per size (default 10000; its time per envelope does not grow with N).
#include "envelope/envelopeprinter.h"
#include "envelope/rundocument.h"
#include "report/pdfdocument.h"
#include "report/renderer.h"
#include "store/tables.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

// Resident memory in MiB: now (VmRSS) or the peak since the last reset (VmHWM).
double memoryMiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void insertRow(store::Cursor &cursor, const QList<QPair<QString, QVariant>> &values)
{
    cursor.insert();
    for (const auto &v : values)
        cursor.setValue(v.first, v.second);
    cursor.post();
}

// The DL format with every box, the big postal code and a comment; a sender.
void fillSettings(store::Tables &t)
{
    QList<QPair<QString, QVariant>> format{{"NameKonvert", "DL 220x110"}, {"W", 220.0}, {"H", 110.0},
                                           {"LinesH", 6.0}, {"ZIPcodeL", 10.0}, {"ZIPcodeT", 88.0}};
    const double boxes[][4] = {{25, 6, 5, 80}, {25, 13, 14, 80}, {10, 32, 5, 22}, {120, 58, 5, 92},
                               {120, 65, 20, 92}, {120, 92, 5, 22}, {120, 38, 16, 53}};
    const char *names[] = {"Otkogo", "Otkuda", "Otindex", "Komu", "Kuda", "Index", "KonvertComment"};
    for (int b = 0; b < 7; ++b)
        for (int k = 0; k < 4; ++k)
            format << qMakePair(QString::fromLatin1(names[b]) + QLatin1Char("LTHW"[k]), QVariant(boxes[b][k]));
    insertRow(t.Table4, format);
    t.Table1.insert();
    const QList<QPair<QString, QVariant>> settings{
        {"N_Konvert", t.Table4.asInteger("N")}, {"TypKonv", 2}, {"PrintZIPcode", true},
        {"PrintKonvertComment", true}, {"KonvertComment", "ЗАКАЗНОЕ\r\n"}, {"OtKogo", "ООО «Отправитель»"},
        {"OtKuda", "г. Тверь, ул. Садовая, д. 5, оф. 12"}, {"OtIndex", "170000"}};
    for (const auto &v : settings)
        t.Table1.setValue(v.first, v.second);
}

// Recipients as books hold them: people with initials and firms, addresses
// of varying length, six-digit postal codes.
void fillRecipients(store::Cursor &recipients, int count)
{
    const QStringList names{"Иванов И. П.", "Смирнова А. В.", "ООО «Металлоторг»", "Кузнецов Д. С.",
                            "ГБУ «Городская поликлиника № 12»", "Попова Е. Н.", "АО «Уралпромснаб»"};
    const QStringList places{"г. Москва, ул. Тверская", "г. Санкт-Петербург, наб. реки Фонтанки",
                             "г. Казань, пр-т Победы", "Московская обл., г. Подольск, ул. Академика Королёва"};
    recipients.beginBatch();
    for (int i = 0; i < count; ++i)
        insertRow(recipients, {{"Komu", QStringLiteral("%1 %2").arg(names[i % 7]).arg(i)},
                               {"Kuda", QStringLiteral("%1, д. %2, кв. %3").arg(places[i % 4]).arg(1 + i % 180).arg(1 + i % 400)},
                               {"Index", QString::number(101000 + (i * 7919) % 899000)}});
    recipients.commitBatch();
}

struct Figures {
    int envelopes = 0;
    double seconds = 0, cpu = 0, rssBefore = 0, rssPeak = 0;
};

template <typename Run>
Figures measured(const char *name, int count, Run run)
{
    Figures f;
    f.rssBefore = memoryMiB("VmRSS:");
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));  // "5" resets the peak
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    f.envelopes = run();
    f.seconds = timer.nsecsElapsed() / 1e9;
    f.cpu = cpuSeconds() - cpu0;
    f.rssPeak = memoryMiB("VmHWM:");
    std::printf("%7d  %-12s %7d envelopes %7.1f envelopes/s  wall %6.3f ms/envelope  CPU %6.3f ms/envelope  "
                "RSS %5.1f MiB before, %5.1f MiB peak\n",
                count, name, f.envelopes, f.envelopes / f.seconds, 1000 * f.seconds / f.envelopes,
                1000 * f.cpu / f.envelopes, f.rssBefore, f.rssPeak);
    std::fflush(stdout);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    report::keepFreedMemoryForPdfPages();  // as the program does
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"counts", "book sizes", "A,B,..", "1000,10000,100000"});
    parser.addOption({"per-envelope", "envelopes of the per-envelope path at most", "N", "10000"});
    parser.process(app);
    const int limit = parser.value("per-envelope").toInt();
    QFontDatabase::addApplicationFont(QStringLiteral(KUVERTIX_PROGRAM_DIR "/Kuvertix ZIPcode.ttf"));

    for (const QString &countText : parser.value("counts").split(',')) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        store::createAllTables(dir.filePath(QStringLiteral("base")));
        store::Tables tables;
        tables.openAllIn(dir.filePath(QStringLiteral("base")));
        fillSettings(tables);
        fillRecipients(tables.Table2, count);
        envelope::EnvelopePrinter printer(tables);
        const envelope::EnvelopeRun run{tables.Table2, printer, envelope::senderOfSettingsRow(tables.Table1),
                                        {runs::PrintScope::All, false}};

        const QString pdf = dir.filePath(QStringLiteral("run.pdf"));
        const Figures document = measured("document", count, [&] { return envelope::saveRunPdf(run, pdf); });
        std::printf("         %.2f KiB of PDF per envelope\n", QFileInfo(pdf).size() / 1024.0 / document.envelopes);

        const Figures single = measured("per-envelope", count, [&] {
            int done = 0;
            try {
                envelope::runEnvelopes(run.recipients, run.sender, run.options, [&](const envelope::EnvelopeTexts &t) {
                    if (done == limit)
                        throw envelope::RunCancelled{};
                    printer.layOut(t);
                    QBuffer buffer;
                    buffer.open(QIODevice::WriteOnly);
                    report::writeReportPagePdf(printer.page(), &buffer);
                    ++done;
                });
            } catch (const envelope::RunCancelled &) {
            }
            return done;
        });
        std::printf("         document path %.1f times as fast, %.1f times less processor time per envelope\n",
                    (document.envelopes / document.seconds) / (single.envelopes / single.seconds),
                    (single.cpu / single.envelopes) / (document.cpu / document.envelopes));
    }
    return 0;
}
