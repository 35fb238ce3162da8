// Opening table files that are missing, damaged or foreign, and storing
// into a folder that refuses writes.

#include "storetestutil.h"
#include "store/database.h"
#include "store/errors.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

using store::StoreError;

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TableFileTest : public QObject {
    Q_OBJECT
private slots:
    void shippedSchemaHasNamedIndexes();
    void missingFileIsNamedAndNotCreated();
    void foreignFileIsNamedAndLeftUntouched_data();
    void foreignFileIsNamedAndLeftUntouched();
    void tableWithoutKeyFieldIsRefused();
    void readOnlyFolderGivesClearErrorAndKeepsStoredRows();
    void damagedPagesAtOpen_data();
    void damagedPagesAtOpen();
    void tooLongPathHasItsOwnKind();
};

void TableFileTest::shippedSchemaHasNamedIndexes()
{
    FreshBase base;
    const QMap<QString, QStringList> expected{
        {"AdrList.DB", {"Check_i", "Komu_i"}},   {"OtList.DB", {"OtKogo_i"}},
        {"konverts.DB", {"N_i", "NameKonvert_i"}}, {"Printers.db", {"N_i", "PrinterName_i"}},
        {"Filter.db", {"DateTime_i", "Filter_i"}}};
    for (const store::TableSchema *s : store::allSchemas()) {
        QStringList names;
        for (const store::IndexDef &i : s->indexes)
            names << i.name;
        names.sort();
        QCOMPARE(names, expected.value(s->fileName));
        store::TableFile file(QDir(base.path()).filePath(s->fileName), *s);
        QCOMPARE(file.integrityCheck(), QStringLiteral("ok"));
    }
}

void TableFileTest::missingFileIsNamedAndNotCreated()
{
    FreshBase base;
    const QString path = QDir(base.path()).filePath("OtList.DB");
    QFile::remove(path);
    QString message;
    QCOMPARE(openError(base.path(), &message), StoreError::Kind::MissingFile);
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY(!QFile::exists(path));
}

void TableFileTest::foreignFileIsNamedAndLeftUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("truncateReal");
    QTest::newRow("text file") << QByteArray("Иванов;Москва;123456\n") << false;
    QTest::newRow("zero bytes") << QByteArray() << false;
    QTest::newRow("truncated database") << QByteArray() << true;
    QTest::newRow("garbage after header") << QByteArray("SQLite format 3\0garbagegarbage", 30) << false;
}

void TableFileTest::foreignFileIsNamedAndLeftUntouched()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, truncateReal);
    FreshBase base;
    const QString path = QDir(base.path()).filePath("AdrList.DB");
    if (truncateReal) {
        {
            store::Tables t;
            t.openAllIn(base.path());
            for (int i = 0; i < 400; ++i)
                addRecipient(t.Table2, QStringLiteral("Получатель с длинным именем номер %1").arg(i));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        content = f.readAll().left(6000);
    }
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    const QByteArray before = digest(path);
    QString message;
    const StoreError::Kind kind = openError(base.path(), &message);
    QVERIFY2(kind == StoreError::Kind::NotADatabase || kind == StoreError::Kind::WrongSchema,
             qPrintable(message));
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(digest(path), before);
    QVERIFY(!QFile::exists(path + "-journal"));
}

void TableFileTest::tableWithoutKeyFieldIsRefused()
{
    // Other missing fields are added at open; a key cannot be added to rows.
    FreshBase base;
    const QString path = QDir(base.path()).filePath("Printers.db");
    QFile::remove(path);
    store::TableSchema older = store::printersSchema();
    older.fields.removeFirst();
    older.indexes.clear();
    store::TableFile::create(path, older);
    const QByteArray before = digest(path);
    QString message;
    QCOMPARE(openError(base.path(), &message), StoreError::Kind::UpgradeFailed);
    QVERIFY2(message.contains("нет поля номера N"), qPrintable(message));
    QCOMPARE(digest(path), before);
}

