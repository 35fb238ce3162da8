// The envelope preview against the printed page, the preview window's
// clipping notice and stepping, and the calibration sheet's marks.
#include "envelope/calibration.h"
#include "envelope/envelopepage.h"
#include "envelope/ui/envelopepreview.h"
#include "envelope/units.h"
#include "report/renderer.h"
#include "tests/support/ink.h"
#include "tests/support/pdfread.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace envelope;

namespace {

// The shipped DL format of a new installation.
EnvelopeFormat dl()
{
    EnvelopeFormat f;
    f.w = 220;
    f.h = 110;
    f.linesH = 5;
    f.otkogo = {25, 8, 11, 80};
    f.otkuda = {25, 20, 16, 80};
    f.otindex = {25, 41, 5, 22};
    f.komu = {110, 50, 16, 100};
    f.kuda = {110, 67, 27, 100};
    f.index = {110, 98, 5, 22};
    f.logo = {108, 6, 18, 25};
    f.comment = {120, 30, 16, 53};
    f.zipL = 10;
    f.zipT = 88;
    return f;
}

EnvelopeTexts texts(const QString &komu = QStringLiteral("Иванову Ивану Ивановичу"))
{
    return {komu, QStringLiteral("ул. Ленина, д. 1, кв. 2, г. Москва"), QStringLiteral("101000"),
            QStringLiteral("ООО \"Северная звезда\""), QStringLiteral("ул. Садовая, д. 5, г. Тверь"),
            QStringLiteral("170000")};
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void previewAndPrintedPageAgree_data();
    void previewAndPrintedPageAgree();
    void windowNamesClippedBoxesAndStepsThroughTheRun();
    void calibrationMarksFollowTheOffset_data();
    void calibrationMarksFollowTheOffset();
};

void TestPreview::initTestCase()
{
    QFontDatabase::addApplicationFont(QStringLiteral(KUVERTIX_PROGRAM_DIR "/Kuvertix ZIPcode.ttf"));
}

void TestPreview::previewAndPrintedPageAgree_data()
{
    QTest::addColumn<QString>("object");
    for (const QString &name : {obj::Komu, obj::Kuda, obj::Index, obj::OtKogo, obj::ZIPcode, obj::IndexCaption})
        QTest::newRow(qPrintable(name)) << name;
}

// The page the preview shows and the PDF the printer gets, rasterised at
// the same resolution, put their ink at the same spots.
void TestPreview::previewAndPrintedPageAgree()
{
    QFETCH(QString, object);
    report::ReportPage page;
    buildEnvelopeTemplate(page);
    EnvelopeOptions options;
    options.printZipCode = true;
    layOutEnvelope(page, dl(), PrintOffset{1.5 * UnitsPerMm, -2 * UnitsPerMm}, texts(), options);

    EnvelopePreview preview(page);
    preview.resize(900, 480);
    const QImage shown = preview.pageImage();
    const double dpi = shown.dotsPerMeterX() * 0.0254;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    report::writeReportPagePdf(page, pdf);
    const QImage printed = pdfread::rasterize(pdf, pdfread::Shade::Colour, dpi);
    QVERIFY(!printed.isNull());
    QVERIFY(qAbs(printed.width() - shown.width()) <= 1);

    const double scale = dpi / 96.0;
    const QRect box = page.findObject(object)->geometry();
    const QRect area(qFloor(box.left() * scale) - 2, qFloor(box.top() * scale) - 2,
                     qCeil(box.width() * scale) + 4, qCeil(box.height() * scale) + 4);
    const QRect a = ink::bounds(shown, area, 128);
    const QRect b = ink::bounds(printed, area, 128);
    QVERIFY2(!a.isNull(), "no ink in the preview");
    const int tolerance = 2;  // anti-aliasing of two rasterisers
    QVERIFY2(qAbs(a.left() - b.left()) <= tolerance && qAbs(a.top() - b.top()) <= tolerance
                 && qAbs(a.right() - b.right()) <= tolerance && qAbs(a.bottom() - b.bottom()) <= tolerance,
             qPrintable(QStringLiteral("preview %1,%2 %3x%4, printed %5,%6 %7x%8")
                            .arg(a.left()).arg(a.top()).arg(a.width()).arg(a.height())
                            .arg(b.left()).arg(b.top()).arg(b.width()).arg(b.height())));
}

void TestPreview::windowNamesClippedBoxesAndStepsThroughTheRun()
{
    EnvelopeFormat narrow = dl();
    narrow.komu.h = 5;  // one line
    const QList<EnvelopeTexts> run{texts("Первому"), texts("Второму"), texts(QString(60, QChar(0x0416)))};
    PreviewSource source;
    source.format = [&] { return narrow; };
    source.offset = [] { return PrintOffset{}; };
    source.options = [] { return EnvelopeOptions{}; };
    source.texts = [] { return texts(QStringLiteral("Государственному бюджетному учреждению здравоохранения")); };
    source.runEnvelopes = [&] { return run; };
    EnvelopePreviewWindow window(QStringLiteral("Просмотр конверта"), source, true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *status = window.findChild<QLabel *>(QStringLiteral("LabelPreviewStatus"));
    QCOMPARE(status->text(), QStringLiteral("Не помещается при печати: Кому"));

    window.showRun(true);
    auto *next = window.findChild<QPushButton *>(QStringLiteral("BitBtnPreviewNext"));
    auto *previous = window.findChild<QPushButton *>(QStringLiteral("BitBtnPreviewPrevious"));
    QCOMPARE(window.page().text(obj::Komu).text(), QStringLiteral("Первому"));
    QCOMPARE(status->text(), QStringLiteral("Все надписи помещаются в свои поля."));
    QVERIFY(!previous->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(window.page().text(obj::Komu).text(), QStringLiteral("Второму"));
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(window.runPosition(), 2);
    QVERIFY(!next->isEnabled());
    QVERIFY(status->text().contains(QStringLiteral("Кому")));
    QTest::mouseClick(previous, Qt::LeftButton);
    QCOMPARE(window.page().text(obj::Komu).text(), QStringLiteral("Второму"));
}

void TestPreview::calibrationMarksFollowTheOffset_data()
{
    QTest::addColumn<double>("dxMm");
    QTest::addColumn<double>("dyMm");
    QTest::newRow("no offset") << 0.0 << 0.0;
    // Printed too far left and too high: positive offsets move it right and down.
    QTest::newRow("right and down") << 2.0 << 3.0;
    QTest::newRow("left and up") << -2.5 << -1.5;
}

void TestPreview::calibrationMarksFollowTheOffset()
{
    QFETCH(double, dxMm);
    QFETCH(double, dyMm);
    const PrintOffset offset{dxMm * UnitsPerMm, dyMm * UnitsPerMm};
    report::ReportPage page;
    buildCalibrationSheet(page, dl(), offset);
    QCOMPARE(page.sizeMm(), QSizeF(220, 110));
    const QImage image = report::renderReportPageToImage(page);  // 96 dpi: one pixel per unit
    const int arm = roundUnits(CalibrationArmMm * UnitsPerMm);
    for (int corner = 0; corner < 4; ++corner) {
        const QPoint mark = calibrationMark(dl(), offset, corner);
        const double x = (corner % 2 == 0 ? CalibrationMarkMm : 200.0) + dxMm;
        const double y = (corner < 2 ? CalibrationMarkMm : 90.0) + dyMm;
        QCOMPARE(mark, QPoint(roundUnits(x * UnitsPerMm), roundUnits(y * UnitsPerMm)));
        // Both arms of the cross are there, and nothing just beside them
        // (the left arm, up to the vertical one).
        QCOMPARE(ink::bounds(image, QRect(mark.x() - arm - 3, mark.y() - 3, arm + 1, 7), 128),
                 QRect(mark.x() - arm, mark.y(), arm - 2, 1));
        QVERIFY(ink::count(image, QRect(mark.x() - 2, mark.y() - arm, 5, 2 * arm + 1), 128) >= 2 * arm);
    }
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
