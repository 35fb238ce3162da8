// The envelope print run end to end through the real spooler. The default
// destination must be the capture queue of tools/setup-printing.sh, which
// stores every job's document; each job is read back with pdftotext. Without
// a spooler the test is skipped, unless KUVERTIX_REQUIRE_CUPS is set.

#include "tests/support/pdfread.h"
#include "tests/support/printedjobs.h"
#include "tests/support/printrunharness.h"
#include "tests/support/services.h"
#include "report/printer.h"

#include <QtTest>

using printruntest::Harness;

namespace {

// Areas of the DL format of the fixture, in points: the sender's boxes at
// the top left, the recipient's at the lower right.
const QRectF SenderArea(0, 0, 300, 120);
const QRectF RecipientArea(300, 150, 323, 161);
// The same areas in pixels at 96 dpi.
const QRect SenderPixels(0, 0, 400, 160);
const QRect RecipientPixels(400, 200, 431, 215);

struct Envelope {
    QStringList recipient;
    QStringList sender;
};

QString person(const QString &name)
{
    return name + QStringLiteral(" г.") + name + QStringLiteral("ск ") + QString::number(100000 + name.size());
}
const QString Sender = QStringLiteral("Отправителев Тверь, Садовая 5 170000");

} // namespace

class TestPrintRunCups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void threeMarkedWithReturnEnvelopes();
    void filterRestrictsTheRuns_data();
    void filterRestrictsTheRuns();
    void declinedSummaryPrintsNothingButKeepsTheHistory();
    void emptyBookPrintsOneEnvelopeForTheCurrentRecipient();
    void oneJobRunAndPdfMatchTheJobsOfOneEnvelope();

private:
    void addPeople(Harness &h);
    QList<Envelope> printed(const Harness &h, const QDateTime &submitted);
};

void TestPrintRunCups::initTestCase()
{
    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
}

void TestPrintRunCups::addPeople(Harness &h)
{
    const auto add = [&h](const QString &name, bool marked, const QString &prim) {
        h.addRecipient(name, QStringLiteral("г.") + name + QStringLiteral("ск"),
                       QString::number(100000 + name.size()), marked, prim);
    };
    add(QStringLiteral("Волков"), true, QStringLiteral("склад"));
    add(QStringLiteral("Акулов"), true, QString());
    add(QStringLiteral("Дятлов"), false, QStringLiteral("склад"));
    add(QStringLiteral("Белкина"), true, QStringLiteral("склад"));
    h.book.selectedCalc();
}

QList<Envelope> TestPrintRunCups::printed(const Harness &h, const QDateTime &submitted)
{
    QList<Envelope> out;
    for (int job : h.jobs) {
        const QString pdf = printedjobs::waitForJob(job, submitted);
        if (pdf.isEmpty()) {
            qWarning("job %d was not stored", job);
            return {};
        }
        const auto words = pdfread::words(pdf);
        out.append({pdfread::wordsIn(words, RecipientArea), pdfread::wordsIn(words, SenderArea)});
    }
    return out;
}

void TestPrintRunCups::threeMarkedWithReturnEnvelopes()
{
    Harness h;
    h.setOutput(envelope::EnvelopePrinter::spoolerOutput());
    addPeople(h);
    h.scope = 1;
    h.setReturnEnvelope(true);
    const QDateTime submitted = QDateTime::currentDateTime();
    QCOMPARE(h.click(), envelope::PrintRunPanel::Outcome::Printed);
    QCOMPARE(h.jobs.size(), 6);
    QCOMPARE(QSet<int>(h.jobs.begin(), h.jobs.end()).size(), 6);  // six jobs, not one

    const QList<Envelope> envelopes = printed(h, submitted);
    QCOMPARE(envelopes.size(), 6);
    const QStringList names{QStringLiteral("Акулов"), QStringLiteral("Белкина"), QStringLiteral("Волков")};
    for (int i = 0; i < 3; ++i) {
        const Envelope &there = envelopes[2 * i];
        const Envelope &back = envelopes[2 * i + 1];
        QCOMPARE(there.recipient, pdfread::sortedWords(person(names[i])));
        QCOMPARE(there.sender, pdfread::sortedWords(Sender));
        QCOMPARE(back.recipient, pdfread::sortedWords(Sender));
        QCOMPARE(back.sender, pdfread::sortedWords(person(names[i])));
    }
    QCOMPARE(h.summaries.size(), 1);
    QVERIFY(h.summaries[0].contains(QStringLiteral("Получатель: Выделенные - 3 шт\n")));
}

