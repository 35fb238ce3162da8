#pragma once
// A fresh data folder with the six empty tables, opened as the main window
// opens them.

#include "store/tables.h"

#include <QTemporaryDir>
#include <QTest>

struct Recipient {
    Recipient(const QString &komu, const QString &kuda = {}, const QString &prim = {},
              const QVariant &check = 0)
        : komu(komu), kuda(kuda), prim(prim), check(check) {}
    QString komu;
    QString kuda;
    QString prim;
    QVariant check = 0;
    QString group;
    QString index;
    QString reserv6;
};

class TestBook {
public:
    TestBook()
    {
        QVERIFY(dir.isValid());
        store::createAllTables(folder());
        tables.openAllIn(folder());
    }
    QString folder() const { return dir.filePath(QStringLiteral("base")); }

    void add(const Recipient &r)
    {
        store::Cursor &c = tables.Table2;
        c.insert();
        c.setValue(QStringLiteral("Komu"), r.komu);
        c.setValue(QStringLiteral("Kuda"), r.kuda);
        c.setValue(QStringLiteral("Prim"), r.prim);
        c.setValue(QStringLiteral("Group"), r.group);
        c.setValue(QStringLiteral("Index"), r.index);
        c.setValue(QStringLiteral("Reserv6"), r.reserv6);
        c.setValue(QStringLiteral("Check"), r.check);
        c.post();
    }

    // Names of the rows a cursor lets through, in its order.
    static QStringList names(store::Cursor &c)
    {
        QStringList out;
        const int f = c.fieldIndex(QStringLiteral("Komu"));
        for (int row = 0; row < c.viewRowCount(); ++row)
            out << c.valueAt(row, f).toString();
        return out;
    }

    QTemporaryDir dir;
    store::Tables tables;
};
