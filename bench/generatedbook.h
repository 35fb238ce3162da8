#pragma once
// A generated address book of any size, written straight into the table
// file in one transaction: names of people and firms, Russian addresses,
// postal codes, groups and notes; 2 % of the recipients marked.

#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace bench {

namespace book {

const char *const surnames[] = {
    "Иванов", "Петров", "Сидоров", "Кузнецов", "Смирнов", "Попов", "Васильев", "Соколов",
    "Михайлов", "Новиков", "Фёдоров", "Морозов", "Волков", "Алексеев", "Лебедев", "Семёнов",
    "Егоров", "Павлов", "Козлов", "Степанов", "Николаев", "Орлов", "Андреев", "Макаров"};
const char *const initials = "АБВГДЕЖЗИКЛМНОПРСТФЭЮЯ";
const char *const companies[] = {
    "Металлоторг", "Стройинвест", "Агропром", "Техснаб", "Энергосбыт", "Лесопромышленник",
    "Уралметалл", "Сибтранс", "Волгахим", "Светлячок", "Северсталь-Сервис", "Жилкомхоз"};
const char *const forms[] = {"ОАО", "ООО", "ЗАО", "ИП", "МУП", "ГУП"};
const char *const cities[] = {
    "Москва", "Санкт-Петербург", "Новосибирск", "Екатеринбург", "Казань", "Нижний Новгород",
    "Челябинск", "Самара", "Омск", "Ростов-на-Дону", "Уфа", "Красноярск", "Пермь", "Воронеж",
    "Волгоград", "Тверь", "Ярославль", "Иркутск", "Тюмень", "Хабаровск"};
const char *const streets[] = {
    "ул. Ленина", "ул. Советская", "пр. Мира", "ул. Гагарина", "ул. Пушкина", "ул. Лесная",
    "ул. Садовая", "наб. Реки Мойки", "ул. Заводская", "пер. Почтовый", "ш. Энтузиастов",
    "ул. Молодёжная", "б-р Победы", "ул. Кирова", "ул. Чехова"};
const char *const groups[] = {"Работа", "Клиенты", "Поставщики", "Родные", "Друзья", "Налоговая", ""};
const char *const notes[] = {"", "", "", "звонить до 17:00", "договор №", "постоянный клиент",
                             "счёт выставлен", "не рассылать", "VIP"};

template <typename T, size_t N>
QString pick(QRandomGenerator &rng, T (&array)[N])
{
    return QString::fromUtf8(array[rng.bounded(int(N))]);
}

inline QString initialLetter(QRandomGenerator &rng)
{
    const QString all = QString::fromUtf8(initials);
    return all.mid(rng.bounded(int(all.size())), 1);
}

// One recipient of the book: name, address, postal code, group, note, mark
// and the first reserve field, from the generator's next numbers.
struct Recipient {
    QStringList texts;  // Komu, Kuda, Index, Group, Prim
    int check = 0;
    QString reserv1;
};

inline Recipient recipient(QRandomGenerator &rng)
{
    QString komu;
    if (rng.bounded(3) == 0)
        komu = pick(rng, forms) + " \"" + pick(rng, companies) + "\"";
    else
        komu = pick(rng, surnames) + ' ' + initialLetter(rng) + ". " + initialLetter(rng) + '.';
    const QString kuda = QStringLiteral("г. %1, %2, д. %3, кв. %4")
                             .arg(pick(rng, cities), pick(rng, streets))
                             .arg(rng.bounded(1, 200)).arg(rng.bounded(1, 400));
    const QString index = QString::number(rng.bounded(100000, 700000));
    Recipient r;
    r.texts = QStringList{komu, kuda, index, pick(rng, groups), pick(rng, notes)};
    r.check = rng.bounded(50) == 0 ? -1 : 0;  // 2 % marked
    if (rng.bounded(4) == 0)
        r.reserv1 = QStringLiteral("ИНН 77");
    return r;
}

inline void fail(sqlite3 *db, const char *what)
{
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

} // namespace book

inline void generateBook(const QString &file, int count)
{
    using namespace book;
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        fail(db, "open");
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    const char *sql = "INSERT INTO AdrList (Komu, Kuda, \"Index\", \"Group\", Prim, \"Check\", "
                      "Reserv1, Reserv2, Reserv3, Reserv4, Reserv5, Reserv6) "
                      "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        fail(db, "prepare");
    QRandomGenerator rng(2026);
    for (int i = 0; i < count; ++i) {
        const Recipient r = recipient(rng);
        for (int k = 0; k < r.texts.size(); ++k) {
            const QByteArray utf8 = r.texts[k].toUtf8();
            sqlite3_bind_text(st, k + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_int(st, 6, r.check);
        for (int k = 7; k <= 12; ++k) {
            if (k == 7 && !r.reserv1.isEmpty())
                sqlite3_bind_text(st, k, "ИНН 77", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(st, k);
        }
        if (sqlite3_step(st) != SQLITE_DONE)
            fail(db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}


} // namespace bench