void TestPrintRunCups::filterRestrictsTheRuns_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("marked") << 1 << QStringList{QStringLiteral("Белкина"), QStringLiteral("Волков")};
    QTest::newRow("all") << 2
                         << QStringList{QStringLiteral("Белкина"), QStringLiteral("Волков"), QStringLiteral("Дятлов")};
}

void TestPrintRunCups::filterRestrictsTheRuns()
{
    QFETCH(int, scope);
    QFETCH(QStringList, expected);
    Harness h;
    h.setOutput(envelope::EnvelopePrinter::spoolerOutput());
    addPeople(h);
    h.book.setFilterText(QStringLiteral("СКЛАД"));
    h.scope = scope;
    const QDateTime submitted = QDateTime::currentDateTime();
    QCOMPARE(h.click(), envelope::PrintRunPanel::Outcome::Printed);
    const QList<Envelope> envelopes = printed(h, submitted);
    QCOMPARE(envelopes.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(envelopes[i].recipient, pdfread::sortedWords(person(expected[i])));
    QVERIFY(h.summaries.value(0).contains(QStringLiteral(" (фильтр = СКЛАД)\n")));
}

void TestPrintRunCups::declinedSummaryPrintsNothingButKeepsTheHistory()
{
    Harness h;
    h.setOutput(envelope::EnvelopePrinter::spoolerOutput());
    addPeople(h);
    h.book.setFilterText(QStringLiteral("склад"));
    h.scope = 2;
    QCOMPARE(h.click(2), envelope::PrintRunPanel::Outcome::Declined);
    QCOMPARE(h.summaries.size(), 1);
    QVERIFY(h.jobs.isEmpty());
    QCOMPARE(addressbook::historyTexts(h.tables.Table6), QStringList{QStringLiteral("склад")});
}

void TestPrintRunCups::emptyBookPrintsOneEnvelopeForTheCurrentRecipient()
{
    Harness h;
    h.setOutput(envelope::EnvelopePrinter::spoolerOutput());
    h.scope = 0;
    const QDateTime submitted = QDateTime::currentDateTime();
    QCOMPARE(h.click(), envelope::PrintRunPanel::Outcome::Printed);
    const QList<Envelope> envelopes = printed(h, submitted);
    QCOMPARE(envelopes.size(), 1);
    QCOMPARE(envelopes[0].recipient, QStringList{});
    QCOMPARE(envelopes[0].sender, pdfread::sortedWords(Sender));
}

// The same run three ways: one job per envelope, one job of all of them,
// and "В PDF". The one-job run is one job of n pages, and every page of it
// and of the file puts the ink where the job of that envelope puts it.
void TestPrintRunCups::oneJobRunAndPdfMatchTheJobsOfOneEnvelope()
{
    Harness h;
    h.setOutput(envelope::EnvelopePrinter::spoolerOutput());
    addPeople(h);
    h.scope = 1;
    h.setReturnEnvelope(true);
    const QDateTime submitted = QDateTime::currentDateTime();
    QCOMPARE(h.click(), envelope::PrintRunPanel::Outcome::Printed);
    QCOMPARE(h.jobs.size(), 6);
    const QList<int> singleJobs = h.jobs;

    h.oneJob = true;
    h.jobs.clear();
    QCOMPARE(h.click(), envelope::PrintRunPanel::Outcome::Printed);
    QVERIFY(h.jobs.isEmpty());  // no job of a single envelope
    QCOMPARE(h.panel.lastRunPrinted(), 6);
    const QString oneJob = printedjobs::waitForJob(h.printer.lastJob(), submitted);
    QVERIFY2(!oneJob.isEmpty(), "the one job was not stored");
    QCOMPARE(pdfread::texts(oneJob).size(), 6);

    const QString file = h.dir.filePath(QStringLiteral("run.pdf"));
    h.panel.setFileChooser([&file](const QString &) { return file; });
    QCOMPARE(h.panel.BitBtnPdfClick(), envelope::PrintRunPanel::Outcome::Saved);

    for (int k = 0; k < 6; ++k) {
        const QString single = printedjobs::waitForJob(singleJobs[k], submitted);
        QVERIFY(!single.isEmpty());
        for (const QRect &area : {SenderPixels, RecipientPixels}) {
            const auto expected = pdfread::pageInk(single, 1, area);
            QVERIFY(expected.second > 100);
            QCOMPARE(pdfread::pageInk(oneJob, k + 1, area), expected);
            QCOMPARE(pdfread::pageInk(file, k + 1, area), expected);
        }
    }
}

QTEST_MAIN(TestPrintRunCups)
#include "tst_printruncups.moc"
