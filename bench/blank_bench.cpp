// The blank run over 100 recipients with the four-notices-per-sheet sample
// (25 sheets, 25 jobs on the default printer), timed two ways:
//   one office     the run as the program does it: one private office for
//                  the whole run, documents opened and closed per sheet;
//   office/sheet   a new office started and ended for every sheet.
// Prints the office start, the time per sheet after the start, and the
// ratio. Options:
//   --recipients N   recipients of the one-office run (default 100)
//   --slow-sheets N  sheets of the office-per-sheet run (default 10)
#include "bench/blankbook.h"
#include "letters/blankrun.h"
#include "letters/writersession.h"
#include "report/reporterror.h"
#include "store/tables.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

const QString Blank = QStringLiteral("Уведомление 4 шт сторона1.doc");

// Ends the office after every sheet, so that the next sheet starts a new one.
class OfficePerSheet : public letters::WordSession {
public:
    explicit OfficePerSheet(letters::WriterSession &inner) : m_inner(inner) {}
    void WordOpen(const QString &name) override { m_inner.WordOpen(name); }
    void WordReplace(const QString &t, const QString &r) override { m_inner.WordReplace(t, r); }
    bool WordContains(const QString &t) override { return m_inner.WordContains(t); }
    void WordCopyRow(const QString &m) override { m_inner.WordCopyRow(m); }
    void WordAddRow() override { m_inner.WordAddRow(); }
    void WordDeleteRow(const QString &m) override { m_inner.WordDeleteRow(m); }
    void WordFinish(bool print) override
    {
        m_inner.WordFinish(print);
        m_inner.end();
    }

private:
    letters::WriterSession &m_inner;
};

struct Timing {
    double startMs = 0;  // the first office start
    double totalMs = 0;  // the whole run, start included
    int sheets = 0;
};

Timing timeRun(store::Tables &t, bool officePerSheet, int sheetLimit)
{
    letters::WriterSession session(QStringLiteral(KUVERTIX_PROGRAM_DIR "/"), report::ReportPrinter());
    OfficePerSheet perSheet(session);
    letters::WordSession &word = officePerSheet ? static_cast<letters::WordSession &>(perSheet) : session;
    letters::BlankRun::Sources sources;
    sources.templateName = Blank;
    sources.sender = letters::blankSenderOf(t.Table1);
    letters::BlankRun run(word, sources);

    Timing timing;
    QElapsedTimer clock;
    clock.start();
    word.WordOpen(Blank);
    timing.startMs = double(session.office().startMilliseconds());
    run.prepare();
    int filled = 0;
    t.Table2.first();
    while (!t.Table2.eof() && filled < sheetLimit * 4) {
        run.FillBlank(t.Table2);
        ++filled;
        t.Table2.next();
    }
    run.finish();
    timing.totalMs = double(clock.nsecsElapsed()) / 1e6;
    timing.sheets = run.sheetsPrinted();
    return timing;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    QCommandLineOption recipients(QStringLiteral("recipients"), QStringLiteral("recipients"), QStringLiteral("N"),
                                  QStringLiteral("100"));
    QCommandLineOption slowSheets(QStringLiteral("slow-sheets"), QStringLiteral("sheets with an office each"),
                                  QStringLiteral("N"), QStringLiteral("10"));
    parser.addOptions({recipients, slowSheets});
    parser.process(app);

    bench::BlankBook book(parser.value(recipients).toInt());
    store::Tables &tables = book.tables;

    try {
        const Timing one = timeRun(tables, false, 1 << 20);
        const double perSheet = (one.totalMs - one.startMs) / one.sheets;
        std::printf("one office:   %d sheets, start %.0f ms, run %.0f ms, %.1f ms per sheet after the start\n",
                    one.sheets, one.startMs, one.totalMs, perSheet);
        const Timing slow = timeRun(tables, true, parser.value(slowSheets).toInt());
        const double slowPerSheet = slow.totalMs / slow.sheets;
        std::printf("office/sheet: %d sheets, run %.0f ms, %.1f ms per sheet\n", slow.sheets, slow.totalMs,
                    slowPerSheet);
        std::printf("one office is %.1f times faster per sheet\n", slowPerSheet / perSheet);
    } catch (const office::OfficeError &e) {
        std::fprintf(stderr, "office: %s\n", qPrintable(e.message()));
        return 1;
    } catch (const report::ReportError &e) {
        std::fprintf(stderr, "printing: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
