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

StoreError::Kind openError(const QString &folder, QString *message)
{
    store::Tables t;
    try {
        t.openAllIn(folder);
    } catch (const StoreError &e) {
        *message = e.message();
        return e.kind();
    }
    return StoreError::Kind::BadState;
}

} // namespace

class TableFileTest : public QObject {
    Q_OBJECT
private slots:
    void shippedSchemaHasNamedIndexes();
    void missingFileIsNamedAndNotCreated();
    void foreignFileIsNamedAndLeftUntouched_data();
    void foreignFileIsNamedAndLeftUntouched();
    void tableWithoutFieldIsRefused();
    void readOnlyFolderGivesClearErrorAndKeepsStoredRows();
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

void TableFileTest::tableWithoutFieldIsRefused()
{
    FreshBase base;
    const QString path = QDir(base.path()).filePath("Printers.db");
    QFile::remove(path);
    store::TableSchema older = store::printersSchema();
    older.fields.removeLast();  // a file made before Dy existed
    older.indexes.clear();
    store::TableFile::create(path, older);
    QString message;
    QCOMPARE(openError(base.path(), &message), StoreError::Kind::WrongSchema);
    QVERIFY(message.contains("Dy"));
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
    QVERIFY2(out.contains("AdrList.DB"), qPrintable(out));
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        QFile::setPermissions(QDir(folder).filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    store::Tables again;
    again.openAllIn(folder);
    QCOMPARE(column(again.Table2, "Komu"), QStringList{"Сохранённый"});
    QCOMPARE(again.Table2.integrityCheck(), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TableFileTest)
#include "tst_tablefile.moc"
