// A data folder of an older installation (Paradox tables, or table files of
// this program without the newest fields) is converted once at open: every
// value comes over, the old files move unchanged into a backup folder, and
// any failure on the way leaves the folder as it was.

#include "tests/support/paradoxfixture.h"
#include "storetestutil.h"
#include "tests/support/smalldisk.h"
#include "store/database.h"
#include "store/errors.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <functional>

using store::StoreError;

namespace {

// Every file under a folder, sub-folders included, with the hash of its bytes.
QStringList treeHashes(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out << QDir(folder).relativeFilePath(path) + ' ' + (QFileInfo(path).isDir() ? "dir" : fileHash(path));
    }
    out.sort();
    return out;
}

// The rows of a converted table, keyed by N (by order for the filter history).
QMap<int, paradox::Row> storedRows(const QString &folder, const store::TableSchema &schema)
{
    store::TableFile file(QDir(folder).filePath(schema.fileName), schema);
    QMap<int, paradox::Row> rows;
    const int key = schema.fieldIndex("N");
    for (const store::StoredRow &r : file.readAll()) {
        paradox::Row row;
        for (int i = 0; i < schema.fields.size(); ++i)
            if (!r.values[i].isNull())
                row[schema.fields[i].name] = r.values[i];
        rows[key >= 0 ? r.values[key].toInt() : rows.size()] = row;
    }
    return rows;
}

QMap<int, paradox::Row> fixtureRows(const paradox::Table &t)
{
    QMap<int, paradox::Row> rows;
    for (const paradox::Row &r : t.rows)
        rows[r.contains("N") ? r["N"].toInt() : rows.size()] = r;
    return rows;
}

QString backupFolderOf(const QString &folder)
{
    const QStringList found = QDir(folder).entryList({"Прежняя версия *"}, QDir::Dirs);
    return found.size() == 1 ? QDir(folder).filePath(found.first()) : QString();
}


using Change = std::function<void(paradox::OldBase &, const QString &folder)>;

} // namespace

class BaseConversionTest : public QObject {
    Q_OBJECT
private slots:
    void oldBaseComesOverOnce();
    void fieldsAreTakenByName_data();
    void fieldsAreTakenByName();
    void unreadableTableChangesNothing_data();
    void unreadableTableChangesNothing();
    void diskFaultsChangeNothing_data();
    void diskFaultsChangeNothing();
    void killedConversionStartsOver();
    void unfinishedMoveIsUndone_data();
    void unfinishedMoveIsUndone();
    void ownTableGetsMissingFields();
};

void BaseConversionTest::oldBaseComesOverOnce()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("base");
    paradox::OldBase old;
    old.writeInto(folder);
    paradox::writeSideFile(folder, "Font.res");  // the program's own files stay where they are
    const QStringList oldFiles = treeHashes(folder);
    QStringList notes;
    {
        store::Tables t;
        t.openAllIn(folder);
        notes = t.openingNotes();
        t.Table2.insert();
        t.Table2.setValue("Komu", QStringLiteral("Новый"));
        t.Table2.post();
        QCOMPARE(t.Table2.asInteger("N"), 12);  // after the largest key, 11
        t.Table2.remove();
    }
    const QVector<const store::TableSchema *> schemas = store::allSchemas();
    const QVector<paradox::Table *> tables = old.all();
    for (int i = 0; i < schemas.size(); ++i)  // in the same order
        QCOMPARE(storedRows(folder, *schemas[i]), fixtureRows(*tables[i]));
    const QString backup = backupFolderOf(folder);
    QVERIFY(!backup.isEmpty());
    QStringList inBackup = treeHashes(backup);
    inBackup << "Font.res " + fileHash(QDir(folder).filePath("Font.res"));
    inBackup.sort();
    QCOMPARE(inBackup, oldFiles);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 7);  // the six tables and Font.res
    QCOMPARE(notes.size(), 1);
    for (const QString &part : {QStringLiteral("AdrList.DB (Paradox) — 4 записи"), QStringLiteral("config.DB (Paradox) — 1 запись"),
                                QStringLiteral("Filter.db (Paradox) — 3 записи"), QDir::toNativeSeparators(backup)})
        QVERIFY2(notes.first().contains(part), qPrintable(notes.first()));

    const QStringList converted = treeHashes(folder);
    store::Tables again;
    again.openAllIn(folder);
    QVERIFY(again.openingNotes().isEmpty());
    again.closeAll();
    QCOMPARE(treeHashes(folder), converted);
}

