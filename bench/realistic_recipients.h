#pragma once
// Recipients as an address book holds them: people in the dative ("Кому"),
// with full names or initials, and organisations from a two-word company to
// a long official name of an institution, some with a department or person;
// addresses street first, town, district and region after, from a city flat
// to a village of a district. Names are cut to 100 characters and addresses
// to 150, as the table holds them. The same seed gives the same recipients.

#include <QString>
#include <QStringList>

#include <random>

namespace realistic {

struct Recipient {
    QString komu, kuda, index;
};

class Generator {
public:
    explicit Generator(unsigned seed = 14) : m_random(seed) {}

    Recipient next()
    {
        Recipient r;
        r.komu = cut(chance(0.55) ? person() : organisation(), 100);
        r.kuda = cut(address(), 150);
        r.index = QString::number(100000 + int(m_random() % 800000));
        return r;
    }

private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    const QString &pick(const QStringList &list) { return list[int(m_random() % list.size())]; }
    int number(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    static QString cut(const QString &s, int n) { return s.size() > n ? s.left(n).trimmed() : s; }

    QString person()
    {
        static const QStringList male = {
            "Иванову", "Смирнову", "Кузнецову", "Попову", "Васильеву", "Петрову", "Соколову",
            "Михайлову", "Новикову", "Фёдорову", "Морозову", "Волкову", "Алексееву", "Лебедеву",
            "Семёнову", "Егорову", "Павлову", "Козлову", "Степанову", "Николаеву", "Орлову",
            "Константинопольскому", "Преображенскому", "Малиновскому", "Рождественскому",
            "Тер-Петросяну", "Мамедову", "Ким", "Абдурахманову", "Воскресенскому"};
        static const QStringList maleFirst = {"Александру", "Сергею", "Дмитрию", "Андрею", "Алексею",
                                              "Максиму", "Евгению", "Владимиру", "Константину",
                                              "Вячеславу", "Ивану", "Олегу", "Станиславу", "Льву"};
        static const QStringList maleMiddle = {"Александровичу", "Сергеевичу", "Владимировичу",
                                               "Николаевичу", "Анатольевичу", "Ивановичу",
                                               "Вячеславовичу", "Константиновичу", "Петровичу"};
        static const QStringList female = {"Ивановой", "Смирновой", "Кузнецовой", "Поповой",
                                           "Васильевой", "Петровой", "Соколовой", "Новиковой",
                                           "Преображенской", "Рождественской", "Малиновской"};
        static const QStringList femaleFirst = {"Анне", "Марии", "Елене", "Ольге", "Наталье",
                                                "Екатерине", "Татьяне", "Светлане", "Александре"};
        static const QStringList femaleMiddle = {"Александровне", "Сергеевне", "Владимировне",
                                                 "Николаевне", "Вячеславовне", "Константиновне"};
        const bool man = chance(0.5);
        const QString surname = pick(man ? male : female);
        const QString first = pick(man ? maleFirst : femaleFirst);
        const QString middle = pick(man ? maleMiddle : femaleMiddle);
        if (chance(0.25))
            return surname + ' ' + first.left(1) + ". " + middle.left(1) + '.';
        return surname + ' ' + first + ' ' + middle;
    }

    QString organisation()
    {
        static const QStringList shortForms = {"ООО", "АО", "ПАО", "ЗАО", "ИП", "НКО", "ТСЖ"};
        static const QStringList words = {
            "Ромашка", "Северная звезда", "Техносервис", "Уральские заводы", "СтройИнвест",
            "Волжская торговая компания", "Агрохолдинг Кубань", "Медицинский центр Здоровье",
            "Транспортная логистика", "Сибирские энергетические системы", "Инфотех", "Вектор",
            "Балтийская судоходная компания", "Научно-производственное объединение Импульс",
            "Дальневосточное пароходство", "Юридическое бюро Правовед"};
        static const QStringList institutions = {
            "Государственное бюджетное учреждение здравоохранения \"Городская клиническая больница № %1\"",
            "Муниципальное бюджетное общеобразовательное учреждение \"Средняя общеобразовательная школа № %1\"",
            "Федеральное государственное бюджетное образовательное учреждение высшего образования "
            "\"Российский государственный университет\"",
            "Управление Федеральной налоговой службы по городу № %1",
            "Администрация муниципального района",
            "Отделение Фонда пенсионного и социального страхования Российской Федерации",
            "Арбитражный суд Московской области",
            "Министерство имущественных отношений области",
            "Территориальный отдел Управления Роспотребнадзора № %1"};
        static const QStringList departments = {", бухгалтерия", ", отдел кадров", ", канцелярия",
                                                ", приёмная директора", ", юридический отдел"};
        QString name;
        if (chance(0.2)) {
            name = pick(institutions);
            if (name.contains("%1"))
                name = name.arg(number(1, 240));
        } else {
            const QString form = pick(shortForms);
            name = form == "ИП" ? form + ' ' + person() : form + " \"" + pick(words) + '"';
        }
        if (chance(0.25))
            name += pick(departments);
        if (chance(0.15))
            name += ", " + person();
        return name;
    }

    QString address()
    {
        static const QStringList streetKinds = {"ул.", "ул.", "ул.", "пр-т", "пер.", "ш.", "наб.",
                                                "б-р", "пл.", "проезд"};
        static const QStringList streets = {
            "Ленина", "Советская", "Мира", "Садовая", "Центральная", "Молодёжная", "Школьная",
            "Лесная", "Набережная", "Профсоюзная", "Большая Грузинская", "Маршала Жукова",
            "Героев Панфиловцев", "Николая Островского", "Академика Королёва",
            "Краснопролетарская", "Верхняя Красносельская", "Пятницкая", "Ивана Франко",
            "Красноармейская", "Новослободская", "Заводская"};
        static const QStringList cities = {"г. Москва", "г. Санкт-Петербург", "г. Новосибирск",
                                           "г. Екатеринбург", "г. Казань", "г. Нижний Новгород",
                                           "г. Ростов-на-Дону", "г. Петропавловск-Камчатский",
                                           "г. Тверь", "г. Самара", "г. Краснодар", "г. Владивосток"};
        static const QStringList regions = {"Московская обл.", "Ленинградская обл.", "Свердловская обл.",
                                            "Новосибирская обл.", "Республика Татарстан",
                                            "Краснодарский край", "Ханты-Мансийский автономный округ - Югра",
                                            "Республика Саха (Якутия)", "Нижегородская обл."};
        static const QStringList places = {"с. Ивановка", "пос. Солнечный", "д. Малые Вязёмы",
                                           "пгт Красная Поляна", "с. Верхние Котлы",
                                           "рп Новоспасское", "г. Сергиев Посад"};
        static const QStringList districts = {"Петровский р-н", "Одинцовский р-н", "Пушкинский р-н",
                                              "Ногинский городской округ", "Красногорский р-н"};
        QString a = pick(streetKinds) + ' ' + pick(streets) + ", д. " + QString::number(number(1, 180));
        if (chance(0.3))
            a += (chance(0.5) ? ", корп. " : ", стр. ") + QString::number(number(1, 9));
        if (chance(0.2))
            a += "/" + QString::number(number(1, 40));
        if (chance(0.65))
            a += (chance(0.85) ? ", кв. " : ", оф. ") + QString::number(number(1, 450));
        if (chance(0.6)) {
            a += ", " + pick(cities);
            if (chance(0.3))
                a += ", " + pick(regions);
        } else {
            a += ", " + pick(places) + ", " + pick(districts) + ", " + pick(regions);
        }
        if (chance(0.05))
            a = "а/я " + QString::number(number(1, 999)) + ", " + a;
        return a;
    }

    std::mt19937 m_random;
};

} // namespace realistic
