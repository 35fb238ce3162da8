// Timings of the address book on a generated book of 100,000 recipients:
// a keystroke in the recipient filter (both cursors filtered, marks
// recounted), the marked count, marking and unmarking all, a mark toggle;
// the keystroke also with the plain predicate that folds every field of
// every row at every call, for comparison. Prints the figures (processor
// time of the thread, in milliseconds).

#include "bench/generatedbook.h"
#include "addressbook/marks.h"
#include "addressbook/recipientbook.h"
#include "addressbook/recipientfilter.h"
#include "store/tables.h"

#include <QApplication>
#include "store/ui/dbcontrols.h"
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// Processor time of this thread: the machine the figures are taken on is
// shared, and wall time would count the other users' work.
double threadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double msOf(const std::function<void()> &work)
{
    const double start = threadMs();
    work();
    return threadMs() - start;
}

struct Figures {
    double worst = 0;
    double total = 0;
    int n = 0;
    void add(double ms) { worst = std::max(worst, ms); total += ms; ++n; }
    double mean() const { return n ? total / n : 0; }
};

const QStringList typing{"м", "ме", "мет", "мета", "метал", "металл", "металл|", "металл|о",
                         "металл|оа", "металл|оао", "металл|оа", "металл|о", "металл|",
                         "металл", "метал", "мета", "мет", "ме", "м", ""};

Figures typeFilter(addressbook::RecipientBook &book, const std::function<void()> &afterEach = {})
{
    Figures f;
    for (const QString &text : typing)
        f.add(msOf([&] {
            book.setFilterText(text);
            if (afterEach)
                afterEach();
        }));
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString base = dir.filePath("base");
    store::createAllTables(base);
    std::printf("generating %d recipients: %.0f ms\n", count,
                msOf([&] { bench::generateBook(QDir(base).filePath("AdrList.DB"), count); }));

    store::Tables tables;
    std::printf("opening the tables: %.0f ms\n", msOf([&] { tables.openAllIn(base); }));
    addressbook::RecipientBook book(tables.Table2, tables.Table2_);
    std::printf("re-reading the main cursor (by name): %.0f ms\n", msOf([&] { tables.Table2.refresh(); }));
    std::printf("re-reading the mark cursor (by mark): %.0f ms\n", msOf([&] { tables.Table2_.refresh(); }));
    std::printf("switching the mark cursor to the primary order and back: %.0f ms\n", msOf([&] {
        tables.Table2_.setIndexName(QString());
        tables.Table2_.setIndexName("Check_i");
    }));

    // The plain predicate, installed on both cursors as the reference.
    QString plainText;
    auto plainHook = [&plainText](const store::RecordView &r) {
        return addressbook::matchesPlainly(plainText, r);
    };
    tables.Table2.setFilterHook(plainHook);
    tables.Table2_.setFilterHook(plainHook);
    Figures plain;
    for (const QString &text : typing)
        plain.add(msOf([&] {
            plainText = text;
            tables.Table2.refilter();
            tables.Table2_.refilter();
            addressbook::countMarked(tables.Table2_);
        }));
    tables.Table2.setFilterHook(book.filter().hook(true));
    tables.Table2_.setFilterHook(book.filter().hook(false));

    {
        // Where a keystroke's time goes.
        book.setFilterText("ме");
        book.filter().setText("мет");
        const double main = msOf([&] { tables.Table2.refilter(); });
        const double marks = msOf([&] { tables.Table2_.refilter(); });
        const double count = msOf([&] { addressbook::countMarked(tables.Table2_); });
        tables.Table2.setFilterHook([](const store::RecordView &) { return true; });
        const double bare = msOf([&] { tables.Table2.refilter(); });
        tables.Table2.setFilterHook(book.filter().hook(true));
        std::printf("  parts: main cursor %.1f ms, mark cursor %.1f ms, count %.1f ms; "
                    "refilter with a hook that accepts all: %.1f ms\n", main, marks, count, bare);
    }
    const double firstFold = msOf([&] { book.setFilterText("м"); });
    book.setFilterText("");
    const Figures fast = typeFilter(book);

    // The same with the recipient grid on screen, repainted after each key.
    store::ui::DbGrid grid(&tables.Table2, {{"Komu", "Кому", 30, true}, {"Group", "Группа", 15, true}});
    grid.resize(384, 320);
    grid.show();
    QApplication::processEvents();
    const Figures withGrid = typeFilter(book, [&] {
        grid.viewport()->repaint();
        QApplication::processEvents();
    });
    const Figures scrolling = [&] {
        Figures f;
        for (int i = 0; i < 20; ++i)
            f.add(msOf([&] {
                tables.Table2.moveTo(i * 4000);
                grid.viewport()->repaint();
                QApplication::processEvents();
            }));
        return f;
    }();
    std::printf("keystroke in the filter (filter both cursors, recount): mean %.1f ms, worst %.1f ms "
                "(first keystroke, folding the book: %.1f ms)\n", fast.mean(), fast.worst, firstFold);
    std::printf("  with the grid repainted:                               mean %.1f ms, worst %.1f ms\n",
                withGrid.mean(), withGrid.worst);
    std::printf("  grid following a jump of the cursor:                   mean %.1f ms, worst %.1f ms\n",
                scrolling.mean(), scrolling.worst);
    std::printf("  plain predicate, same keystrokes:                      mean %.1f ms, worst %.1f ms\n",
                plain.mean(), plain.worst);

    Figures calc;
    for (int i = 0; i < 20; ++i)
        calc.add(msOf([&] { book.selectedCalc(); }));
    std::printf("SelectedCalc (%d marked): mean %.2f ms, worst %.2f ms\n", book.selectedCount(),
                calc.mean(), calc.worst);

    Figures toggle;
    for (int i = 0; i < 10; ++i) {
        tables.Table2.moveTo(i * 1000);
        toggle.add(msOf([&] { book.toggleMark(); }));
    }
    std::printf("toggle a mark (save, recount): mean %.1f ms, worst %.1f ms\n", toggle.mean(),
                toggle.worst);

    const double markAll = msOf([&] { book.setAllMarks(true); });
    std::printf("mark all (%d): %.0f ms\n", book.selectedCount(), markAll);
    Figures calcAll;
    for (int i = 0; i < 5; ++i)
        calcAll.add(msOf([&] { book.selectedCalc(); }));
    std::printf("SelectedCalc (%d marked): mean %.2f ms, worst %.2f ms\n", book.selectedCount(),
                calcAll.mean(), calcAll.worst);
    const double unmarkAll = msOf([&] { book.setAllMarks(false); });
    std::printf("unmark all (%d left): %.0f ms\n", book.selectedCount(), unmarkAll);

    {
        const double walk = msOf([&] { addressbook::writeAllMarks(tables.Table2_, -1); });
        const double reread = msOf([&] { tables.Table2.refresh(); });
        addressbook::writeAllMarks(tables.Table2_, 0);
        tables.Table2.refresh();
        std::printf("  parts of marking all: the walk writing 100000 rows %.0f ms, re-reading the "
                    "main cursor %.0f ms\n", walk, reread);
    }

    book.setFilterText("москва");
    const double markSome = msOf([&] { book.setAllMarks(true); });
    std::printf("mark all through the filter \"москва\" (%d): %.0f ms\n", book.selectedCount(),
                markSome);
    return 0;
}