void BaseConversionTest::fieldsAreTakenByName_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("field");  // of the recipient N = 2
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("noted");
    using paradox::OldBase;
    QTest::newRow("mark as a short integer")
        << Change([](OldBase &b, const QString &) { paradox::setColumnType(b.adrList, "Check", pxfShort); })
        << "Check" << QVariant(-1) << "AdrList.DB (Paradox) — 4 записи\n";
    QTest::newRow("texts in DOS 866")
        << Change([](OldBase &b, const QString &) { b.adrList.codePage = 866; })
        << "Kuda" << QVariant(QStringLiteral("г. Москва, ул. Ёлкина, 5")) << "";
    QTest::newRow("no reserve 6, no mark")
        << Change([](OldBase &b, const QString &) {
               paradox::removeColumn(b.adrList, "Reserv6");
               paradox::removeColumn(b.adrList, "Check");
           })
        << "Check" << QVariant(0) << "добавлены поля: Check, Reserv6";
    QTest::newRow("a field the program has no place for")
        << Change([](OldBase &b, const QString &) {
               b.adrList.columns << paradox::Column{"Telefon", pxfAlpha, 20};
               b.adrList.rows[0]["Telefon"] = QStringLiteral("123");
           })
        << "Kuda" << QVariant(QStringLiteral("г. Москва, ул. Ёлкина, 5")) << "не перенесены поля, которых в программе нет: Telefon";
    QTest::newRow("name wider than the program's field")
        << Change([](OldBase &b, const QString &) {
               paradox::setColumnType(b.adrList, "Komu", pxfAlpha, 120);
               b.adrList.rows[0]["Komu"] = QString(120, QChar(0x0451));
           })
        << "Komu" << QVariant(QString(100, QChar(0x0451))) << "длинных текстов обрезано по размеру поля: 1";
    QTest::newRow("file names in capitals")
        << Change([](OldBase &b, const QString &) { b.adrList.fileName = "ADRLIST.DB"; })
        << "Index" << QVariant(QStringLiteral("101000")) << "AdrList.DB (Paradox)";
}

void BaseConversionTest::fieldsAreTakenByName()
{
    QFETCH(Change, change);
    QFETCH(QString, field);
    QFETCH(QString, noted);
    QTemporaryDir dir;
    paradox::OldBase old;
    change(old, dir.path());
    old.writeInto(dir.path());
    store::Tables t;
    t.openAllIn(dir.path());
    const paradox::Row stored = storedRows(dir.path(), store::adrListSchema()).value(2);
    QTEST(stored.value(field, store::adrListSchema().fields[store::adrListSchema().fieldIndex(field)].defaultValue), "value");
    QVERIFY2(t.openingNotes().join('\n').contains(noted), qPrintable(t.openingNotes().join('\n')));
}

void BaseConversionTest::unreadableTableChangesNothing_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("afterWriting");  // damage done to the written file
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("cause");
    using paradox::OldBase;
    const auto cut = [](const QString &path, qint64 size) {
        QFile f(path);
        QVERIFY(f.resize(size));
    };
    QTest::newRow("cut short")
        << Change([cut](OldBase &, const QString &folder) { cut(folder + "/AdrList.DB", 2048 + 100); }) << true
        << "AdrList.DB" << "он короче, чем сказано в его заголовке";
    QTest::newRow("data block overwritten")
        << Change([](OldBase &, const QString &folder) {
               QFile f(folder + "/konverts.DB");
               QVERIFY(f.open(QIODevice::ReadWrite));
               f.seek(2048);  // the head of the first data block
               f.write(QByteArray(6, '\x7f'));
           })
        << true << "konverts.DB" << "повреждён";
    QTest::newRow("a name as a memo")
        << Change([](OldBase &b, const QString &) {
               paradox::setColumnType(b.otList, "OtKogo", pxfMemoBLOb, 20);
               for (paradox::Row &r : b.otList.rows)
                   r.remove("OtKogo");
           })
        << false << "OtList.DB" << "у поля OtKogo тип «длинный текст (мемо)», а программе нужен тип «текст»";
    QTest::newRow("a date with its time")
        << Change([](OldBase &b, const QString &) {
               paradox::setColumnType(b.filter, "Date", pxfTimestamp);
               for (paradox::Row &r : b.filter.rows)
                   r.remove("Date");
           })
        << false << "Filter.db" << "у поля Date тип «дата со временем»";
    QTest::newRow("a password") << Change([](OldBase &b, const QString &) { b.printers.password = 0x2a2a2a2a; })
                                << false << "Printers.db" << "защищена паролем";
}

