// Store figures on a 100,000-recipient address book:
//   open AdrList.DB and walk every row; refresh with a filter on; post 1,000
//   rows one by one (each durable on return) and as one batch.
// Prints milliseconds per operation and the peak memory of the process.

#include "store/tables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char *const kSurnames[] = {"Иванов", "Смирнов", "Кузнецов", "Попов", "Васильев", "Петров",
                                 "Соколов", "Михайлов", "Новиков", "Фёдоров", "Морозов", "Волков",
                                 "Алексеев", "Лебедев", "Семёнов", "Егоров", "Павлов", "Козлов"};
const char *const kNames[] = {"Иван", "Пётр", "Анна", "Мария", "Сергей", "Ольга", "Алексей", "Елена"};
const char *const kStreets[] = {"ул. Ленина", "пр. Мира", "ул. Садовая", "ул. Гагарина", "Невский пр."};
const char *const kCities[] = {"г. Москва", "г. Санкт-Петербург", "г. Казань", "г. Тверь", "г. Омск"};

template <size_t N>
QString pick(const char *const (&list)[N], QRandomGenerator &rng)
{
    return QString::fromUtf8(list[rng.bounded(int(N))]);
}

void fillBook(store::Cursor &c, int rows)
{
    QRandomGenerator rng(42);
    c.beginBatch();
    for (int i = 0; i < rows; ++i) {
        c.insert();
        c.setValue("Komu", pick(kSurnames, rng) + ' ' + pick(kNames, rng) + QStringLiteral(" %1").arg(i));
        c.setValue("Kuda", pick(kCities, rng) + ", " + pick(kStreets, rng) + QStringLiteral(", д. %1, кв. %2")
                                                             .arg(rng.bounded(200)).arg(rng.bounded(400)));
        c.setValue("Index", QString::number(100000 + rng.bounded(800000)));
        c.setValue("Group", rng.bounded(3) == 0 ? QStringLiteral("Клиенты") : QStringLiteral("Партнёры"));
        c.setValue("Check", rng.bounded(10) == 0 ? -1 : 0);
        c.post();
    }
    c.commitBatch();
}

double msSince(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    store::createAllTables(dir.path());
    {
        store::Tables t;
        t.openAllIn(dir.path());
        QElapsedTimer fill;
        fill.start();
        fillBook(t.Table2, rows);
        std::printf("fill %d rows in one batch: %.0f ms\n", rows, msSince(fill));
    }

    store::Cursor book(store::adrListSchema(), "Table2");
    book.setIndexName("Komu_i");
    book.setDatabaseLocation(dir.path());
    QElapsedTimer timer;
    timer.start();
    book.open();
    std::printf("open %d rows (read, Russian order): %.0f ms\n", book.recordCount(), msSince(timer));

    timer.restart();
    qint64 chars = 0;
    const int komu = book.fieldIndex("Komu");
    for (book.first(); !book.eof(); book.next())
        chars += book.value(komu).toString().size();
    std::printf("walk every row: %.1f ms (%lld characters read)\n", msSince(timer), chars);

    book.setFilterHook([komu](const store::RecordView &r) { return r.text(komu).contains(QStringLiteral("Петров")); });
    book.setFiltered(true);
    timer.restart();
    book.refresh();
    std::printf("refresh with a filter (%d rows pass): %.0f ms\n", book.recordCount(), msSince(timer));
    timer.restart();
    book.refilter();
    std::printf("re-filter in memory: %.1f ms\n", msSince(timer));
    book.setFiltered(false);

    timer.restart();
    for (int i = 0; i < 1000; ++i) {
        book.insert();
        book.setValue("Komu", QStringLiteral("Новый адресат %1").arg(i));
        book.post();
    }
    const double single = msSince(timer);
    std::printf("post 1000 rows, each durable: %.0f ms (%.2f ms a row)\n", single, single / 1000);

    timer.restart();
    book.beginBatch();
    for (int i = 0; i < 1000; ++i) {
        book.insert();
        book.setValue("Komu", QStringLiteral("Пакетный адресат %1").arg(i));
        book.post();
    }
    book.commitBatch();
    std::printf("post 1000 rows in one batch: %.0f ms\n", msSince(timer));
    std::printf("peak memory: %ld MB\n", peakKb() / 1024);
    return 0;
}
