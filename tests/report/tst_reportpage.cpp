// The page as a container of named objects and its paper.
#include "report/page.h"

#include <QtTest>

class TestReportPage : public QObject
{
    Q_OBJECT

private slots:
    void objectsAreFoundByNameAndKind();
    void namesAreUnique();
    void missingObjectsAreNamedInTheError();
    void geometryChangesKeepTheRest();
    void paperCodes();
    void paperProblems_data();
    void paperProblems();
    void hugePicturesAreStoredScaledDown();
};

void TestReportPage::objectsAreFoundByNameAndKind()
{
    report::ReportPage page;
    report::ReportText &komu = page.addText(QStringLiteral("Komu"), QRect(94, 83, 321, 15));
    report::ReportPicture &logo = page.addPicture(QStringLiteral("Logo"), QRect(34, 178, 42, 38));
    QCOMPARE(page.findObject(QStringLiteral("Komu")), &komu);
    QCOMPARE(page.findText(QStringLiteral("Komu")), &komu);
    QCOMPARE(page.findPicture(QStringLiteral("Logo")), &logo);
    QCOMPARE(&page.text(QStringLiteral("Komu")), &komu);
    // Names are case-sensitive: the caption "Komu_" and "komu" are others.
    QVERIFY(!page.findObject(QStringLiteral("komu")));
    QVERIFY(!page.findObject(QStringLiteral("Komu_")));
    // Asking for the wrong kind finds nothing.
    QVERIFY(!page.findPicture(QStringLiteral("Komu")));
    QVERIFY(!page.findText(QStringLiteral("Logo")));
    // Painting order is the order of adding.
    QCOMPARE(page.objects().size(), size_t(2));
    QCOMPARE(page.objects().front().get(), &komu);
}

void TestReportPage::namesAreUnique()
{
    report::ReportPage page;
    page.addText(QStringLiteral("Index"), QRect());
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, page.addText(QStringLiteral("Index"), QRect()));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, page.addPicture(QStringLiteral("Index"), QRect()));
    QCOMPARE(page.objects().size(), size_t(1));
}

void TestReportPage::missingObjectsAreNamedInTheError()
{
    report::ReportPage page;
    page.addPicture(QStringLiteral("Logo"), QRect());
    try {
        page.text(QStringLiteral("Logo"));
        QFAIL("a picture was returned as text");
    } catch (const std::out_of_range &error) {
        QVERIFY(QString::fromUtf8(error.what()).contains(QStringLiteral("Logo")));
    }
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, page.picture(QStringLiteral("ZIPcode")));
}

void TestReportPage::geometryChangesKeepTheRest()
{
    report::ReportPage page;
    report::ReportText &zip = page.addText(QStringLiteral("ZIPcode"), QRect(35, 321, 253, 64));
    zip.moveTo(-2, 500);
    QCOMPARE(zip.geometry(), QRect(-2, 500, 253, 64));
    zip.setLeft(33);
    zip.setTop(-4);
    QCOMPARE(zip.geometry(), QRect(33, -4, 253, 64));
    zip.resize(100, 20);
    QCOMPARE(zip.geometry(), QRect(33, -4, 100, 20));
    zip.setWidth(-5); // a negative size from a broken format means no box
    QCOMPARE(zip.geometry(), QRect(33, -4, 0, 20));
    QVERIFY(zip.isVisible());
    zip.hide();
    QVERIFY(!zip.isVisible());
    zip.setVisible(true);
    QVERIFY(zip.isVisible());
}

void TestReportPage::paperCodes()
{
    report::ReportPage page;
    QCOMPARE(page.paperSizeCode(), int(report::ReportPage::PaperDL));
    QCOMPARE(page.sizeMm(), QSizeF(220, 110));
    page.setCustomPaperSize(229.5, 162.25);
    QCOMPARE(page.paperSizeCode(), 256);
    QCOMPARE(page.sizeMm(), QSizeF(229.5, 162.25));
    QCOMPARE(page.sizeUnits().width(), 229.5 * 96 / 25.4);
    page.setPaperSizeCode(report::ReportPage::PaperCustom);
    QCOMPARE(page.sizeMm(), QSizeF(229.5, 162.25));
    page.setPaperSizeCode(27);
    QCOMPARE(page.sizeMm(), QSizeF(220, 110));
}

void TestReportPage::paperProblems_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("problem");
    QTest::newRow("usable") << 229.0 << 162.0 << QString();
    QTest::newRow("tiny but positive") << 0.1 << 0.1 << QString();
    QTest::newRow("zero") << 0.0 << 0.0 << QStringLiteral("Неверный размер конверта: 0 × 0 мм. Длина и ширина конверта должны быть больше нуля.");
    QTest::newRow("negative height") << 220.0 << -1.5 << QStringLiteral("Неверный размер конверта: 220 × -1.5 мм. Длина и ширина конверта должны быть больше нуля.");
    QTest::newRow("too long") << 6000.0 << 110.0 << QStringLiteral("Неверный размер конверта: 6000 × 110 мм. Длина и ширина конверта не могут превышать 5000 мм.");
}

void TestReportPage::paperProblems()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, problem);
    report::ReportPage page;
    page.setCustomPaperSize(width, height);
    QCOMPARE(page.paperProblem(), problem);
}

void TestReportPage::hugePicturesAreStoredScaledDown()
{
    report::ReportPage page;
    report::ReportPicture &logo = page.addPicture(QStringLiteral("Logo"), QRect(34, 178, 42, 38));
    QVERIFY(!logo.hasPicture());
    logo.setPicture(QImage(8000, 2000, QImage::Format_RGB32));
    QCOMPARE(logo.picture().size(), QSize(2048, 512));
    logo.setPicture(QImage(300, 200, QImage::Format_RGB32));
    QCOMPARE(logo.picture().size(), QSize(300, 200));
    logo.clearPicture();
    QVERIFY(!logo.hasPicture());
}

QTEST_MAIN(TestReportPage)
#include "tst_reportpage.moc"
