#pragma once
// The data of the blank benches: a data folder of their own with a sender
// and a number of recipients in Moscow.

#include "store/tables.h"

#include <QTemporaryDir>

namespace bench {

class BlankBook {
public:
    explicit BlankBook(int recipients)
    {
        const QString folder = dir.filePath(QStringLiteral("base"));
        store::createAllTables(folder);
        tables.openAllIn(folder);
        store::Tables &t = tables;
        t.Table1.insert();
        t.Table1.setValue(QStringLiteral("OtKogo"), QStringLiteral("ООО Ромашка"));
        t.Table1.setValue(QStringLiteral("OtKuda"), QStringLiteral("Тверь, Садовая 5"));
        t.Table1.setValue(QStringLiteral("OtIndex"), QStringLiteral("170000"));
        t.Table2.beginBatch();
        for (int i = 0; i < recipients; ++i) {
            t.Table2.insert();
            t.Table2.setValue(QStringLiteral("Komu"),
                              QStringLiteral("Получатель %1").arg(i + 1, 3, 10, QLatin1Char('0')));
            t.Table2.setValue(QStringLiteral("Kuda"), QStringLiteral("Москва, Тверская %1").arg(i + 1));
            t.Table2.setValue(QStringLiteral("Index"), QStringLiteral("101000"));
            t.Table2.post();
        }
        t.Table2.commitBatch();
    }

    QTemporaryDir dir;
    store::Tables tables;
};

} // namespace bench
