// An envelope run over all recipients of a book of N, two ways in the same
// process:
//   document      the run as one multi-page PDF file (saveRunPdf), as "В PDF",
//                 the command line and the one-job print run write it;
//   per-envelope  every envelope rendered as its own one-page PDF, as each
//                 job of the one-job-per-envelope print run carries it.
// For each: envelopes per second, wall and processor milliseconds per
// envelope (the processor time is the steadier figure on a busy machine),
// and resident memory before the run and at its peak. Options:
//   --counts A,B,..  book sizes (default 1000,10000,100000)
//   --per-envelope N at most N envelopes of the per-envelope path per size
//                    (default 10000; its time per envelope does not depend
//                    on the count)
#include "envelope/envelopeprinter.h"
#include "envelope/rundocument.h"
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
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void insertRow(store::Cursor &cursor, const QList<QPair<QString, QVariant>> &values)
{
    cursor.insert();
    for (const auto &v : values)
        cursor.setValue(v.first, v.second);
    cursor.post();
}

void fillSettings(store::Tables &t)
{
    QList<QPair<QString, QVariant>> format{{"NameKonvert", QStringLiteral("DL 220x110")}, {"W", 220.0},
                                           {"H", 110.0}, {"LinesH", 6.0}, {"ZIPcodeL", 10.0}, {"ZIPcodeT", 88.0}};
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
    t.Table1.setValue(QStringLiteral("PrintZIPcode"), true);
    t.Table1.setValue(QStringLiteral("PrintKonvertComment"), true);
    t.Table1.setValue(QStringLiteral("KonvertComment"), QStringLiteral("ЗАКАЗНОЕ\r\n"));
    t.Table1.setValue(QStringLiteral("OtKogo"), QStringLiteral("ООО «Отправитель»"));
    t.Table1.setValue(QStringLiteral("OtKuda"), QStringLiteral("г. Тверь, ул. Садовая, д. 5, оф. 12"));
    t.Table1.setValue(QStringLiteral("OtIndex"), QStringLiteral("170000"));
}

// Recipients as books hold them: surnames with initials or firms, streets of
// varying length, six-digit postal codes.
void fillRecipients(store::Cursor &recipients, int count)
{
    static const char *const surnames[] = {"Иванов", "Смирнова", "Кузнецов", "Попова", "Васильев",
                                           "Петрова", "Соколов", "Михайлова", "Новиков", "Фёдорова"};
    static const char *const firms[] = {"ООО «Металлоторг»", "АО «Северсталь-Сервис»", "ЗАО «Уралпромснаб»",
                                        "ИП Белкин А. В.", "ГБУ «Городская поликлиника № 12»"};
    static const char *const streets[] = {"ул. Тверская", "пр-т Мира", "ул. Большая Садовая",
                                          "наб. реки Фонтанки", "ул. Академика Королёва", "пер. Тихий"};
    static const char *const cities[] = {"г. Москва", "г. Санкт-Петербург", "г. Екатеринбург", "г. Казань",
                                         "Московская обл., г. Подольск"};
    recipients.beginBatch();
    for (int i = 0; i < count; ++i) {
        const QString name = i % 3 == 0 ? QString::fromUtf8(firms[i % 5])
                                        : QStringLiteral("%1 %2. %3.")
                                              .arg(QString::fromUtf8(surnames[i % 10]))
                                              .arg(QChar(0x410 + i % 31))
                                              .arg(QChar(0x410 + i / 31 % 31));
        insertRow(recipients, {{"Komu", QStringLiteral("%1 %2").arg(name).arg(i)},
                               {"Kuda", QStringLiteral("%1, %2, д. %3, кв. %4")
                                            .arg(QString::fromUtf8(cities[i % 5]), QString::fromUtf8(streets[i % 6]))
                                            .arg(1 + i % 180)
                                            .arg(1 + i % 400)},
                               {"Index", QString::number(101000 + (i * 7919) % 899000)}});
    }
    recipients.commitBatch();
}

struct Figures {
    int envelopes = 0;
    double seconds = 0;
    double cpu = 0;
    double rssBefore = 0;
    double rssPeak = 0;
};

void report(const char *name, int count, const Figures &f)
{
    std::printf("%7d  %-12s %7d envelopes  %7.1f envelopes/s  wall %6.3f ms/envelope  CPU %6.3f ms/envelope"
                "  RSS %5.1f MiB before, %5.1f MiB peak\n",
                count, name, f.envelopes, f.envelopes / f.seconds, 1000 * f.seconds / f.envelopes,
                1000 * f.cpu / f.envelopes, f.rssBefore, f.rssPeak);
    std::fflush(stdout);
}

template <typename Run>
Figures measured(Run run)
{
    Figures f;
    f.rssBefore = memoryMiB("VmRSS:");
    resetPeakMemory();
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    f.envelopes = run();
    f.seconds = timer.nsecsElapsed() / 1e9;
    f.cpu = cpuSeconds() - cpu0;
    f.rssPeak = memoryMiB("VmHWM:");
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"counts", "book sizes", "A,B,..", "1000,10000,100000"});
    parser.addOption({"per-envelope", "envelopes of the per-envelope path at most", "N", "10000"});
    parser.process(app);
    const int perEnvelopeLimit = parser.value("per-envelope").toInt();

    const QString zipFont = QStringLiteral(KUVERTIX_PROGRAM_DIR) + QStringLiteral("/Kuvertix ZIPcode.ttf");
    if (QFile::exists(zipFont))
        QFontDatabase::addApplicationFont(zipFont);

    for (const QString &countText : parser.value("counts").split(',')) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("base"));
        store::createAllTables(folder);
        store::Tables tables;
        tables.openAllIn(folder);
        fillSettings(tables);
        fillRecipients(tables.Table2, count);
        envelope::EnvelopePrinter printer(tables);
        printer.setOutput([](const ReportPage &) { return 0; });
        const envelope::EnvelopeTexts sender = envelope::senderOfSettingsRow(tables.Table1);
        const envelope::RunOptions all{addressbook::PrintScope::All, false};

        const QString pdf = dir.filePath(QStringLiteral("run.pdf"));
        const Figures document = measured([&] {
            return envelope::saveRunPdf({tables.Table2, printer, sender, all}, pdf);
        });
        report("document", count, document);
        std::printf("         %.2f KiB of PDF per envelope\n", QFileInfo(pdf).size() / 1024.0 / document.envelopes);
        QFile::remove(pdf);

        const Figures single = measured([&] {
            int done = 0;
            try {
                envelope::runEnvelopes(tables.Table2, sender, all, [&](const envelope::EnvelopeTexts &texts) {
                    if (done == perEnvelopeLimit)
                        throw envelope::RunCancelled{};
                    printer.layOut(texts);
                    QBuffer buffer;
                    buffer.open(QIODevice::WriteOnly);
                    writeReportPagePdf(printer.page(), &buffer);
                    ++done;
                });
            } catch (const envelope::RunCancelled &) {
            }
            return done;
        });
        report("per-envelope", count, single);
        std::printf("         document path %.1f times as fast (%.1f times less processor time)\n",
                    (document.envelopes / document.seconds) / (single.envelopes / single.seconds),
                    (single.cpu / single.envelopes) / (document.cpu / document.envelopes));
    }
    return 0;
}
