// A user's own program folder: where the launcher makes it, what it copies
// and links there from the shipped folder at the first start and at later
// ones, and that the program then runs in it. The shipped folder is a copy
// of the built program folder with the launcher beside the real executable.

#include "app/paths.h"
#include "programcopy.h"
#include "tests/support/pdfread.h"

#include <QProcess>
#include <QtTest>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QString kFolder = QStringLiteral("/.local/share/Kuvertix");
const QStringList kSamples{QStringLiteral("Опись.doc"), QStringLiteral("Список отправлений.doc"),
                           QStringLiteral("Уведомление 4 шт сторона1.doc")};

struct Shipped : ProgramCopy {
    Shipped()
    {
        QFile::copy(QStringLiteral(KUVERTIX_LAUNCHER), path("kuvertix-launcher"));
        QFile::setPermissions(path("kuvertix-launcher"), QFile::permissions(path("kuvertix-launcher"))
                                                             | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        QFile::link(QStringLiteral(KUVERTIX_PROGRAM_DIR "/kuvertix"), path("kuvertix"));
    }
};

struct Started {
    int status = -1;
    QString out;
    QString err;
};

// Runs the launcher with only the given variables (and PATH); "@" in a value
// stands for the home folder.
Started launch(const Shipped &shipped, const QString &home, const QStringList &variables,
               const QStringList &arguments)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (QString variable : variables) {
        variable.replace(QLatin1Char('@'), home);
        environment.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home);
    process.start(shipped.path("kuvertix-launcher"), arguments);
    Started started;
    if (!process.waitForFinished(60000))
        return started;
    started.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    started.out = QString::fromUtf8(process.readAllStandardOutput());
    started.err = QString::fromUtf8(process.readAllStandardError());
    return started;
}

Started launch(const Shipped &shipped, const QString &home, const QStringList &arguments = {"--help"})
{
    return launch(shipped, home, {QStringLiteral("HOME=@")}, arguments);
}

bool addRecipient(const QString &table, const QString &name)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(table).constData(), &db) == SQLITE_OK;
    const QByteArray sql = "INSERT INTO AdrList (Komu, Kuda, \"Index\", \"Check\") VALUES ('" + name.toUtf8()
                           + "', 'Тула', '300000', 1)";
    ok = ok && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QStringList tableHashes(const QString &folder)
{
    QStringList hashes;
    const QDir base(folder + "/base");
    for (const QString &name : base.entryList(QDir::Files))
        hashes << name + ' ' + fileHash(base.filePath(name));
    return hashes;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestUserFolder : public QObject {
    Q_OBJECT
private slots:
    void programFolder_data();
    void programFolder();
    void place_data();
    void place();
    void firstStart();
    void laterStart();
};

void TestUserFolder::programFolder_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("folder");
    QTest::newRow("not named: the executable's") << QString() << app::executableFolder();
    QTest::newRow("named") << "/srv/Kuvertix" << "/srv/Kuvertix/";
    QTest::newRow("named with the separator") << "/srv/Kuvertix/" << "/srv/Kuvertix/";
    QTest::newRow("relative: from the working folder") << "office/Kuvertix" << QDir::currentPath() + "/office/Kuvertix/";
}

void TestUserFolder::programFolder()
{
    QFETCH(QString, named);
    if (named.isEmpty())
        qunsetenv("KUVERTIX_PROGRAM_FOLDER");
    else
        qputenv("KUVERTIX_PROGRAM_FOLDER", named.toUtf8());
    const QString folder = app::programFolder();
    qunsetenv("KUVERTIX_PROGRAM_FOLDER");
    QTEST(folder, "folder");
}

void TestUserFolder::place_data()
{
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<QString>("folder");  // under the home folder; empty: refused
    QTest::newRow("home") << QStringList{"HOME=@"} << kFolder;
    QTest::newRow("data home") << QStringList{"HOME=@", "XDG_DATA_HOME=@/data"} << "/data/Kuvertix";
    QTest::newRow("relative data home is not used") << QStringList{"HOME=@", "XDG_DATA_HOME=data"} << kFolder;
    QTest::newRow("empty data home is not used") << QStringList{"HOME=@", "XDG_DATA_HOME="} << kFolder;
    QTest::newRow("named folder") << QStringList{"HOME=@", "KUVERTIX_PROGRAM_FOLDER=@/Контора/Иванов"}
                                  << "/Контора/Иванов";
    QTest::newRow("named folder, no home") << QStringList{"KUVERTIX_PROGRAM_FOLDER=@/k"} << "/k";
    QTest::newRow("named relative folder") << QStringList{"HOME=/nonexistent", "KUVERTIX_PROGRAM_FOLDER=k"} << "/k";
    QTest::newRow("no home") << QStringList{} << QString();
    QTest::newRow("empty home") << QStringList{"HOME="} << QString();
}