void BaseConversionTest::unreadableTableChangesNothing()
{
    QFETCH(Change, change);
    QFETCH(bool, afterWriting);
    QFETCH(QString, file);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    paradox::OldBase old;
    if (!afterWriting)
        change(old, dir.path());
    old.writeInto(dir.path());
    if (afterWriting)
        change(old, dir.path());
    const QStringList before = treeHashes(dir.path());
    QString message;
    QCOMPARE(openError(dir.path(), &message), StoreError::Kind::UpgradeFailed);
    QVERIFY2(message.contains(QDir(dir.path()).filePath(file)) && message.contains(cause), qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("Файлы в папке данных не изменены.")), qPrintable(message));
    QCOMPARE(treeHashes(dir.path()), before);
}

void BaseConversionTest::diskFaultsChangeNothing_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("cause");
    QTest::newRow("full disk") << false << "Нет места на диске";
    QTest::newRow("read-only folder") << true << "доступна только для чтения";
}

void BaseConversionTest::diskFaultsChangeNothing()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, cause);
    SmallDisk disk(4 * 1024);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    paradox::OldBase old;
    for (int i = 0; i < 300; ++i)  // a book that needs more room than is left
        old.adrList.rows << paradox::Row{{"N", 100 + i}, {"Komu", QStringLiteral("Адресат %1").arg(i)},
                                         {"Kuda", QString(150, QChar(0x0414))}, {"Prim", QString(250, QChar(0x0436))}};
    const QString folder = disk.filePath("base");
    old.writeInto(folder);
    if (readOnly)
        QVERIFY2(disk.makeReadOnly(), qPrintable(disk.reason()));
    else
        disk.fill(64 * 1024);
    const QStringList before = treeHashes(folder);
    QString message;
    QCOMPARE(openError(folder, &message), StoreError::Kind::UpgradeFailed);
    QVERIFY2(message.contains(cause), qPrintable(message));
    QCOMPARE(treeHashes(folder), before);
    if (readOnly)
        return;
    QVERIFY(QFile::remove(disk.filePath(".filler")));
    store::Tables t;
    t.openAllIn(folder);
    QCOMPARE(t.Table2.recordCount(), 304);
}

void BaseConversionTest::killedConversionStartsOver()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("base");
    paradox::OldBase old;
    for (int i = 0; i < 5000; ++i)
        old.adrList.rows << paradox::Row{{"N", 100 + i}, {"Komu", QStringLiteral("Адресат %1").arg(i)}};
    old.writeInto(folder);
    const QStringList before = treeHashes(folder);
    QProcess child;
    child.start(KUVERTIX_STORE_CHILD, {"open", folder});
    QVERIFY(child.waitForStarted());
    const QString converting = QDir(folder).filePath(store::convertingName("AdrList.DB"));
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(converting) && waited.elapsed() < 20000)
        QThread::usleep(200);
    QVERIFY2(QFile::exists(converting), "the conversion did not start");
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QVERIFY2(backupFolderOf(folder).isEmpty(), "the conversion ended before it was killed");

    QStringList left = treeHashes(folder);
    left.removeIf([](const QString &line) { return line.contains(".kuvertix-new"); });
    QCOMPARE(left, before);
    store::Tables t;
    t.openAllIn(folder);
    QCOMPARE(t.Table2.recordCount(), 5004);
    QCOMPARE(t.conversion().tables.size(), 6);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 6);
}

