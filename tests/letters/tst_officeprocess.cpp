// The private office process against the installed LibreOffice: it starts
// with its own profile, does work, and leaves no process behind, whether it
// is stopped, destroyed or killed from outside.

#include "letters/office/officeprocess.h"
#include "letters/office/unotext.h"

#include <com/sun/star/text/XTextDocument.hpp>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

using office::OfficeError;
using office::OfficeProcess;

namespace {

// Whether any process of the group still exists.
bool groupAlive(pid_t group)
{
    return group > 0 && ::kill(-group, 0) == 0;
}

// The ids of the processes of a group whose command is `name`.
QList<pid_t> groupMembers(pid_t group, const QString &name)
{
    QList<pid_t> found;
    const auto entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (ok && ::getpgid(pid) == group) {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8())
                found << pid;
        }
    }
    return found;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestOfficeProcess : public QObject {
    Q_OBJECT
private slots:
    void missingProgramIsNotInstalled();
    void worksAndStopsWithoutTrace();
    void killedOfficeIsConnectionLostAndLeavesNothing();
};

void TestOfficeProcess::missingProgramIsNotInstalled()
{
    OfficeProcess office(QStringLiteral("/nonexistent/soffice"));
    try {
        office.start();
        QFAIL("started without a program");
    } catch (const OfficeError &e) {
        QCOMPARE(e.kind(), OfficeError::Kind::NotInstalled);
        QVERIFY(!e.message().isEmpty());
    }
    QCOMPARE(office.pid(), 0);
}

void TestOfficeProcess::worksAndStopsWithoutTrace()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("Проба.pdf"));
    pid_t group = 0;
    {
        OfficeProcess office;
        office.start();
        group = office.pid();
        QVERIFY(groupAlive(group));
        auto document = office.call([&] {
            return office.desktop()->loadComponentFromURL(
                "private:factory/swriter", "_blank", 0,
                office::properties({{"Hidden", css::uno::Any(true)}}));
        });
        office.call([&] {
            css::uno::Reference<css::text::XTextDocument> text(document, css::uno::UNO_QUERY_THROW);
            text->getText()->setString(office::toOUString(QStringLiteral("Привет, мир")));
        });
        office.storeCopy(document, pdf, "writer_pdf_Export");
        OfficeProcess::closeDocument(document);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Привет, мир")));

        // A document that is not there is a typed error, and the office stays.
        try {
            office.loadHidden(dir.filePath(QStringLiteral("нет.doc")), true);
            QFAIL("loaded a missing file");
        } catch (const OfficeError &e) {
            QCOMPARE(e.kind(), OfficeError::Kind::DocumentUnreadable);
        }
        QVERIFY(office.isAlive());
        // The destructor ends it.
    }
    QVERIFY(!groupAlive(group));
}

void TestOfficeProcess::killedOfficeIsConnectionLostAndLeavesNothing()
{
    OfficeProcess office;
    office.start();
    const pid_t group = office.pid();
    const QList<pid_t> program = groupMembers(group, QStringLiteral("soffice.bin"));
    QCOMPARE(program.size(), 1);
    ::kill(program.first(), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!office.isAlive(), 20000);
    try {
        office.call([&] { return office.desktop()->getComponents(); });
        QFAIL("a call on a killed office succeeded");
    } catch (const OfficeError &e) {
        QCOMPARE(e.kind(), OfficeError::Kind::ConnectionLost);
    }
    office.stop();
    QVERIFY(!groupAlive(group));
    QCOMPARE(office.pid(), 0);
}

QTEST_GUILESS_MAIN(TestOfficeProcess)
#include "tst_officeprocess.moc"