void TestUserFolder::place()
{
    QFETCH(QStringList, variables);
    QFETCH(QString, folder);
    const Shipped shipped;
    QTemporaryDir home;
    const Started started = launch(shipped, home.path(), variables, {"--help"});
    if (folder.isEmpty()) {
        QCOMPARE(started.status, 1);
        QVERIFY2(started.err.contains(QStringLiteral("не задана домашняя папка (HOME)")), qPrintable(started.err));
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        return;
    }
    QCOMPARE(started.status, 0);
    QVERIFY(started.out.contains(QStringLiteral("--pdf")));
    QVERIFY2(QFileInfo::exists(home.path() + folder + "/base/config.DB"), qPrintable(home.path() + folder));
}

void TestUserFolder::firstStart()
{
    const Shipped shipped;
    QTemporaryDir home;
    const QString folder = home.path() + kFolder;
    QCOMPARE(launch(shipped, home.path()).status, 0);

    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0700u);
    QCOMPARE(tableHashes(folder), shipped.baseHashes());
    for (const QString &sample : kSamples) {
        const QFileInfo copy(folder + '/' + sample);
        QVERIFY2(copy.isFile() && !copy.isSymLink(), qPrintable(sample));
        QCOMPARE(fileHash(copy.filePath()), fileHash(shipped.path(sample)));
    }
    for (const char *name : {"Kuvertix.htm", "Kuvertix.xls", "Kuvertix ZIPcode.ttf", "Схема замеров.png"})
        QCOMPARE(QFileInfo(folder + '/' + name).symLinkTarget(), QFileInfo(shipped.path(name)).absoluteFilePath());
    QVERIFY(!QFileInfo::exists(folder + "/kuvertix") && !QFileInfo::exists(folder + "/kuvertix-launcher"));

    // The program runs in the user's folder: it prints the user's recipient,
    // which the shipped tables do not have.
    const QStringList shippedTables = shipped.baseHashes();
    QVERIFY(addRecipient(folder + "/base/AdrList.DB", QStringLiteral("Иванов")));
    const QString pdf = home.filePath("envelopes.pdf");
    const Started run = launch(shipped, home.path(), {"--pdf", pdf, "--scope", "all"});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const QStringList pages = pdfread::texts(pdf);
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains(QStringLiteral("Кому Иванов Куда Тула")), qPrintable(pages[0]));
    QCOMPARE(shipped.baseHashes(), shippedTables);
}

// What the user has is kept; what a newer package ships is added.
void TestUserFolder::laterStart()
{
    Shipped shipped;
    QTemporaryDir home;
    const QString folder = home.path() + kFolder;
    QCOMPARE(launch(shipped, home.path()).status, 0);

    QVERIFY(addRecipient(folder + "/base/AdrList.DB", QStringLiteral("Иванов")));
    const QByteArray book = fileHash(folder + "/base/AdrList.DB");
    QVERIFY(QFile::remove(folder + "/base/Filter.db"));
    writeFile(folder + "/Опись.doc", "edited by the user");
    QVERIFY(QFile::remove(folder + "/Список отправлений.doc"));
    QVERIFY(QFile::remove(folder + "/Kuvertix.htm"));
    writeFile(folder + "/Kuvertix.htm", "the user's own page");
    writeFile(folder + "/Свой.rtf", "the user's own blank");

    writeFile(shipped.path("Опись.doc"), "a newer sample");
    writeFile(shipped.path("Список отправлений.doc"), "a newer sample");
    writeFile(shipped.path("Новый.doc"), "a new sample");
    writeFile(shipped.path("Свой.rtf"), "a new sample");
    writeFile(shipped.path("Новая схема.png"), "a new picture");
    QVERIFY(QFile::remove(shipped.path("Схема замеров.png")));
    QCOMPARE(launch(shipped, home.path()).status, 0);

    QCOMPARE(fileHash(folder + "/base/AdrList.DB"), book);
    QCOMPARE(fileHash(folder + "/base/Filter.db"), fileHash(shipped.path("base/Filter.db")));
    QCOMPARE(readFile(folder + "/Опись.doc"), QByteArray("edited by the user"));
    QVERIFY(!QFileInfo::exists(folder + "/Список отправлений.doc"));
    QCOMPARE(readFile(folder + "/Новый.doc"), QByteArray("a new sample"));
    QCOMPARE(readFile(folder + "/Свой.rtf"), QByteArray("the user's own blank"));
    QCOMPARE(readFile(folder + "/Kuvertix.htm"), QByteArray("the user's own page"));
    QCOMPARE(QFileInfo(folder + "/Новая схема.png").symLinkTarget(),
             QFileInfo(shipped.path("Новая схема.png")).absoluteFilePath());
    QVERIFY(!QFileInfo(folder + "/Схема замеров.png").isSymLink());

    // A third start changes nothing more: the new sample, once offered, is
    // the user's to delete.
    QVERIFY(QFile::remove(folder + "/Новый.doc"));
    QCOMPARE(launch(shipped, home.path()).status, 0);
    QVERIFY(!QFileInfo::exists(folder + "/Новый.doc"));
}

QTEST_GUILESS_MAIN(TestUserFolder)
#include "tst_userfolder.moc"
