// Converting a Paradox address book of 100,000 recipients at open, beside
// reading the same file with pxlib alone (every record through
// PX_retrieve_record, the values freed, as a program using pxlib reads a
// table). Goal: the conversion under 3 s and under twice pxlib's own time.
//   paradox_bench [rows]

#include "tests/support/paradoxfixture.h"
#include "cputime.h"
#include "generatedbook.h"
#include "store/baseconversion.h"
#include "store/tables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

paradox::Table addressBook(int rows)
{
    QRandomGenerator rng(2026);
    QVector<paradox::Row> records;
    records.reserve(rows);
    const QStringList fields{"Komu", "Kuda", "Index", "Group", "Prim"};
    for (int i = 0; i < rows; ++i) {
        const bench::book::Recipient r = bench::book::recipient(rng);
        paradox::Row row{{"N", i + 1}, {"Check", r.check}};
        for (int k = 0; k < fields.size(); ++k)
            if (!r.texts[k].isEmpty())
                row[fields[k]] = r.texts[k];
        if (!r.reserv1.isEmpty())
            row["Reserv1"] = r.reserv1;
        records.push_back(row);
    }
    return paradox::tableOf(store::adrListSchema(), records);
}

double msSince(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

struct Figure {
    double wall = 0;
    double cpu = 0;
};

// Runs a piece of work and measures it.
template <typename Work>
Figure measure(Work &&work)
{
    QElapsedTimer t;
    t.start();
    const double cpu = cpuMs();
    work();
    return {msSince(t), cpuMs() - cpu};
}

// Every record of the file through pxlib's own record reader.
int readWithPxlib(const QString &path)
{
    pxdoc_t *px = PX_new();
    if (PX_open_file(px, QFile::encodeName(path).constData()) < 0)
        return -1;
    const int fields = PX_get_num_fields(px);
    int read = 0;
    for (int i = 0; i < PX_get_num_records(px); ++i) {
        pxval_t **values = PX_retrieve_record(px, i);
        if (!values)
            continue;
        ++read;
        for (int f = 0; f < fields; ++f) {
            if (!values[f]->isnull && values[f]->type == pxfAlpha)
                px->free(px, values[f]->value.str.val);
            px->free(px, values[f]);
        }
        px->free(px, values);
    }
    PX_close(px);
    PX_delete(px);
    return read;
}

// A data folder with the program's own tables and the Paradox address book.
QString freshFolder(QTemporaryDir &dir, const QString &bookFile, int run)
{
    const QString folder = dir.filePath(QStringLiteral("base%1").arg(run));
    store::createAllTables(folder);
    QFile::remove(QDir(folder).filePath("AdrList.DB"));
    QFile::copy(bookFile, QDir(folder).filePath("AdrList.DB"));
    return folder;
}

Figure median(QVector<Figure> v)
{
    std::sort(v.begin(), v.end(), [](const Figure &a, const Figure &b) { return a.wall < b.wall; });
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const Figure written = measure([&] { paradox::write(dir.path(), addressBook(rows)); });
    const QString book = dir.filePath("AdrList.DB");
    std::printf("Paradox AdrList.DB of %d rows written (%.1f MB) in %.0f ms\n", rows,
                QFileInfo(book).size() / 1048576.0, written.wall);

    QVector<Figure> pxlib, conversion;
    for (int run = 0; run < 3; ++run) {
        int read = 0;
        pxlib << measure([&] { read = readWithPxlib(book); });
        if (read != rows)
            std::printf("pxlib read %d of %d records\n", read, rows);
        const QString folder = freshFolder(dir, book, run);
        store::ConversionReport report;
        conversion << measure([&] { report = store::BaseConversion(folder).run(); });
        if (report.tables.size() != 1 || report.tables.first().rows != rows)
            std::printf("the conversion did not bring over %d rows\n", rows);
    }
    const Figure px = median(pxlib), conv = median(conversion);
    std::printf("pxlib alone (PX_retrieve_record, every record): %6.0f ms, processor %6.0f ms (median of 3)\n",
                px.wall, px.cpu);
    std::printf("conversion into the program's table file:       %6.0f ms, processor %6.0f ms (median of 3)\n",
                conv.wall, conv.cpu);
    std::printf("conversion / pxlib: %.2f (wall), %.2f (processor)\n", conv.wall / px.wall, conv.cpu / px.cpu);
    std::printf("goal: under 3000 ms and under 2 x pxlib: %s\n",
                conv.wall < 3000 && conv.wall < 2 * px.wall ? "met" : "NOT met");
    return 0;
}
