// The private office and the life of the program: a program killed while
// its office runs takes the office with it, and what a dead program left in
// the temporary folder goes at the next start, while a living program's
// files stay.
//
// The program is this test itself, started again as a child with
// KUVERTIX_OFFICE_CHILD set: it starts an office, prints the office's
// process group and waits to be killed.

#include "office/officechild.h"
#include "office/officeprocess.h"
#include "tests/support/officeprocesses.h"
#include "tests/support/services.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const ChildVariable = "KUVERTIX_OFFICE_CHILD";

int childMain()
{
    office::OfficeProcess process;
    try {
        process.start();
    } catch (const office::OfficeError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("%d %s\n", int(process.pid()), qPrintable(process.runFolder()));
    std::fflush(stdout);
    QThread::sleep(600);
    return 0;
}

// A process id that belonged to a program that has ended.
pid_t deadPid()
{
    QProcess p;
    p.start(QStringLiteral("/bin/true"));
    p.waitForStarted();
    const pid_t pid = pid_t(p.processId());
    p.waitForFinished();
    return pid;
}

} // namespace

class TestOfficeChild : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void officeEndsWithTheProgram_data();
    void officeEndsWithTheProgram();
    void startRemovesWhatDeadProgramsLeft();
};

void TestOfficeChild::initTestCase()
{
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
}

void TestOfficeChild::officeEndsWithTheProgram_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("killed") << int(SIGKILL);
    QTest::newRow("terminated") << int(SIGTERM);
}

void TestOfficeChild::officeEndsWithTheProgram()
{
    QFETCH(int, signal);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(child.canReadLine() || child.state() != QProcess::Running, 60000);
    const QList<QByteArray> said = child.readLine().trimmed().split(' ');
    const pid_t group = pid_t(said.value(0).toInt());
    const QString runFolder = QString::fromLocal8Bit(said.value(1));
    QVERIFY2(group > 0, child.readAllStandardError().constData());
    QVERIFY(officetest::groupAlive(group));
    QTRY_VERIFY_WITH_TIMEOUT(!officetest::groupMembers(group, QStringLiteral("soffice.bin")).isEmpty(), 20000);

    QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(5000));
    // Nothing of the office is left a few seconds later.
    QTRY_VERIFY_WITH_TIMEOUT(!officetest::groupAlive(group), 5000);
    // The killed office left its run folder and its one-instance pipe; the
    // next start takes both away.
    const QString pipe = QStringLiteral("/tmp/OSL_PIPE_%1_").arg(::getuid())
        + office::singleInstancePipe(office::profileUrl(runFolder));
    QVERIFY2(QFileInfo::exists(runFolder) && QFileInfo::exists(pipe), qPrintable(pipe));
    office::removeLeftovers(QDir::tempPath());
    QVERIFY(!QFileInfo::exists(runFolder));
    QVERIFY(!QFileInfo::exists(pipe));
}

void TestOfficeChild::startRemovesWhatDeadProgramsLeft()
{
    const pid_t dead = deadPid();
    QVERIFY(dead > 0 && ::kill(dead, 0) != 0);
    const QDir temp = QDir::temp();
    const QString deadFolder = temp.filePath(QStringLiteral("kuvertix-office-%1-abcdef").arg(dead));
    const QString deadPipe = QStringLiteral("/tmp/OSL_PIPE_%1_kuvertix-office-%2-1-1").arg(::getuid()).arg(dead);
    const QString liveFolder = temp.filePath(QStringLiteral("kuvertix-office-%1-live").arg(::getppid()));
    for (const QString &folder : {deadFolder, liveFolder}) {
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/profile/lu1234.tmp")));
        QFile data(folder + QStringLiteral("/shown.csv"));
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write("Иванов;Москва\n");
    }
    QFile pipe(deadPipe);
    QVERIFY(pipe.open(QIODevice::WriteOnly));
    pipe.close();

    office::OfficeProcess process;
    process.start();
    const bool deadFolderGone = !QFileInfo::exists(deadFolder);
    const bool deadPipeGone = !QFileInfo::exists(deadPipe);
    const bool liveFolderKept = QFileInfo::exists(liveFolder + QStringLiteral("/shown.csv"));
    QDir(deadFolder).removeRecursively();
    QDir(liveFolder).removeRecursively();
    QFile::remove(deadPipe);
    QVERIFY(deadFolderGone);
    QVERIFY(deadPipeGone);
    QVERIFY(liveFolderKept);

    // The office's data segment is bounded.
    QTRY_VERIFY_WITH_TIMEOUT(!officetest::groupMembers(process.pid(), QStringLiteral("soffice.bin")).isEmpty(), 20000);
    QFile limits(QStringLiteral("/proc/%1/limits")
                     .arg(officetest::groupMembers(process.pid(), QStringLiteral("soffice.bin")).constFirst()));
    QVERIFY(limits.open(QIODevice::ReadOnly));
    const QByteArray table = limits.readAll();
    QVERIFY2(QRegularExpression(QStringLiteral("Max data size\\s+4294967296\\s+4294967296")).match(QString::fromLatin1(table)).hasMatch(),
             table.constData());

    // The run's own folder is private and goes with the office.
    const QString run = process.runFolder();
    struct stat info {};
    QVERIFY(::stat(QFile::encodeName(run).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    process.stop();
    QVERIFY(!QFileInfo::exists(run));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(ChildVariable))
        return childMain();
    TestOfficeChild test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_officechild.moc"
