// A second process for the store tests.
//   store_child post <folder> <count>   posts rows, printing each key once
//                                       its post has returned
//   store_child readonly <folder>       as an unprivileged user, tries to
//                                       store a row; prints the error kind
//   store_child open <folder>           opens the tables (converting an older
//                                       folder) and prints what opening noted
//   store_child set <folder> <komu> <field> <value>
//                                       another copy of the program: stores
//                                       one field of the recipient
//   store_child delete <folder> <komu>  another copy deletes the recipient

#include "store/errors.h"
#include "store/tables.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace {

int postRows(const QString &folder, int count)
{
    store::Tables t;
    t.openAllIn(folder);
    for (int i = 0; i < count; ++i) {
        t.Table2.insert();
        t.Table2.setValue("Komu", QStringLiteral("Адресат номер %1").arg(i));
        t.Table2.setValue("Kuda", QString(140, QChar(0x0414)));
        t.Table2.post();
        std::printf("%d\n", t.Table2.asInteger("N"));
        std::fflush(stdout);
    }
    return 0;
}

int storeWithoutRights(const QString &folder)
{
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
        std::printf("cannot drop privileges\n");
        return 3;
    }
    store::Tables t;
    t.openAllIn(folder);
    try {
        t.Table2.insert();
        t.Table2.setValue("Komu", QStringLiteral("Новый"));
        t.Table2.post();
    } catch (const store::StoreError &e) {
        std::printf("%d %s\n", int(e.kind()), e.what());
        return 0;
    }
    std::printf("stored\n");
    return 0;
}

// Finds the recipient by name, as a user of another copy would.
int changeRecipient(const QStringList &a)
{
    store::Tables t;
    t.openAllIn(a[2]);
    if (!t.Table2.findKey(a[3]))
        return 4;
    if (a[1] == QLatin1String("delete")) {
        t.Table2.remove();
    } else {
        t.Table2.setValue(a[4], a[5]);
        t.Table2.post();
    }
    std::printf("done\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 4 && a[1] == "post")
        return postRows(a[2], a[3].toInt());
    if (a.size() == 3 && a[1] == "readonly")
        return storeWithoutRights(a[2]);
    if (a.size() == 3 && a[1] == "open") {
        store::Tables t;
        t.openAllIn(a[2]);
        std::printf("%s\n", t.openingNotes().join('\n').toUtf8().constData());
        return 0;
    }
    if ((a.size() == 6 && a[1] == "set") || (a.size() == 4 && a[1] == "delete"))
        return changeRecipient(a);
    return 2;
}
