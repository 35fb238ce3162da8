// Geometry of rendered pages, checked by pixels on 96 dpi images where one
// page unit is one pixel.
#include "tests/support/ink.h"

#include "report/page.h"
#include "report/renderer.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

// Inner margins of every text box: 2 units left and right, 1 top and bottom;
// 2 units of extra gap between lines unless set otherwise.
namespace {

QFont arialPx(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

// A custom page of 100 x 60 mm (378 x 227 pixels at 96 dpi).
void makeBlankPage(report::ReportPage &page)
{
    page.setCustomPaperSize(100, 60);
}

report::ReportText &addText(report::ReportPage &page, const QRect &box, const QString &text, int px = 15)
{
    report::ReportText &object = page.addText(QStringLiteral("t%1").arg(page.objects().size()), box);
    object.setFont(arialPx(px));
    object.setText(text);
    return object;
}

} // namespace

class TestReportRender : public QObject
{
    Q_OBJECT

private slots:
    void topAlignedTextStartsInsideTheMargins();
    void bottomAlignedTextEndsAboveTheBottomMargin();
    void textWrapsAtWordsToTheInnerWidth();
    void lineGapSeparatesLines_data();
    void lineGapSeparatesLines();
    void lineBreaksOfEveryKindSplitLines_data();
    void lineBreaksOfEveryKindSplitLines();
    void textIsClippedToItsBox();
    void clearFillOutlinesTheBoxAndSolidDoesNot();
    void solidFillColourFillsTheBox();
    void pictureIsScaledAndCentred_data();
    void pictureIsScaledAndCentred();
    void pictureIsOpaque();
    void hiddenObjectsAreNotDrawn();
    void negativePositionsAreNotClamped();
    void degenerateBoxesDrawNothingOutside();
    void higherResolutionScalesEverything();
    void pointSizeFontsPrintAtTheirSize();
    void clippedTextsAreReported_data();
    void clippedTextsAreReported();
};

void TestReportRender::topAlignedTextStartsInsideTheMargins()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(40, 30, 300, 40);
    addText(page, box, QStringLiteral("ЖЖЖ"));
    const QImage image = report::renderReportPageToImage(page);

    const QFontMetricsF metrics(arialPx(15));
    const QRect ink = ink::bounds(image);
    QVERIFY(!ink.isNull());
    const double capTop = box.top() + 1 + metrics.ascent() - metrics.capHeight();
    // The baseline lands on a whole pixel, so the cap top may come out up to
    // a pixel lower than the exact value, never higher.
    QVERIFY2(ink.top() - capTop >= 0 && ink.top() - capTop <= 1.25,
             qPrintable(QStringLiteral("cap top %1, expected %2").arg(ink.top()).arg(capTop)));
    QVERIFY2(ink.left() >= box.left() + 2 - 1
                 && ink.left() <= box.left() + 2 + 2,
             qPrintable(QStringLiteral("ink starts at %1").arg(ink.left())));
}

void TestReportRender::bottomAlignedTextEndsAboveTheBottomMargin()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(40, 30, 300, 40);
    report::ReportText &text = addText(page, box, QStringLiteral("ЖЖЖ"));
    text.setVerticalAlignment(report::ReportText::VerticalAlignment::Bottom);
    const QImage image = report::renderReportPageToImage(page);

    const QFontMetricsF metrics(arialPx(15));
    const double baseline = box.top() + box.height() - 1 - metrics.descent();
    const QRect ink = ink::bounds(image);
    QVERIFY(!ink.isNull());
    // The lowest inked row of a letter without descender sits on the baseline.
    QVERIFY2(qAbs(ink.bottom() + 1 - baseline) <= 0.6,
             qPrintable(QStringLiteral("ink ends at %1, baseline %2").arg(ink.bottom()).arg(baseline)));
}

void TestReportRender::textWrapsAtWordsToTheInnerWidth()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QFontMetricsF metrics(arialPx(15));
    // Room for two words on a line but not for three.
    const int inner = int(std::ceil(metrics.horizontalAdvance(QStringLiteral("ЖЖЖ ЖЖЖ")))) + 3;
    const QRect box(20, 20, inner + 2 + 2, 150);
    addText(page, box, QStringLiteral("ЖЖЖ ЖЖЖ ЖЖЖ ЖЖЖ ЖЖЖ"));
    const QImage image = report::renderReportPageToImage(page);

    const auto bands = ink::rowBands(image, box);
    QCOMPARE(bands.size(), 3);
    const QRect ink = ink::bounds(image);
    QVERIFY(ink.right() <= box.left() + box.width() - 2);
    // The last line holds a single word: it is narrower than the first.
    const QRect first = ink::bounds(image, QRect(box.left(), bands[0].first, box.width(),
                                                 bands[0].second - bands[0].first + 1));
    const QRect last = ink::bounds(image, QRect(box.left(), bands[2].first, box.width(),
                                                bands[2].second - bands[2].first + 1));
    QVERIFY(last.width() * 2 < first.width());
}

