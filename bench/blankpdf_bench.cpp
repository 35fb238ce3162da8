// The blank run of 100 recipients with the four-notices-per-sheet sample
// (25 sheets), the same run two ways, each with its own office:
//   printer   every sheet exported and handed to the default printer, one
//             job a sheet (as "Печать бланков" does it);
//   one PDF   every sheet exported into a private folder and all joined
//             into one file (as "В PDF" does it).
// The runs alternate, --rounds times; prints each run's office start and
// time after the start, and the medians. Options:
//   --recipients N   recipients (default 100)
//   --rounds N       rounds of both runs (default 3)
#include "letters/blankoutput.h"
#include "bench/blankbook.h"
#include "letters/blankrun.h"
#include "letters/writersession.h"
#include "report/reporterror.h"
#include "store/tables.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString Blank = QStringLiteral("Уведомление 4 шт сторона1.doc");

struct Timing {
    double startMs = 0;  // the office start
    double runMs = 0;    // the run after the start
    int sheets = 0;
};

Timing timeRun(store::Tables &t, const QString &pdf)
{
    letters::WriterSession session(QStringLiteral(KUVERTIX_PROGRAM_DIR "/"), report::ReportPrinter());
    letters::BlankRun::Sources sources;
    sources.templateName = Blank;
    sources.sender = letters::blankSenderOf(t.Table1);
    sources.sum = 1234.5;
    letters::BlankRun run(session, sources);
    QElapsedTimer clock;
    clock.start();
    session.WordOpen(Blank);
    Timing timing;
    timing.startMs = double(session.office().startMilliseconds());
    letters::runBlankTo(session, run, t.Table2, runs::PrintScope::All, pdf);
    timing.runMs = double(clock.nsecsElapsed()) / 1e6 - timing.startMs;
    timing.sheets = run.sheetsPrinted();
    return timing;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    QCommandLineOption recipients(QStringLiteral("recipients"), QStringLiteral("recipients"), QStringLiteral("N"),
                                  QStringLiteral("100"));
    QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("rounds of both runs"), QStringLiteral("N"),
                              QStringLiteral("3"));
    parser.addOptions({recipients, rounds});
    parser.process(app);

    bench::BlankBook book(parser.value(recipients).toInt());
    store::Tables &tables = book.tables;
    const QString pdf = book.dir.filePath(QStringLiteral("бланки.pdf"));

    std::vector<double> printed, saved;
    try {
        for (int round = 0; round < parser.value(rounds).toInt(); ++round) {
            const Timing p = timeRun(tables, QString());
            std::printf("printer: %d sheets, start %.0f ms, run %.0f ms (%.1f ms a sheet)\n", p.sheets, p.startMs,
                        p.runMs, p.runMs / p.sheets);
            const Timing s = timeRun(tables, pdf);
            std::printf("one PDF: %d sheets, start %.0f ms, run %.0f ms (%.1f ms a sheet), file %lld bytes\n",
                        s.sheets, s.startMs, s.runMs, s.runMs / s.sheets, QFileInfo(pdf).size());
            printed.push_back(p.runMs);
            saved.push_back(s.runMs);
        }
    } catch (const core::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("median run after the start: printer %.0f ms, one PDF %.0f ms (PDF/printer %.2f)\n",
                median(printed), median(saved), median(saved) / median(printed));
    return 0;
}
