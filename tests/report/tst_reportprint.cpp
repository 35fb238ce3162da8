// Printing through the real spooler. The machine's default destination must
// be the capture queue that tools/setup-printing.sh creates: its backend
// stores every job's document as job-<number>.pdf in the capture folder
// (KUVERTIX_CAPTURE_DIR, by default /var/spool/kuvertix-capture).
// Without a spooler the test is skipped, unless KUVERTIX_REQUIRE_CUPS is set.
#include "tests/support/ink.h"
#include "tests/support/pdfread.h"
#include "tests/support/printedjobs.h"
#include "tests/support/services.h"

#include "report/page.h"
#include "report/printer.h"
#include "report/reporterror.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;
using printedjobs::captureDir;
using printedjobs::waitForJob;

void buildEnvelope(report::ReportPage &page, double width, double height, const QString &name)
{
    page.setCustomPaperSize(width, height);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    report::ReportText &komu = page.addText(QStringLiteral("Komu"), QRect(94, 83, 321, 15));
    komu.setFont(font);
    komu.setText(name);
    report::ReportText &index = page.addText(QStringLiteral("Index"), QRect(208, 132, 60, 15));
    index.setFont(font);
    index.setText(QStringLiteral("000002"));
    index.setFillStyle(report::ReportText::FillStyle::Clear);
    page.addText(QStringLiteral("corner"), QRect(0, 0, 10, 10)).setFillColor(Qt::black);
}

// Where the cups-pdf queue Kuvertix_PDF stores this user's output: the "Out"
// folder of cups-pdf's configuration (by default the PDF folder in the
// user's home as the password database has it), or KUVERTIX_CUPS_PDF_DIR.
QString cupsPdfDir()
{
    const QString dir = qEnvironmentVariable("KUVERTIX_CUPS_PDF_DIR");
    if (!dir.isEmpty())
        return dir;
    const passwd *user = getpwuid(getuid());
    const QString home = user ? QFile::decodeName(user->pw_dir) : QDir::homePath();
    const QString name = user ? QFile::decodeName(user->pw_name) : QString();
    QString out = QStringLiteral("${HOME}/PDF");
    QFile config(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (config.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray &line : config.readAll().split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.startsWith("Out ") || trimmed.startsWith("Out\t"))
                out = QString::fromUtf8(trimmed.mid(4).trimmed());
        }
    }
    out.replace(QStringLiteral("${HOME}"), home);
    out.replace(QStringLiteral("${USER}"), name);
    return out;
}

QSet<QString> pdfFilesIn(const QString &dir)
{
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

// Waits (at most 60 s) for a PDF that was not there before and that pdfinfo
// reads completely.
QString waitForNewPdf(const QString &dir, const QSet<QString> &before)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000) {
        for (const QString &name : pdfFilesIn(dir) - before) {
            const QString path = dir + QLatin1Char('/') + name;
            if (pdfread::pageCount(path) > 0)
                return path;
        }
        QThread::msleep(100);
    }
    return QString();
}

// Puts libcups back on the machine's own scheduler after a test pointed it
// elsewhere.
struct ServerGuard
{
    ~ServerGuard() { cupsSetServer(nullptr); }
};

} // namespace

class TestReportPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eachPageIsOneJobOfItsExactSize_data();
    void eachPageIsOneJobOfItsExactSize();
    void pdfPrinterKeepsSizeAndPositions();
    void refusedJobNamesThePrinter();
    void unusablePaperIsNotSubmitted();
    void missingSpoolerIsReported();
    void missingDefaultPrinterIsReported();
};

void TestReportPrint::initTestCase()
{
    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
}

void TestReportPrint::eachPageIsOneJobOfItsExactSize_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("DL") << 220.0 << 110.0;
    QTest::newRow("C5") << 229.0 << 162.0;
    QTest::newRow("C4") << 324.0 << 229.0;
}

void TestReportPrint::eachPageIsOneJobOfItsExactSize()
{
    QFETCH(double, width);
    QFETCH(double, height);
    const QString name = QStringLiteral("Получателю %1").arg(QTest::currentDataTag());
    report::ReportPage page;
    buildEnvelope(page, width, height, name);

    const report::ReportPrinter printer;
    const QDateTime submitted = QDateTime::currentDateTime();
    const int first = printer.print(page, QStringLiteral("Kuvertix test"));
    const int second = printer.print(page, QStringLiteral("Kuvertix test"));
    QVERIFY(first > 0);
    QVERIFY(second != first);

    for (const int job : {first, second}) {
        const QString pdf = waitForJob(job, submitted);
        QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("job %1 was not stored").arg(job)));
        QCOMPARE(pdfread::pageCount(pdf), 1);
        const QSizeF points = pdfread::pageSizePoints(pdf);
        QVERIFY2(points.width() > points.height(), "the long side is not horizontal");
        QVERIFY2(qAbs(points.width() - width * PointsPerMm) <= 0.5
                     && qAbs(points.height() - height * PointsPerMm) <= 0.5,
                 qPrintable(QStringLiteral("page %1 x %2 pt").arg(points.width()).arg(points.height())));

        const QImage image = pdfread::rasterize(pdf);
        QCOMPARE(ink::bounds(image, QRect(0, 0, 30, 30)), QRect(0, 0, 10, 10));
        QCOMPARE(ink::bounds(image, QRect(200, 125, 80, 30)), QRect(208, 132, 60, 15));
        const QRect text = ink::bounds(image, QRect(90, 80, 340, 20));
        QVERIFY(!text.isNull());
        QVERIFY(text.left() >= 94 + 2 - 1 && text.left() <= 94 + 2 + 2);

        const auto words = pdfread::words(pdf);
        QVERIFY(!words.isEmpty());
        QCOMPARE(words.first().text, QStringLiteral("Получателю"));
        QFile::remove(pdf);
    }
}