void TableFileTest::readOnlyFolderGivesClearErrorAndKeepsStoredRows()
{
    // Another process, without write rights to the folder and the file,
    // tries to store a row: it gets a clear error and the stored row stays.
    QTemporaryDir dir;
    const QString folder = dir.filePath("base");
    store::createAllTables(folder);
    {
        store::Tables t;
        t.openAllIn(folder);
        addRecipient(t.Table2, "Сохранённый");
    }
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                          | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), readOnly);
    QFile::setPermissions(folder, readOnly);
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        QFile::setPermissions(QDir(folder).filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QProcess child;
    child.start(KUVERTIX_STORE_CHILD, {"readonly", folder});
    QVERIFY(child.waitForFinished(30000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner);
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    QVERIFY2(out.startsWith(QString::number(int(StoreError::Kind::ReadOnly)) + ' '), qPrintable(out));
    QVERIFY2(out.contains(folder), qPrintable(out));
    // Found at open: the edit is refused before anything is typed into it.
    QVERIFY2(out.contains(QStringLiteral("доступна только для чтения")), qPrintable(out));
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        QFile::setPermissions(QDir(folder).filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    store::Tables again;
    again.openAllIn(folder);
    QCOMPARE(column(again.Table2, "Komu"), QStringList{"Сохранённый"});
    QCOMPARE(again.Table2.integrityCheck(), QStringLiteral("ok"));
}

// Overwrites part of the fourth page of the given b-tree page type (0x0a an
// index leaf, 0x0d a table leaf).
bool damagePage(const QString &path, char pageType)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = f.readAll();
    const int pageSize = (uchar(bytes[16]) << 8) | uchar(bytes[17]);
    int seen = 0;
    for (int page = 1; (page + 1) * pageSize <= bytes.size(); ++page) {
        if (bytes[page * pageSize] != pageType || ++seen < 4)
            continue;
        for (int k = 200; k < 600; ++k)
            bytes[page * pageSize + k] = 'A';
        f.seek(0);
        return f.write(bytes) == bytes.size();
    }
    return false;
}

void TableFileTest::damagedPagesAtOpen_data()
{
    QTest::addColumn<char>("pageType");
    QTest::addColumn<bool>("mended");
    QTest::newRow("index page: rebuilt") << char(0x0a) << true;
    QTest::newRow("row page: refused") << char(0x0d) << false;
}

void TableFileTest::damagedPagesAtOpen()
{
    QFETCH(char, pageType);
    QFETCH(bool, mended);
    FreshBase base;
    const QString path = QDir(base.path()).filePath("AdrList.DB");
    {
        store::Tables t;
        t.openAllIn(base.path());
        t.Table2.beginBatch();
        for (int i = 0; i < 2000; ++i)
            addRecipient(t.Table2, QStringLiteral("Получатель %1").arg((i * 7919) % 2000, 5, 10, QChar('0')), -(i % 2));
        t.Table2.commitBatch();
    }
    QVERIFY(damagePage(path, pageType));
    const QByteArray before = digest(path);
    QStringList entriesBefore = QDir(base.path()).entryList(QDir::Files);
    if (!mended) {
        QString message;
        QCOMPARE(openError(base.path(), &message), StoreError::Kind::NotADatabase);
        QVERIFY2(message.contains(path), qPrintable(message));
        QCOMPARE(digest(path), before);
        QCOMPARE(QDir(base.path()).entryList(QDir::Files), entriesBefore);
        return;
    }
    store::Tables t;
    t.openAllIn(base.path());
    QVERIFY2(t.Table2.repairNote().contains(path), qPrintable(t.Table2.repairNote()));
    QCOMPARE(t.openingNotes().size(), 1);
    const QStringList aside = QDir(base.path()).entryList({"AdrList.DB.damaged-*"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(digest(QDir(base.path()).filePath(aside.first())), before);
    QCOMPARE(t.Table2.integrityCheck(), QStringLiteral("ok"));
    QCOMPARE(t.Table2.recordCount(), 2000);
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Получатель 00000"));
    addRecipient(t.Table2, "После починки");  // the first save no longer fails
}

void TableFileTest::tooLongPathHasItsOwnKind()
{
    QTemporaryDir dir;
    QString folder = dir.path();
    while (folder.toUtf8().size() < 520)
        folder += QStringLiteral("/длинная-папка");
    QVERIFY(QDir().mkpath(folder));
    QString message;
    QCOMPARE(openError(folder, &message), StoreError::Kind::PathTooLong);
}

QTEST_GUILESS_MAIN(TableFileTest)
#include "tst_tablefile.moc"
