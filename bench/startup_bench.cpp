// Start-up with a large address book, each figure beside SQLite alone doing
// the same work on the same file in the same run:
//   - start of the program to its shown main window, and resident memory
//     then, for books of the given sizes (default 0, 100,000, 1,000,000):
//     a child process builds the main window over a program folder whose
//     address book is generated; beside it, SQLite alone reads every row;
//   - mark all and unmark all, beside one SQL UPDATE of the same rows;
//   - a keystroke in the filter (mean and worst of a typed word after its
//     first letter, and the first letter, which folds the whole book), beside
//     one SQL scan matching the term in the eleven searched fields;
//   - another copy of the program stores one recipient and this one follows
//     (both recipient cursors take the rows again, filter on), beside this
//     process's own first read of the tables; and the checks an edit makes
//     against another copy's writes: at its start, and inside the write.
// Times are wall clock (ms); "cpu" is the processor time of the work.
//
//   startup_bench [SIZE ...]
//   startup_bench --child PROGRAM_FOLDER   (used by the benchmark itself)

#include "bench/cputime.h"
#include "bench/generatedbook.h"
#include "addressbook/marks.h"
#include "addressbook/recipientbook.h"
#include "app/ui/mainwindow.h"
#include "store/database.h"
#include "store/tableregistry.h"
#include "store/tables.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>

