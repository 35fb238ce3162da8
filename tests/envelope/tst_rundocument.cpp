// A run saved as one PDF file: a run that stops, or has no envelope, leaves
// no file behind and an earlier file of that name as it was. (That the
// pages are the printed envelopes is checked against the spooler's jobs in
// tst_printruncups.)

#include "envelope/envelopeprinter.h"
#include "envelope/rundocument.h"
#include "tests/support/printrunfixture.h"
#include "report/reporterror.h"

#include <QDir>
#include <QtTest>

using namespace envelope;

class TestRunDocument : public QObject {
    Q_OBJECT
private slots:
    void stoppedRunLeavesTheEarlierFile_data();
    void stoppedRunLeavesTheEarlierFile();
};

void TestRunDocument::stoppedRunLeavesTheEarlierFile_data()
{
    QTest::addColumn<QString>("stop");
    QTest::newRow("cancelled at the second envelope") << "cancel";
    QTest::newRow("format of zero width") << "paper";
    QTest::newRow("no envelope in the run") << "empty";
    QTest::newRow("complete") << "";
}

void TestRunDocument::stoppedRunLeavesTheEarlierFile()
{
    QFETCH(QString, stop);
    printruntest::Data d;
    d.standardSetup();
    for (const QString &name : {QStringLiteral("Акулов"), QStringLiteral("Белкина"), QStringLiteral("Волков")})
        d.addRecipient(name, QStringLiteral("Москва"), QStringLiteral("101000"), stop != "empty");
    if (stop == "paper") {
        d.tables.Table4.edit();
        d.tables.Table4.setValue(QStringLiteral("W"), 0);
        d.tables.Table4.post();
    }
    QDir folder(d.dir.filePath(QStringLiteral("out")));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    QFile file(folder.filePath(QStringLiteral("run.pdf")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier") == 7);
    file.close();

    EnvelopePrinter printer(d.tables);
    EnvelopeRun run{d.tables.Table2, printer, senderOfSettingsRow(d.tables.Table1),
                    {runs::PrintScope::Marked, false}, [stop](int number, int) {
                        if (number == 2 && stop == "cancel")
                            throw RunCancelled{};
                    }};
    if (stop == "cancel")
        QVERIFY_THROWS_EXCEPTION(RunCancelled, saveRunPdf(run, file.fileName()));
    else if (stop == "paper")
        QVERIFY_THROWS_EXCEPTION(report::ReportError, saveRunPdf(run, file.fileName()));
    else
        QCOMPARE(saveRunPdf(run, file.fileName()), stop == "empty" ? 0 : 3);

    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("run.pdf")});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().startsWith("%PDF"), stop.isEmpty());
}

QTEST_MAIN(TestRunDocument)
#include "tst_rundocument.moc"
