// Printing when the spooler's queue is full or the temporary folder has no
// room. The full queue comes from a private scheduler with a small job limit
// on a socket of its own, so the machine's scheduler is never disturbed.

#include "tests/support/smalldisk.h"

#include "report/page.h"
#include "report/printer.h"
#include "report/reporterror.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cups/cups.h>

namespace {

const QString Queue = QStringLiteral("Kuvertix_Slow");

// A scheduler of its own: its folders in a temporary folder, a local socket
// and no network port, jobs going to /dev/null once the queue is enabled.
class PrivateSpooler {
public:
    explicit PrivateSpooler(int maxJobs)
    {
        for (const char *sub : {"etc", "spool", "tmp", "cache", "state", "log"})
            QDir(m_root.path()).mkdir(QString::fromLatin1(sub));
        write("etc/cupsd.conf", QStringLiteral("Listen %1\nMaxJobs %2\nPreserveJobHistory No\n"
                                               "PreserveJobFiles No\nLogLevel warn\nBrowsing No\n"
                                               "WebInterface No\n<Location />\n  Order allow,deny\n"
                                               "  Allow all\n</Location>\n<Location /admin>\n"
                                               "  Order allow,deny\n  Allow all\n</Location>\n")
                                    .arg(socket())
                                    .arg(maxJobs));
        write("etc/cups-files.conf",
              QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
                             "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                             "PageLog %1/log/page_log\nFileDevice Yes\n")
                  .arg(m_root.path()));
        if (!QFile::exists(QStringLiteral("/usr/sbin/cupsd"))) {
            m_reason = QStringLiteral("no CUPS scheduler installed");
            return;
        }
        m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                      {"-f", "-c", m_root.filePath("etc/cupsd.conf"), "-s", m_root.filePath("etc/cups-files.conf")});
        for (int i = 0; i < 100 && !QFile::exists(socket()); ++i)
            QThread::msleep(50);
        if (!QFile::exists(socket()) || !admin("lpadmin", {"-p", Queue, "-v", "file:///dev/null", "-m", "raw"})
            || !admin("cupsaccept", {Queue}) || !admin("cupsdisable", {Queue})) {
            m_reason = QStringLiteral("the private scheduler did not start (needs root): %1")
                           .arg(QString::fromLocal8Bit(m_cupsd.readAllStandardError()));
            return;
        }
        m_ok = true;
    }
    ~PrivateSpooler()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished(5000);
    }
    bool ok() const { return m_ok; }
    QString reason() const { return m_reason; }
    QString socket() const { return m_root.filePath("cups.sock"); }
    bool admin(const QString &tool, QStringList args)
    {
        args.prepend(socket());
        args.prepend(QStringLiteral("-h"));
        QProcess p;
        p.start(tool, args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    }

private:
    void write(const char *name, const QString &text)
    {
        QFile f(m_root.filePath(QString::fromLatin1(name)));
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }
    QTemporaryDir m_root;
    QProcess m_cupsd;
    bool m_ok = false;
    QString m_reason;
};

void buildPage(report::ReportPage &page)
{
    page.setCustomPaperSize(220, 110);
    report::ReportText &komu = page.addText(QStringLiteral("Komu"), QRect(94, 83, 321, 15));
    komu.setText(QStringLiteral("Иванов Иван Иванович"));
}

} // namespace

class TestReportFaults : public QObject {
    Q_OBJECT
private slots:
    void fullQueueIsWaitedOut();
    void fullTemporaryFolderIsNamed();
};

void TestReportFaults::fullQueueIsWaitedOut()
{
    const int limit = 5;
    PrivateSpooler spooler(limit);
    if (!spooler.ok())
        QSKIP(qPrintable(spooler.reason()));
    cupsSetServer(QFile::encodeName(spooler.socket()).constData());
    report::ReportPage page;
    buildPage(page);
    // The queue drains only while the test lets it: each time the run has to
    // wait, the printer is started, and once the waiting job is taken it is
    // stopped again, so the queue fills up again and again.
    int waits = 0;
    bool waiting = false;
    report::ReportPrinter::setQueueWait([&](int pending) {
        if (!waiting && pending >= limit) {
            waiting = true;
            ++waits;
            spooler.admin("cupsenable", {Queue});
        }
        return true;
    });
    QSet<int> jobs;
    for (int i = 0; i < 3 * limit; ++i) {
        jobs << report::ReportPrinter(Queue).print(page);
        if (waiting)
            spooler.admin("cupsdisable", {Queue});
        waiting = false;
    }
    report::ReportPrinter::setQueueWait({});
    cupsSetServer(nullptr);
    QCOMPARE(jobs.size(), 3 * limit);
    QVERIFY(!jobs.contains(0));
    QVERIFY2(waits >= 2, qPrintable(QString::number(waits)));
}

void TestReportFaults::fullTemporaryFolderIsNamed()
{
    SmallDisk disk(256);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    PrivateSpooler spooler(5);
    if (!spooler.ok())
        QSKIP(qPrintable(spooler.reason()));
    cupsSetServer(QFile::encodeName(spooler.socket()).constData());
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(disk.path()));
    disk.fill(2048);  // room for a few bytes of the document, not for all of it
    report::ReportPage page;
    buildPage(page);
    try {
        report::ReportPrinter(Queue).print(page);
        QFAIL("a document that does not fit was submitted");
    } catch (const report::ReportError &e) {
        QCOMPARE(e.kind(), report::ReportError::Kind::OutputFailed);
        QVERIFY2(e.message().contains(disk.path()) && e.message().contains(QStringLiteral("нет места на диске")),
                 qPrintable(e.message()));
    }
    qputenv("TMPDIR", oldTemp);
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    cupsSetServer(nullptr);
    QCOMPARE(count, 0);  // nothing reached the spooler
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{".filler"});
}

QTEST_MAIN(TestReportFaults)
#include "tst_reportfaults.moc"
