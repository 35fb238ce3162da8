// A program killed while it stores rows loses none whose post returned and
// leaves a file that passes SQLite's integrity check.

#include "storetestutil.h"
#include "store/database.h"

#include <QProcess>
#include <csignal>

class KillTest : public QObject {
    Q_OBJECT
private slots:
    void killedWriterLosesNoPostedRow_data();
    void killedWriterLosesNoPostedRow();
};

void KillTest::killedWriterLosesNoPostedRow_data()
{
    QTest::addColumn<int>("rowsBeforeKill");
    QTest::newRow("early") << 3;
    QTest::newRow("after many") << 150;
}

void KillTest::killedWriterLosesNoPostedRow()
{
    QFETCH(int, rowsBeforeKill);
    FreshBase base;
    QProcess child;
    child.start(KUVERTIX_STORE_CHILD, {"post", base.path(), "100000"});
    QVERIFY(child.waitForStarted());
    QList<int> posted;
    QByteArray pending;
    while (posted.size() < rowsBeforeKill) {
        QVERIFY2(child.waitForReadyRead(30000), "the writer stopped before it was killed");
        pending += child.readAllStandardOutput();
        int nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            posted << pending.left(nl).toInt();
            pending.remove(0, nl + 1);
        }
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    pending += child.readAllStandardOutput();
    for (const QByteArray &line : pending.split('\n'))
        if (!line.isEmpty())
            posted << line.toInt();

    store::Tables t;
    t.openAllIn(base.path());
    QCOMPARE(t.Table2.integrityCheck(), QStringLiteral("ok"));
    QSet<int> stored;
    t.Table2.setIndexName(QString());
    for (t.Table2.first(); !t.Table2.eof(); t.Table2.next())
        stored << t.Table2.asInteger("N");
    for (int n : posted)
        QVERIFY2(stored.contains(n), qPrintable(QStringLiteral("row %1 lost").arg(n)));
    QVERIFY(stored.size() >= posted.size());
}

QTEST_GUILESS_MAIN(KillTest)
#include "tst_kill.moc"