void BaseConversionTest::unfinishedMoveIsUndone_data()
{
    QTest::addColumn<QStringList>("moved");    // old files already in the backup folder
    QTest::addColumn<QStringList>("replaced"); // tables whose new file had taken its place
    QTest::newRow("some old files moved") << QStringList{"config.DB", "AdrList.DB", "AdrList.PX"} << QStringList{};
    QTest::newRow("two new files in place")
        << QStringList{"config.DB", "config.PX", "AdrList.DB", "AdrList.PX", "AdrList.XG0", "AdrList.YG0", "OtList.DB",
                       "OtList.PX", "konverts.DB", "konverts.PX", "Printers.db", "Printers.PX", "Filter.db",
                       "PDOXUSRS.LCK", "PARADOX.LCK"}
        << QStringList{"config.DB", "AdrList.DB"};
}

void BaseConversionTest::unfinishedMoveIsUndone()
{
    QFETCH(QStringList, moved);
    QFETCH(QStringList, replaced);
    // The new files as a finished conversion of the same folder made them.
    QTemporaryDir done;
    paradox::OldBase old;
    old.writeInto(done.path());
    store::Tables().openAllIn(done.path());

    QTemporaryDir dir;
    old.writeInto(dir.path());
    const QStringList before = treeHashes(dir.path());
    const QDir data(dir.path());
    const QString unfinished = QStringLiteral("Прежняя версия 2024-04-24 10.15 (не завершено)");
    QVERIFY(data.mkdir(unfinished));
    for (const QString &name : moved)
        QVERIFY(QFile::rename(data.filePath(name), data.filePath(unfinished + '/' + name)));
    for (const store::TableSchema *s : store::allSchemas()) {
        const QString target = replaced.contains(s->fileName) ? s->fileName : store::convertingName(s->fileName);
        if (!data.exists(target))
            QVERIFY(QFile::copy(QDir(done.path()).filePath(s->fileName), data.filePath(target)));
    }

    store::Tables t;
    t.openAllIn(dir.path());
    QCOMPARE(t.conversion().tables.size(), 6);
    QCOMPARE(t.Table2.recordCount(), 4);
    QVERIFY(!data.exists(unfinished));
    QCOMPARE(treeHashes(backupFolderOf(dir.path())), before);
}

void BaseConversionTest::ownTableGetsMissingFields()
{
    // A table file of an older version: no mark, no sixth reserve field, and
    // a column of unknown origin.
    FreshBase base;
    const QString path = QDir(base.path()).filePath("AdrList.DB");
    QFile::remove(path);
    store::TableSchema older = store::adrListSchema();
    older.fields.removeIf([](const store::FieldDef &f) { return f.name == "Check" || f.name == "Reserv6"; });
    older.fields << store::FieldDef{"Telefon", store::FieldType::Text, 20, {}};
    older.indexes.clear();
    store::TableFile::create(path, older);
    {
        store::TableFile file(path, older);
        for (const auto &[n, komu, telefon] : {std::tuple{3, "Ёжиков", "12-34"}, std::tuple{8, "Акулов", ""}})
            file.insertWithKey({0, {n, QString::fromUtf8(komu), {}, {}, {}, {}, {}, {}, {}, {}, {}, QString(telefon)}});
    }
    const QByteArray oldHash = fileHash(path);
    {
        store::Tables t;
        t.openAllIn(base.path());
        QVERIFY2(t.openingNotes().join("").contains("AdrList.DB — 2 записи; добавлены поля: Check, Reserv6"),
                 qPrintable(t.openingNotes().join("")));
        QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Акулов", "Ёжиков"}));
        t.Table2_.first();
        QCOMPARE(t.Table2_.value("Check"), QVariant(0));
        addRecipient(t.Table2, "Новый");
        QCOMPARE(t.Table2.asInteger("N"), 9);
    }
    QCOMPARE(fileHash(QDir(backupFolderOf(base.path())).filePath("AdrList.DB")), oldHash);
    QCOMPARE(store::TableFile(path, older).readAll().first().values.last(), QVariant("12-34"));
}

QTEST_GUILESS_MAIN(BaseConversionTest)
#include "tst_baseconversion.moc"
