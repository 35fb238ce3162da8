// PDF output: the page is exactly the paper, nothing is shifted, the text is
// real text, and unusable paper sizes are refused with a message.
#include "tests/support/ink.h"
#include "tests/support/pdfread.h"

#include "report/page.h"
#include "report/renderer.h"
#include "report/reporterror.h"

#include <QtTest>

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

void addFrame(report::ReportPage &page, const QString &name, const QRect &box)
{
    page.addText(name, box).setFillStyle(report::ReportText::FillStyle::Clear);
}

} // namespace

class TestReportPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageIsThePaperSize_data();
    void pageIsThePaperSize();
    void nothingIsShifted();
    void textIsRealTextAtItsBox();
    void unusablePaperIsRefused_data();
    void unusablePaperIsRefused();
    void unwritableFileIsReported();

private:
    QTemporaryDir m_dir;
};

void TestReportPdf::initTestCase()
{
    if (!pdfread::toolsAvailable())
        QSKIP("poppler-utils (pdfinfo, pdftoppm, pdftotext) are not installed");
    QVERIFY(m_dir.isValid());
}

void TestReportPdf::pageIsThePaperSize_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("DL by its code") << int(report::ReportPage::PaperDL) << 220.0 << 110.0;
    QTest::newRow("custom DL") << int(report::ReportPage::PaperCustom) << 220.0 << 110.0;
    QTest::newRow("C5") << int(report::ReportPage::PaperCustom) << 229.0 << 162.0;
    QTest::newRow("C6") << int(report::ReportPage::PaperCustom) << 162.0 << 114.0;
    QTest::newRow("C4") << int(report::ReportPage::PaperCustom) << 324.0 << 229.0;
    QTest::newRow("fractional") << int(report::ReportPage::PaperCustom) << 175.5 << 98.3;
    QTest::newRow("taller than wide stays as given") << int(report::ReportPage::PaperCustom) << 110.0 << 220.0;
}

void TestReportPdf::pageIsThePaperSize()
{
    QFETCH(int, code);
    QFETCH(double, width);
    QFETCH(double, height);
    report::ReportPage page;
    if (code == report::ReportPage::PaperCustom)
        page.setCustomPaperSize(width, height);
    else
        page.setPaperSizeCode(code);
    const QString pdf = m_dir.filePath(QStringLiteral("size.pdf"));
    report::writeReportPagePdf(page, pdf);
    QCOMPARE(pdfread::pageCount(pdf), 1);
    const QSizeF points = pdfread::pageSizePoints(pdf);
    // Qt keeps page sizes in whole points: at most half a point (0.18 mm) off.
    QVERIFY2(qAbs(points.width() - width * PointsPerMm) <= 0.5
                 && qAbs(points.height() - height * PointsPerMm) <= 0.5,
             qPrintable(QStringLiteral("page is %1 x %2 pt").arg(points.width()).arg(points.height())));
}

void TestReportPdf::nothingIsShifted()
{
    report::ReportPage page;
    page.setCustomPaperSize(229, 162);
    const QSizeF units = page.sizeUnits();
    const int right = int(units.width()); // 865 units: the last whole unit is 864
    const int bottom = int(units.height());
    addFrame(page, QStringLiteral("corner"), QRect(0, 0, 20, 20));
    addFrame(page, QStringLiteral("farCorner"), QRect(right - 20, bottom - 20, 20, 20));
    addFrame(page, QStringLiteral("Index"), QRect(208, 132, 60, 15));
    const QString pdf = m_dir.filePath(QStringLiteral("shift.pdf"));
    report::writeReportPagePdf(page, pdf);

    const QImage image = pdfread::rasterize(pdf);
    QCOMPARE(image.width(), qRound(229 * 96 / 25.4));
    QCOMPARE(ink::bounds(image, QRect(0, 0, 40, 40)), QRect(0, 0, 20, 20));
    QCOMPARE(ink::bounds(image, QRect(right - 40, bottom - 40, 40, 40)),
             QRect(right - 20, bottom - 20, 20, 20));
    QCOMPARE(ink::bounds(image, QRect(150, 100, 200, 100)), QRect(208, 132, 60, 15));
}

void TestReportPdf::textIsRealTextAtItsBox()
{
    report::ReportPage page;
    page.setPaperSizeCode(report::ReportPage::PaperDL);
    report::ReportText &komu = page.addText(QStringLiteral("Komu"), QRect(94, 83, 321, 15));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    komu.setFont(font);
    komu.setText(QStringLiteral("Получателеву Получателю Получателевичу"));
    const QString pdf = m_dir.filePath(QStringLiteral("text.pdf"));
    report::writeReportPagePdf(page, pdf);

    const auto words = pdfread::words(pdf);
    QCOMPARE(words.size(), 3);
    QCOMPARE(words[0].text, QStringLiteral("Получателеву"));
    QCOMPARE(words[2].text, QStringLiteral("Получателевичу"));
    const double unit = 72.0 / 96.0;
    // The first word starts at the left margin; the line lies in the box's
    // first line, below its top margin.
    QVERIFY2(qAbs(words[0].box.left() - (94 + 2) * unit) <= 1.0,
             qPrintable(QString::number(words[0].box.left())));
    QVERIFY(words[0].box.top() >= (83 + 1) * unit - 0.5);
    QVERIFY(words[0].box.top() <= (83 + 1 + 4) * unit);
    for (const auto &word : words) {
        QVERIFY(qAbs(word.box.top() - words[0].box.top()) < 0.01);
        QVERIFY(word.box.right() <= (94 + 321 - 2) * unit + 0.5);
    }
}

void TestReportPdf::unusablePaperIsRefused_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("zero width") << 0.0 << 110.0;
    QTest::newRow("zero height") << 220.0 << 0.0;
    QTest::newRow("negative") << -220.0 << 110.0;
    QTest::newRow("not a number") << qQNaN() << 110.0;
    QTest::newRow("infinite") << qInf() << 110.0;
    QTest::newRow("absurdly large") << 1e7 << 110.0;
}

void TestReportPdf::unusablePaperIsRefused()
{
    QFETCH(double, width);
    QFETCH(double, height);
    report::ReportPage page;
    page.setCustomPaperSize(width, height);
    page.addText(QStringLiteral("Komu"), QRect(10, 10, 100, 15)).setText(QStringLiteral("x"));
    QVERIFY(!page.paperProblem().isEmpty());
    const QString pdf = m_dir.filePath(QStringLiteral("bad.pdf"));
    QFile::remove(pdf);
    try {
        report::writeReportPagePdf(page, pdf);
        QFAIL("an unusable paper size was rendered");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::BadPaperSize);
        QVERIFY(error.message().startsWith(QStringLiteral("Неверный размер конверта")));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }
    QVERIFY(!QFile::exists(pdf));
    QVERIFY_THROWS_EXCEPTION(report::ReportError, report::renderReportPageToImage(page));
}

void TestReportPdf::unwritableFileIsReported()
{
    report::ReportPage page;
    try {
        report::writeReportPagePdf(page, m_dir.filePath(QStringLiteral("no/such/folder/page.pdf")));
        QFAIL("writing into a missing folder succeeded");
    } catch (const report::ReportError &error) {
        QCOMPARE(error.kind(), report::ReportError::Kind::OutputFailed);
        QVERIFY(error.message().contains(QStringLiteral("no/such/folder")));
    }
}

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
