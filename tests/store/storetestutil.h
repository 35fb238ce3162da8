#pragma once
// A fresh data folder with the six empty tables, removed after the test.

#include "store/errors.h"
#include "store/tables.h"

#include <QTemporaryDir>
#include <QtTest>

struct FreshBase {
    QTemporaryDir dir;
    FreshBase() { store::createAllTables(dir.path()); }
    QString path() const { return dir.path(); }
};

// A fresh data folder with all eight cursors open on it.
struct OpenBase {
    FreshBase base;
    store::Tables tables;
    OpenBase() { tables.openAllIn(base.path()); }
};

inline void addRecipient(store::Cursor &c, const QString &komu, const QVariant &check = 0)
{
    c.insert();
    c.setValue("Komu", komu);
    c.setValue("Check", check);
    c.post();
}

inline QStringList column(store::Cursor &c, const QString &field)
{
    QStringList out;
    for (c.first(); !c.eof(); c.next())
        out << c.asString(field);
    return out;
}

// The kind of error opening the folder's tables gives, and its message;
// BadState when they open.
inline store::StoreError::Kind openError(const QString &folder, QString *message)
{
    store::Tables t;
    try {
        t.openAllIn(folder);
    } catch (const store::StoreError &e) {
        *message = e.message();
        return e.kind();
    }
    return store::StoreError::Kind::BadState;
}
