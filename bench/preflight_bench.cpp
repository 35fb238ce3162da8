// The check before an envelope run over generated realistic recipients
// (see realistic_recipients.h), for every envelope format of a new
// installation's tables (built from the shipped seeds):
//   - the time of the whole check over the run's recipients;
//   - how many names and addresses the format cuts off at the default print
//     font (Arial, 11 points).
// Options: --count N recipients (default 10000).
#include "realistic_recipients.h"

#include "envelope/envelopeprinter.h"
#include "envelope/preflight.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/tables.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

// CPU time of this thread: the check's own cost, whatever else the machine runs.
double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A data folder as a new installation gets it.
void buildShippedTables(const QString &folder)
{
    QDir().mkpath(folder);
    const QDir seeds(QStringLiteral(KUVERTIX_SEED_DIR));
    for (const store::TableSchema *schema : store::allSchemas()) {
        const QString path = QDir(folder).filePath(schema->fileName);
        store::TableFile::create(path, *schema);
        QFile seed(seeds.filePath(schema->tableName + ".sql"));
        if (seed.open(QIODevice::ReadOnly))
            store::TableFile(path, *schema).exec(QString::fromUtf8(seed.readAll()));
    }
}

void addRecipients(store::Cursor &recipients, int count)
{
    realistic::Generator generator;
    int longNames = 0, longAddresses = 0, longestName = 0, longestAddress = 0;
    recipients.beginBatch();
    for (int i = 0; i < count; ++i) {
        const realistic::Recipient r = generator.next();
        longNames += r.komu.size() > 60 ? 1 : 0;
        longAddresses += r.kuda.size() > 100 ? 1 : 0;
        longestName = std::max(longestName, int(r.komu.size()));
        longestAddress = std::max(longestAddress, int(r.kuda.size()));
        recipients.insert();
        recipients.setValue(QStringLiteral("Komu"), r.komu);
        recipients.setValue(QStringLiteral("Kuda"), r.kuda);
        recipients.setValue(QStringLiteral("Index"), r.index);
        recipients.post();
    }
    recipients.commitBatch();
    std::printf("names over 60 characters: %d, longest %d; addresses over 100 characters: %d, longest %d\n",
                longNames, longestName, longAddresses, longestAddress);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"count", "recipients", "N", "10000"});
    parser.process(app);
    const int count = parser.value("count").toInt();

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("base"));
    buildShippedTables(folder);
    store::Tables tables;
    tables.openAllIn(folder);
    tables.Table1.edit();
    addRecipients(tables.Table2, count);
    envelope::EnvelopePrinter printer(tables);
    std::printf("check before an envelope run over all %d recipients, print font %s %d pt\n",
                tables.Table2.recordCount(), qPrintable(printer.printFont().family),
                printer.printFont().pointSize());

    const envelope::RunOptions run{runs::PrintScope::All, false};
    QList<int> formats;
    for (tables.Table4.first(); !tables.Table4.eof(); tables.Table4.next())
        formats << tables.Table4.asInteger(QStringLiteral("N"));
    for (const int n : formats) {
        tables.Table1.setValue(QStringLiteral("N_Konvert"), n);
        envelope::preflightRun(true, tables.Table2, run, printer);  // warm-up: fonts, caches
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = threadCpuSeconds();
        const envelope::PreflightReport report = envelope::preflightRun(true, tables.Table2, run, printer);
        const double cpu = threadCpuSeconds() - cpu0;
        const double seconds = timer.nsecsElapsed() / 1e9;
        int names = 0, addresses = 0, either = 0;
        for (const envelope::FlaggedRecipient &f : report.flagged) {
            names += (f.problems & envelope::NameClipped) ? 1 : 0;
            addresses += (f.problems & envelope::AddressClipped) ? 1 : 0;
            either += (f.problems & (envelope::NameClipped | envelope::AddressClipped)) ? 1 : 0;
        }
        // The longest texts the table holds: a name of 100 and an address of 150 characters.
        envelope::EnvelopeFitCheck fit(printer.chosenFormat(), printer.settingsRowOptions());
        const unsigned longest = fit.clipping(
            QStringLiteral("Федеральное государственное бюджетное образовательное учреждение высшего "
                           "образования \"Российский государственный университет\"").left(100),
            QStringLiteral("пр-т Маршала Жукова, д. 148, корп. 2, стр. 1, кв. 311, пос. Солнечный, "
                           "Ногинский городской округ, Ханты-Мансийский автономный округ - Югра, а/я 12").left(150));
        std::printf("%-14s longest texts: %s\n", qPrintable(tables.Table4.asString(QStringLiteral("NameKonvert"))),
                    longest == 0 ? "fit" : longest == envelope::NameClipped ? "name cut off"
                                   : longest == envelope::AddressClipped ? "address cut off" : "both cut off");
        const double all = report.recipients;
        std::printf("%-14s check %6.3f s (CPU %6.3f s)  cut off: names %5d (%5.2f %%)  addresses %5d (%5.2f %%)"
                    "  either %5d (%5.2f %%)%s%s\n",
                    qPrintable(tables.Table4.asString(QStringLiteral("NameKonvert"))), seconds, cpu, names,
                    100 * names / all, addresses, 100 * addresses / all, either, 100 * either / all,
                    report.runProblems.isEmpty() ? "" : "  run: ",
                    qPrintable(report.runProblems.join(QStringLiteral("; "))));
    }
    return 0;
}