void TestReportRender::lineGapSeparatesLines_data()
{
    QTest::addColumn<double>("gap");
    QTest::addColumn<bool>("bottom");
    QTest::newRow("default gap") << 2.0 << false;
    QTest::newRow("no gap") << 0.0 << false;
    QTest::newRow("wide gap") << 11.8299 << false;
    QTest::newRow("negative gap") << -3.7929 << false;
    QTest::newRow("negative gap, bottom aligned") << -3.7929 << true;
}

void TestReportRender::lineGapSeparatesLines()
{
    QFETCH(double, gap);
    QFETCH(bool, bottom);
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(20, 20, 200, 120);
    report::ReportText &text = addText(page, box, QStringLiteral("ЖЖЖ\r\nЖЖЖ"));
    text.setLineGap(gap);
    if (bottom)
        text.setVerticalAlignment(report::ReportText::VerticalAlignment::Bottom);
    const QImage image = report::renderReportPageToImage(page);

    const QFontMetricsF metrics(arialPx(15));
    const auto bands = ink::rowBands(image, box);
    QCOMPARE(bands.size(), 2);
    const double pitch = metrics.ascent() + metrics.descent() + gap;
    const int measured = bands[1].first - bands[0].first;
    // Each line's glyphs land on whole pixels: up to a pixel off at each end.
    QVERIFY2(qAbs(measured - pitch) <= 1.5,
             qPrintable(QStringLiteral("line pitch %1, expected %2").arg(measured).arg(pitch)));
    if (bottom) {
        const double baseline = box.top() + box.height() - 1 - metrics.descent();
        QVERIFY(qAbs(bands[1].second + 1 - baseline) <= 1.0);
    }
}

void TestReportRender::lineBreaksOfEveryKindSplitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("CR LF") << QStringLiteral("ЗАКАЗНОЕ\r\nС ПРОСТЫМ") << 2;
    QTest::newRow("LF") << QStringLiteral("ЗАКАЗНОЕ\nС ПРОСТЫМ") << 2;
    QTest::newRow("CR") << QStringLiteral("ЗАКАЗНОЕ\rС ПРОСТЫМ") << 2;
    QTest::newRow("four CR LF lines") << QStringLiteral("А\r\nБ\r\nВ\r\nГ") << 4;
    QTest::newRow("empty line kept") << QStringLiteral("А\r\n\r\nБ") << 2;
    QTest::newRow("one line") << QStringLiteral("ЗАКАЗНОЕ") << 1;
}

void TestReportRender::lineBreaksOfEveryKindSplitLines()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(20, 20, 300, 150);
    addText(page, box, text, 12);
    const QImage image = report::renderReportPageToImage(page);
    const auto bands = ink::rowBands(image, box);
    QCOMPARE(bands.size(), lines);
    if (text.contains(QStringLiteral("\r\n\r\n"))) {
        // The empty line keeps its height: the second text line is two
        // line pitches below the first.
        const QFontMetricsF metrics(arialPx(12));
        const double pitch = metrics.ascent() + metrics.descent() + 2.0;
        QVERIFY(qAbs(bands[1].first - bands[0].first - 2 * pitch) <= 1.5);
    }
}

void TestReportRender::textIsClippedToItsBox()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(60, 60, 70, 14);
    addText(page, box, QStringLiteral("ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ ЖЖЖЖЖЖЖЖЖ Жyyy"), 30);
    const QImage image = report::renderReportPageToImage(page);
    const QRect ink = ink::bounds(image);
    QVERIFY(!ink.isNull());
    QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 spills out of the box")
                                               .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    // The box is full to its bottom edge: the clipped glyph continues there.
    QCOMPARE(ink.bottom(), box.bottom());
}

void TestReportRender::clearFillOutlinesTheBoxAndSolidDoesNot()
{
    for (const auto style : {report::ReportText::FillStyle::Clear, report::ReportText::FillStyle::Solid}) {
        report::ReportPage page;
        makeBlankPage(page);
        const QRect box(30, 40, 61, 15);
        addText(page, box, QStringLiteral("000001"), 9).setFillStyle(style);
        const QImage image = report::renderReportPageToImage(page);
        const bool outlined = style == report::ReportText::FillStyle::Clear;
        const QRect edges[] = {QRect(box.left(), box.top(), box.width(), 1),
                               QRect(box.left(), box.bottom(), box.width(), 1),
                               QRect(box.left(), box.top(), 1, box.height()),
                               QRect(box.right(), box.top(), 1, box.height())};
        for (const QRect &edge : edges)
            QCOMPARE(ink::count(image, edge), outlined ? edge.width() * edge.height() : 0);
        // The outline is thin: one unit, nothing just outside it.
        QCOMPARE(ink::count(image, box.adjusted(-1, -1, 1, 1)) - ink::count(image, box), 0);
    }
}