namespace {

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing timed(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    const double c = cpuMs();
    work();
    return {t.nsecsElapsed() / 1e6, cpuMs() - c};
}

long statusKb(const char *key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

// The child: what the program does from its start to the shown window.
int runChild(int argc, char **argv, const QString &programFolder)
{
    QApplication application(argc, argv);
    QDir::setCurrent(programFolder);
    app::TForm1 window(programFolder + '/');
    window.FormCreate();
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QApplication::processEvents();
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("shown %ld %ld %.0f\n", statusKb("VmRSS:"), statusKb("VmHWM:"),
                u.ru_utime.tv_sec * 1e3 + u.ru_utime.tv_usec / 1e3 + u.ru_stime.tv_sec * 1e3
                    + u.ru_stime.tv_usec / 1e3);
    std::fflush(stdout);
    return 0;
}

// A program folder beside the built one: its files, the shipped tables,
// and a generated address book.
void makeProgramFolder(const QString &folder, int recipients)
{
    const QDir shipped(QStringLiteral(KUVERTIX_PROGRAM_DIR));
    QDir(folder).mkpath("base");
    for (const QFileInfo &f : shipped.entryInfoList(QDir::Files))
        QFile::link(f.absoluteFilePath(), QDir(folder).filePath(f.fileName()));
    for (const QFileInfo &f : QDir(shipped.filePath("base")).entryInfoList(QDir::Files))
        if (f.fileName() != QLatin1String("AdrList.DB"))
            QFile::copy(f.absoluteFilePath(), QDir(folder).filePath("base/" + f.fileName()));
    const QString book = QDir(folder).filePath("base/AdrList.DB");
    store::TableFile::create(book, store::adrListSchema());
    bench::generateBook(book, recipients);
}

struct Shown {
    Timing start;
    long rssKb = 0;
    long peakKb = 0;
};

Shown startProgram(const QString &self, const QString &folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    Shown s;
    QElapsedTimer t;
    t.start();
    child.start(self, {"--child", folder});
    QByteArray line;
    while (!line.startsWith("shown") && child.waitForReadyRead(60000))
        while (child.canReadLine() && !line.startsWith("shown"))
            line = child.readLine();
    s.start.wall = t.nsecsElapsed() / 1e6;
    const QList<QByteArray> parts = line.trimmed().split(' ');
    if (parts.size() == 4) {
        s.rssKb = parts[1].toLong();
        s.peakKb = parts[2].toLong();
        s.start.cpu = parts[3].toDouble();
    } else {
        std::fprintf(stderr, "the program did not show its window: %s\n",
                     child.readAllStandardError().constData());
    }
    child.waitForFinished();
    return s;
}

sqlite3 *openFile(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

// SQLite alone: every column of every row, texts taken as UTF-8.
Timing sqliteReadAll(const QString &path)
{
    return timed([&] {
        sqlite3 *db = openFile(path);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid, * FROM AdrList ORDER BY rowid", -1, &st, nullptr);
        qint64 bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                sqlite3_column_text(st, i);
                bytes += sqlite3_column_bytes(st, i);
            }
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (bytes < 0)
            std::printf("?");
    });
}

Timing sqliteExec(const QString &path, const char *sql)
{
    sqlite3 *db = openFile(path);
    const Timing t = timed([&] {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
    });
    sqlite3_close(db);
    return t;
}

const QStringList typing{"м", "ме", "мет", "мета", "метал", "металл", "металл|", "металл|о",
                         "металл|оа", "металл|оао", "металл|оа", "металл|о", "металл|",
                         "металл", "метал", "мета", "мет", "ме", "м", ""};

void printPair(const char *what, const Timing &ours, const Timing &sqlite)
{
    std::printf("  %-34s %8.0f ms (cpu %6.0f)   SQLite alone %8.0f ms (cpu %6.0f)\n", what, ours.wall,
                ours.cpu, sqlite.wall, sqlite.cpu);
}

// Another copy stores one recipient (a connection of its own); this copy
// follows it as the window's timer does, with the filter of a typed word on.
void measureFollowing(store::Tables &tables, addressbook::RecipientBook &marks, const QString &book,
                      const Timing &opened)
{
    marks.setFilterText(QStringLiteral("мет"));
    tables.Table2.moveTo(tables.Table2.recordCount() / 2);
    const qint64 current = tables.Table2.currentRowId();
    Timing follow;
    const int rounds = 5;
    for (int i = 0; i < rounds; ++i) {
        const QByteArray sql = QStringLiteral("UPDATE AdrList SET \"Index\" = '%1' WHERE rowid = 1").arg(100000 + i).toUtf8();
        sqliteExec(book, sql.constData());
        const Timing t = timed([&] {
            if (tables.followFiles())
                marks.selectedCalc();
        });
        follow.wall += t.wall / rounds;
        follow.cpu += t.cpu / rounds;
    }
    std::printf("  another copy's write followed      %8.0f ms (cpu %6.0f)   first read of the tables %5.0f ms (cpu %4.0f)%s\n",
                follow.wall, follow.cpu, opened.wall, opened.cpu,
                tables.Table2.currentRowId() == current ? "" : "  THE CURRENT ROW MOVED");

    // The check at the start of an edit: has another copy written?
    const int edits = 1000;
    const Timing start = timed([&] {
        for (int i = 0; i < edits; ++i) {
            tables.Table2.edit();
            tables.Table2.cancel();
        }
    });
    // The check inside the write: the row as stored now, read in the
    // write's transaction (the write itself, with its flush to disk, is not
    // counted).
    const auto table = store::TableRegistry::share(book, store::adrListSchema());
    const Timing inWrite = timed([&] {
        for (int i = 0; i < edits; ++i)
            table->file.readPacked([](qint64, QByteArray &&) {}, current);
    });
    std::printf("  check at the start of an edit      %8.3f ms (cpu %6.3f)\n", start.wall / edits, start.cpu / edits);
    std::printf("  check inside the write             %8.3f ms (cpu %6.3f)\n", inWrite.wall / edits,
                inWrite.cpu / edits);
}

void measure(const QString &self, int recipients)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("Kuvertix");
    makeProgramFolder(folder, recipients);
    const QString book = QDir(folder).filePath("base/AdrList.DB");
    std::printf("%d recipients (%lld MB file)\n", recipients, QFileInfo(book).size() >> 20);

    startProgram(self, folder);  // warms the file cache and the libraries
    const Shown shown = startProgram(self, folder);
    const Timing read = sqliteReadAll(book);
    printPair("start to the shown window", shown.start, read);
    std::printf("  resident at the shown window       %8ld MB (peak %ld MB)\n", shown.rssKb >> 10,
                shown.peakKb >> 10);
    if (recipients == 0)
        return;

    store::Tables tables;
    const Timing opened = timed([&] { tables.openAllIn(QDir(folder).filePath("base")); });
    addressbook::RecipientBook marks(tables.Table2, tables.Table2_);
    marks.selectedCalc();
    const Timing markAll = timed([&] { marks.setAllMarks(true); });
    const Timing unmarkAll = timed([&] { marks.setAllMarks(false); });
    const QString copy = dir.filePath("copy.DB");
    QFile::copy(book, copy);
    printPair("mark all", markAll, sqliteExec(copy, "UPDATE AdrList SET \"Check\" = -1 WHERE \"Check\" IS NOT -1"));
    printPair("unmark all", unmarkAll, sqliteExec(copy, "UPDATE AdrList SET \"Check\" = 0 WHERE \"Check\" IS NOT 0"));

    // The first keystroke folds the texts of the whole book; the others
    // search the folded copies.
    Timing first, rest, worst;
    for (int i = 0; i < typing.size(); ++i) {
        const Timing t = timed([&] { marks.setFilterText(typing[i]); });
        Timing &sum = i == 0 ? first : rest;
        sum.wall += t.wall;
        sum.cpu += t.cpu;
        if (i > 0) {
            worst.wall = std::max(worst.wall, t.wall);
            worst.cpu = std::max(worst.cpu, t.cpu);
        }
    }
    QStringList fields;
    for (const QString &f : addressbook::searchedFieldNames())
        fields << QStringLiteral("\"%1\" LIKE '%мет%'").arg(f);
    const QByteArray scan = QStringLiteral("SELECT count(*) FROM AdrList WHERE %1").arg(fields.join(" OR ")).toUtf8();
    const Timing sqlScan = sqliteExec(copy, scan.constData());
    const int others = int(typing.size()) - 1;
    std::printf("  keystroke in the filter, mean      %8.1f ms (cpu %6.1f)   SQLite alone, one scan %5.0f ms (cpu %4.0f)\n",
                rest.wall / others, rest.cpu / others, sqlScan.wall, sqlScan.cpu);
    std::printf("  keystroke in the filter, worst     %8.1f ms (cpu %6.1f)\n", worst.wall, worst.cpu);
    std::printf("  first keystroke (folds the book)   %8.1f ms (cpu %6.1f)\n", first.wall, first.cpu);
    measureFollowing(tables, marks, book, opened);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {0, 100000, 1000000};
    for (int n : sizes)
        measure(QCoreApplication::applicationFilePath(), n);
    return 0;
}
