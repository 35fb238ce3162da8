// A run as one PDF document: its pages are the envelopes of the run in
// order, each the very page printing sends for that envelope, and a run that
// stops leaves no file behind.

#include "envelope/envelopeprinter.h"
#include "envelope/rundocument.h"
#include "pdfpages.h"
#include "printrunfixture.h"
#include "report/renderer.h"
#include "report/reporterror.h"

#include <QDir>
#include <QtTest>

using namespace envelope;

class TestRunDocument : public QObject {
    Q_OBJECT
private slots:
    void pagesAreTheEnvelopesOfTheRunInOrder();
    void stoppedRunLeavesTheEarlierFile_data();
    void stoppedRunLeavesTheEarlierFile();
};

void TestRunDocument::pagesAreTheEnvelopesOfTheRunInOrder()
{
    printruntest::Data d;
    d.standardSetup();
    d.addRecipient(QStringLiteral("Волков"), QStringLiteral("Москва"), QStringLiteral("101000"), true);
    d.addRecipient(QStringLiteral("Акулов"), QStringLiteral("Казань"), QStringLiteral("420000"), false);
    d.addRecipient(QStringLiteral("Белкина"), QStringLiteral("Тула"), QStringLiteral("300000"), true);
    EnvelopePrinter printer(d.tables);
    const QString pdf = d.dir.filePath(QStringLiteral("run.pdf"));
    const EnvelopeTexts sender = senderOfSettingsRow(d.tables.Table1);
    QCOMPARE(saveRunPdf({d.tables.Table2, printer, sender, {addressbook::PrintScope::Marked, true}}, pdf), 4);

    const QStringList texts = pdfpages::texts(pdf);
    QCOMPARE(texts.size(), 4);
    const QString order[] = {QStringLiteral("Белкина Тула 300000"), QStringLiteral("Белкина Тула 300000"),
                             QStringLiteral("Волков Москва 101000"), QStringLiteral("Волков Москва 101000")};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(texts[i].contains(order[i]), qPrintable(texts[i]));
        QVERIFY(texts[i].contains(QStringLiteral("Отправителев Тверь, Садовая 5 170000")));
    }

    // Pages against the one-page PDF a print job of that envelope carries:
    // the same ink at the sender's and at the recipient's places.
    EnvelopeTexts belkina = sender;
    belkina.komu = QStringLiteral("Белкина");
    belkina.kuda = QStringLiteral("Тула");
    belkina.index = QStringLiteral("300000");
    for (const auto &[number, envelope] : {std::pair{1, belkina}, std::pair{2, returnEnvelopeOf(belkina)}}) {
        printer.layOut(envelope);
        const QString single = d.dir.filePath(QStringLiteral("single.pdf"));
        writeReportPagePdf(printer.page(), single);
        const QImage fromRun = pdfpages::page(pdf, number);
        const QImage alone = pdfpages::page(single, 1);
        QCOMPARE(fromRun.size(), alone.size());
        for (const QRect &area : {pdfpages::SenderArea, pdfpages::RecipientArea}) {
            QVERIFY(pdfpages::inkIn(alone, area).count > 100);
            QVERIFY(pdfpages::inkIn(fromRun, area) == pdfpages::inkIn(alone, area));
        }
    }
}

void TestRunDocument::stoppedRunLeavesTheEarlierFile_data()
{
    QTest::addColumn<QString>("stop");
    QTest::newRow("cancelled at the second envelope") << "cancel";
    QTest::newRow("format of zero width") << "paper";
    QTest::newRow("no envelope in the run") << "empty";
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
    const QString pdf = folder.filePath(QStringLiteral("run.pdf"));
    QFile earlier(pdf);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();

    EnvelopePrinter printer(d.tables);
    EnvelopeRun run{d.tables.Table2, printer, senderOfSettingsRow(d.tables.Table1), {addressbook::PrintScope::Marked, false},
                    [](int number, int) {
                        if (number == 2)
                            throw RunCancelled{};
                    }};
    if (stop == "cancel")
        QVERIFY_THROWS_EXCEPTION(RunCancelled, saveRunPdf(run, pdf));
    else if (stop == "paper")
        QVERIFY_THROWS_EXCEPTION(ReportError, saveRunPdf(run, pdf));
    else
        QCOMPARE(saveRunPdf(run, pdf), 0);

    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("run.pdf")});
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));
}

QTEST_MAIN(TestRunDocument)
#include "tst_rundocument.moc"