void TestReportRender::solidFillColourFillsTheBox()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(30, 40, 60, 15);
    report::ReportText &text = addText(page, box, QString());
    text.setFillColor(Qt::black);
    const QImage image = report::renderReportPageToImage(page);
    QCOMPARE(ink::bounds(image), box);
    QCOMPARE(ink::count(image), box.width() * box.height());
}

void TestReportRender::pictureIsScaledAndCentred_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("wide picture grows to the box width")
        << QSize(100, 50) << QRect(10, 10, 200, 200) << QRect(10, 60, 200, 100);
    QTest::newRow("tall picture shrinks to the box height")
        << QSize(400, 800) << QRect(50, 20, 100, 100) << QRect(75, 20, 50, 100);
    QTest::newRow("same aspect fills the box")
        << QSize(40, 20) << QRect(20, 30, 80, 40) << QRect(20, 30, 80, 40);
    QTest::newRow("logo box of the template")
        << QSize(300, 300) << QRect(34, 178, 42, 38) << QRect(36, 178, 38, 38);
}

void TestReportRender::pictureIsScaledAndCentred()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, box);
    QFETCH(QRect, expected);
    report::ReportPage page;
    makeBlankPage(page);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::black);
    page.addPicture(QStringLiteral("Logo"), box).setPicture(image);
    const QImage rendered = report::renderReportPageToImage(page);
    const QRect ink = ink::bounds(rendered, QRect(), 128);
    QVERIFY2(qAbs(ink.left() - expected.left()) <= 1 && qAbs(ink.top() - expected.top()) <= 1
                 && qAbs(ink.right() - expected.right()) <= 1
                 && qAbs(ink.bottom() - expected.bottom()) <= 1,
             qPrintable(QStringLiteral("picture at %1,%2 %3x%4")
                            .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
}

void TestReportRender::pictureIsOpaque()
{
    report::ReportPage page;
    makeBlankPage(page);
    const QRect box(20, 20, 60, 60);
    addText(page, box, QString()).setFillColor(Qt::black);
    QImage transparent(30, 30, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    page.addPicture(QStringLiteral("Logo"), box).setPicture(transparent);
    const QImage rendered = report::renderReportPageToImage(page);
    QCOMPARE(ink::count(rendered, box.adjusted(2, 2, -2, -2)), 0);
}

void TestReportRender::hiddenObjectsAreNotDrawn()
{
    report::ReportPage page;
    makeBlankPage(page);
    report::ReportText &text = addText(page, QRect(20, 20, 200, 60), QStringLiteral("-123456"), 45);
    text.setFillStyle(report::ReportText::FillStyle::Clear);
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::black);
    report::ReportPicture &logo = page.addPicture(QStringLiteral("Logo"), QRect(250, 20, 40, 40));
    logo.setPicture(picture);
    text.hide();
    logo.hide();
    QCOMPARE(ink::count(report::renderReportPageToImage(page)), 0);
    text.show();
    QVERIFY(ink::count(report::renderReportPageToImage(page)) > 0);
}

void TestReportRender::negativePositionsAreNotClamped()
{
    report::ReportPage page;
    makeBlankPage(page);
    addText(page, QRect(-4, -4, 50, 20), QString()).setFillStyle(report::ReportText::FillStyle::Clear);
    const QImage image = report::renderReportPageToImage(page);
    // Left and top edges lie off the paper; the right edge is at x = 45, the
    // bottom edge at y = 15.
    QCOMPARE(ink::bounds(image), QRect(QPoint(0, 0), QPoint(45, 15)));
    QCOMPARE(ink::count(image, QRect(0, 0, 45, 15)), 0);
}

void TestReportRender::degenerateBoxesDrawNothingOutside()
{
    report::ReportPage page;
    makeBlankPage(page);
    addText(page, QRect(100, 100, 0, 0), QStringLiteral("ЖЖЖ")).setFillStyle(report::ReportText::FillStyle::Clear);
    addText(page, QRect(200, 100, 3, 20), QStringLiteral("ЖЖЖ ЖЖЖ"));
    report::ReportText &negative = addText(page, QRect(), QStringLiteral("ЖЖЖ"));
    negative.setGeometry(150, 100, -20, -10);
    page.addPicture(QStringLiteral("Logo"), QRect(10, 10, 0, 40)).setPicture(QImage(5, 5, QImage::Format_RGB32));
    const QImage image = report::renderReportPageToImage(page);
    QCOMPARE(negative.width(), 0);
    const QRect ink = ink::bounds(image);
    QVERIFY(ink.isNull() || QRect(200, 100, 3, 20).contains(ink));
}

void TestReportRender::higherResolutionScalesEverything()
{
    report::ReportPage page;
    makeBlankPage(page);
    addText(page, QRect(40, 30, 300, 40), QStringLiteral("Кому ЖЖЖ"));
    addText(page, QRect(40, 100, 60, 15), QStringLiteral("000001")).setFillStyle(report::ReportText::FillStyle::Clear);
    const QRect at96 = ink::bounds(report::renderReportPageToImage(page, 96));
    const QRect at288 = ink::bounds(report::renderReportPageToImage(page, 288));
    QVERIFY2(qAbs(at288.left() - 3 * at96.left()) <= 3 && qAbs(at288.top() - 3 * at96.top()) <= 3
                 && qAbs(at288.width() - 3 * at96.width()) <= 4
                 && qAbs(at288.height() - 3 * at96.height()) <= 4,
             qPrintable(QStringLiteral("96 dpi %1x%2, 288 dpi %3x%4")
                            .arg(at96.width()).arg(at96.height()).arg(at288.width()).arg(at288.height())));
}

void TestReportRender::pointSizeFontsPrintAtTheirSize()
{
    // A font in points prints at points * 96 / 72 units at any resolution:
    // 33.75 pt is exactly 45 units, like the pixel font.
    for (const double dpi : {96.0, 300.0}) {
        report::ReportPage pixels, points;
        makeBlankPage(pixels);
        makeBlankPage(points);
        addText(pixels, QRect(20, 20, 300, 80), QStringLiteral("ЖЖ"), 45);
        report::ReportText &text = addText(points, QRect(20, 20, 300, 80), QStringLiteral("ЖЖ"));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(33.75);
        text.setFont(font);
        const QRect byPixels = ink::bounds(report::renderReportPageToImage(pixels, dpi));
        const QRect byPoints = ink::bounds(report::renderReportPageToImage(points, dpi));
        QVERIFY(!byPixels.isNull());
        QCOMPARE(byPoints, byPixels);
    }
}

void TestReportRender::clippedTextsAreReported_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bottom");
    QTest::addColumn<bool>("clipped");
    const QString wide = QStringLiteral("Получателеву Получателю Получателевичу");
    QTest::newRow("one line in a one-line box") << QRect(20, 20, 340, 15) << QStringLiteral("Иванову") << false << false;
    QTest::newRow("wrapped onto a second line") << QRect(20, 20, 120, 15) << wide << false << true;
    QTest::newRow("line break in a one-line box") << QRect(20, 20, 340, 15) << QStringLiteral("А\r\nБ") << false << true;
    QTest::newRow("three lines in a three-line box") << QRect(20, 20, 120, 56) << wide << false << false;
    QTest::newRow("bottom aligned, lines above the box") << QRect(20, 80, 120, 19) << wide << true << true;
    QTest::newRow("bottom aligned, one line") << QRect(20, 80, 340, 19) << QStringLiteral("Кому") << true << false;
    QTest::newRow("a letter wider than the box") << QRect(20, 20, 6, 40) << QStringLiteral("Ж") << false << true;
    QTest::newRow("empty text") << QRect(20, 20, 6, 4) << QString() << false << false;
    QTest::newRow("text in a box of no height") << QRect(20, 20, 100, 0) << QStringLiteral("А") << false << true;
}

// The renderer says which text it clipped, while painting and without
// painting, on screen and on a PDF, and the same for all of them.
void TestReportRender::clippedTextsAreReported()
{
    QFETCH(QRect, box);
    QFETCH(QString, text);
    QFETCH(bool, bottom);
    QFETCH(bool, clipped);
    report::ReportPage page;
    makeBlankPage(page);
    report::ReportText &object = addText(page, box, text);
    if (bottom)
        object.setVerticalAlignment(report::ReportText::VerticalAlignment::Bottom);
    const QStringList expected = clipped ? QStringList{object.name()} : QStringList();

    QImage image(378, 227, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QCOMPARE(report::paintReportPage(page, painter), expected);
    painter.end();
    QCOMPARE(report::clippedTexts(page, image), expected);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    QCOMPARE(report::clippedTexts(page, pdf), expected);
    object.hide();
    QCOMPARE(report::clippedTexts(page, pdf), QStringList());
}

QTEST_MAIN(TestReportRender)
#include "tst_reportrender.moc"
