#pragma once
// Tables in a temporary data folder with formats, offsets and a settings
// row, for the envelope tests.

#include "store/tables.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

namespace envelopetest {

using Values = QMap<QString, QVariant>;

// The geometry of the shipped DL format.
inline Values dlFormat()
{
    const double v[] = {110, 220, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 120, 58, 5, 92,
                        120, 65, 20, 92, 120, 92, 5, 22, 108, 6, 18, 25, 10, 88, 120, 38, 16, 53};
    const char *names[] = {"H", "W", "LinesH", "OtkogoL", "OtkogoT", "OtkogoH", "OtkogoW",
                           "OtkudaL", "OtkudaT", "OtkudaH", "OtkudaW", "OtindexL", "OtindexT",
                           "OtindexH", "OtindexW", "KomuL", "KomuT", "KomuH", "KomuW", "KudaL",
                           "KudaT", "KudaH", "KudaW", "IndexL", "IndexT", "IndexH", "IndexW",
                           "LogoL", "LogoT", "LogoH", "LogoW", "ZIPcodeL", "ZIPcodeT",
                           "KonvertCommentL", "KonvertCommentT", "KonvertCommentH",
                           "KonvertCommentW"};
    Values values;
    for (size_t i = 0; i < sizeof(v) / sizeof(v[0]); ++i)
        values[QString::fromLatin1(names[i])] = v[i];
    values[QStringLiteral("NameKonvert")] = QStringLiteral("DL 220x110");
    return values;
}

class Base {
public:
    Base()
    {
        folder = dir.path() + QStringLiteral("/base");
        store::createAllTables(folder);
        tables = std::make_unique<store::Tables>();
        tables->openAllIn(folder);
    }

    static qint64 insert(store::Cursor &cursor, const Values &values)
    {
        cursor.insert();
        for (auto it = values.begin(); it != values.end(); ++it)
            cursor.setValue(it.key(), it.value());
        cursor.post();
        return cursor.currentRowId();
    }
    int insertFormat(const Values &values)
    {
        insert(tables->Table4, values);
        return tables->Table4.asInteger(QStringLiteral("N"));
    }
    int insertOffset(const QString &name, double dx, double dy)
    {
        insert(tables->Table5, {{"PrinterName", name}, {"Dx", dx}, {"Dy", dy}});
        return tables->Table5.asInteger(QStringLiteral("N"));
    }
    // The settings row, in edit state as the running program keeps it.
    void settings(const Values &values)
    {
        store::Cursor &s = tables->Table1;
        if (s.recordCount() == 0)
            s.insert();
        else
            s.edit();
        for (auto it = values.begin(); it != values.end(); ++it)
            s.setValue(it.key(), it.value());
    }
    QString programFolder() const { return dir.path() + QLatin1Char('/'); }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<store::Tables> tables;
};

} // namespace envelopetest