void TestReportPrint::pdfPrinterKeepsSizeAndPositions()
{
    // The whole filter chain of a PDF printer: the spooled page keeps its size
    // and every mark stays at its pixel.
    const QString queue = QStringLiteral("Kuvertix_PDF");
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
    REQUIRE_OR_SKIP(dest ? QString() : QStringLiteral("the cups-pdf queue Kuvertix_PDF is missing; "
                                                      "run tools/setup-printing.sh"));
    cupsFreeDests(1, dest);

    report::ReportPage page;
    buildEnvelope(page, 229, 162, QStringLiteral("Получателю"));
    const QString dir = cupsPdfDir();
    const QSet<QString> before = pdfFilesIn(dir);
    QVERIFY(report::ReportPrinter(queue).print(page, QStringLiteral("kuvertix-c5")) > 0);
    const QString pdf = waitForNewPdf(dir, before);
    QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("no new PDF in %1").arg(dir)));
    const QSizeF points = pdfread::pageSizePoints(pdf);
    QVERIFY2(qAbs(points.width() - 229 * PointsPerMm) <= 1.0
                 && qAbs(points.height() - 162 * PointsPerMm) <= 1.0,
             qPrintable(QStringLiteral("page %1 x %2 pt").arg(points.width()).arg(points.height())));
    const QImage image = pdfread::rasterize(pdf);
    QCOMPARE(ink::bounds(image, QRect(0, 0, 30, 30)), QRect(0, 0, 10, 10));
    QCOMPARE(ink::bounds(image, QRect(200, 125, 80, 30)), QRect(208, 132, 60, 15));
    QFile::remove(pdf);
}

void TestReportPrint::refusedJobNamesThePrinter()
{
    report::ReportPage page;
    buildEnvelope(page, 220, 110, QStringLiteral("Получателю"));
    const QString missing = QStringLiteral("Kuvertix_No_Such_Printer");
    try {
        report::ReportPrinter(missing).print(page);
        QFAIL("a job for a printer that does not exist was reported as printed");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::JobRefused);
        QCOMPARE(error.printerName(), missing);
        QVERIFY(error.message().startsWith(QStringLiteral("Принтер «Kuvertix_No_Such_Printer» не принял задание печати: ")));
        QVERIFY(!error.message().contains(QStringLiteral("..")));
    }
}

void TestReportPrint::unusablePaperIsNotSubmitted()
{
    report::ReportPage page;
    buildEnvelope(page, 0, 110, QStringLiteral("Получателю"));
    // Other tests print to the same queue meanwhile: the spooler is asked
    // for a job of this title, not the capture folder for a count.
    const QByteArray title = "Kuvertix width 0 " + QByteArray::number(::getpid());
    try {
        report::ReportPrinter().print(page, QString::fromUtf8(title));
        QFAIL("a page of width 0 was printed");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::BadPaperSize);
    }
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QVERIFY2(count >= 0, cupsLastErrorString());
    int titled = 0;
    for (int i = 0; i < count; ++i)
        titled += title == jobs[i].title;
    cupsFreeJobs(count, jobs);
    QCOMPARE(titled, 0);
}

void TestReportPrint::missingSpoolerIsReported()
{
    ServerGuard guard;
    cupsSetServer("/nonexistent/kuvertix-cups.sock");
    report::ReportPage page;
    buildEnvelope(page, 220, 110, QStringLiteral("Получателю"));
    try {
        report::ReportPrinter().print(page);
        QFAIL("printing without a spooler was reported as done");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::SpoolerUnreachable);
        QVERIFY(error.message().startsWith(QStringLiteral("Служба печати не отвечает")));
    }
}

void TestReportPrint::missingDefaultPrinterIsReported()
{
    // A user default naming a queue that does not exist leaves no default.
    qputenv("LPDEST", "Kuvertix_Removed_Printer");
    const auto restore = qScopeGuard([] { qunsetenv("LPDEST"); });
    QCOMPARE(report::ReportPrinter::defaultPrinterName(), QString());
    report::ReportPage page;
    buildEnvelope(page, 220, 110, QStringLiteral("Получателю"));
    try {
        report::ReportPrinter().print(page);
        QFAIL("printing without a default printer was reported as done");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::NoDefaultPrinter);
        QVERIFY(error.message().startsWith(QStringLiteral("Принтер не установлен")));
        QVERIFY(error.printerName().isEmpty());
    }
}

QTEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
