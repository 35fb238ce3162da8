#pragma once
// A data folder with the six tables as the running program holds them: the
// settings row in edit state with a sender, one envelope format, one print
// offset, and recipients added through the main recipient cursor.

#include "store/tables.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

namespace printruntest {

using Values = QMap<QString, QVariant>;

// A DL envelope (220 x 110 mm) with the sender at the top left and the
// recipient at the lower right, as the shipped format has them.
inline Values dlFormat(const QString &name = QStringLiteral("DL 220x110"))
{
    Values v{{"NameKonvert", name}, {"H", 110}, {"W", 220}, {"LinesH", 6}};
    const auto box = [&v](const char *field, double l, double t, double h, double w) {
        const QString f = QString::fromLatin1(field);
        v[f + 'L'] = l;
        v[f + 'T'] = t;
        v[f + 'H'] = h;
        v[f + 'W'] = w;
    };
    box("Otkogo", 25, 6, 5, 80);
    box("Otkuda", 25, 13, 14, 80);
    box("Otindex", 10, 32, 5, 22);
    box("Komu", 120, 58, 5, 92);
    box("Kuda", 120, 65, 20, 92);
    box("Index", 120, 92, 5, 22);
    box("Logo", 108, 6, 18, 25);
    box("KonvertComment", 120, 38, 16, 53);
    v["ZIPcodeL"] = 10;
    v["ZIPcodeT"] = 88;
    return v;
}

class Data {
public:
    Data()
    {
        folder = dir.filePath(QStringLiteral("base"));
        store::createAllTables(folder);
        tables.openAllIn(folder);
    }

    static void insert(store::Cursor &cursor, const Values &values)
    {
        cursor.insert();
        for (auto it = values.begin(); it != values.end(); ++it)
            cursor.setValue(it.key(), it.value());
        cursor.post();
    }
    int addFormat(const Values &values)
    {
        insert(tables.Table4, values);
        return tables.Table4.asInteger(QStringLiteral("N"));
    }
    int addOffset(const QString &name, double dx, double dy)
    {
        insert(tables.Table5, {{"PrinterName", name}, {"Dx", dx}, {"Dy", dy}});
        return tables.Table5.asInteger(QStringLiteral("N"));
    }
    // The settings row in edit state, as the program keeps it while it runs.
    void settings(const Values &values)
    {
        store::Cursor &s = tables.Table1;
        if (s.recordCount() == 0)
            s.insert();
        else
            s.edit();
        for (auto it = values.begin(); it != values.end(); ++it)
            s.setValue(it.key(), it.value());
    }
    void addRecipient(const QString &komu, const QString &kuda, const QString &index, bool marked = false,
                      const QString &prim = QString())
    {
        insert(tables.Table2, {{"Komu", komu}, {"Kuda", kuda}, {"Index", index}, {"Prim", prim},
                               {"Check", marked ? -1 : 0}});
    }
    // A format and a sender, TypKonv 1 (no captions on the page).
    void standardSetup()
    {
        const int format = addFormat(dlFormat());
        settings({{"N_Konvert", format}, {"Printer", 0}, {"TypKonv", 1},
                  {"OtKogo", QStringLiteral("Отправителев")},
                  {"OtKuda", QStringLiteral("Тверь, Садовая 5")},
                  {"OtIndex", QStringLiteral("170000")}});
    }
    QString programFolder() const { return dir.path() + QLatin1Char('/'); }

    QTemporaryDir dir;
    QString folder;
    store::Tables tables;
};

} // namespace printruntest
