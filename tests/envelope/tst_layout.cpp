// Layout arithmetic of one envelope: rounding, line spacing, placement of
// every object, captions, frames, the big postal code and the comment, and
// the lookups of format and offset by their keys.

#include "envelope/envelopelayout.h"
#include "envelope/envelopepage.h"
#include "envelope/envelopeprinter.h"
#include "envelope/units.h"
#include "envelopefixture.h"
#include "report/page.h"

#include <QtTest>

using namespace envelope;
using envelopetest::Base;

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void rounding_data();
    void rounding();
    void lineGap_data();
    void lineGap();
    void fontPoints_data();
    void fontPoints();
    void templateHasEveryObject();
    void placesAddressBoxes_data();
    void placesAddressBoxes();
    void captionsAndFramesFollowEnvelopeType_data();
    void captionsAndFramesFollowEnvelopeType();
    void zipCode_data();
    void zipCode();
    void commentKeepsItsLines();
    void logoOffKeepsItsBox();
    void pageSizeIsUnrounded();
    void lookupsSwitchIndexAndFallBack();
    void settingsRowDrivesTheEnvelope();
    void unfilledFormatReadsZero();
};

void TestLayout::rounding_data()
{
    QTest::addColumn<double>("mm");
    QTest::addColumn<double>("offsetMm");
    QTest::addColumn<int>("units");
    QTest::newRow("25 mm is 94.5, to even 94") << 25.0 << 0.0 << 94;
    QTest::newRow("12.5 mm is 47.25") << 12.5 << 0.0 << 47;
    QTest::newRow("offset before rounding") << 25.0 << 1.5 << 100;
    QTest::newRow("negative offset") << 22.0 << -2.0 << 76;
    QTest::newRow("0 mm, Dx -1: not clamped") << 0.0 << -1.0 << -4;
    QTest::newRow("2.5 units to even 2") << 2.5 / 3.78 << 0.0 << 2;
    QTest::newRow("3.5 units to even 4") << 3.5 / 3.78 << 0.0 << 4;
    QTest::newRow("-0.5 units to even 0") << -0.5 / 3.78 << 0.0 << 0;
    QTest::newRow("-1.5 units to even -2") << -1.5 / 3.78 << 0.0 << -2;
    QTest::newRow("75 mm is 283.5, to even 284") << 75.0 << 0.0 << 284;
    QTest::newRow("85 mm") << 85.0 << 0.0 << 321;
}

void TestLayout::rounding()
{
    QFETCH(double, mm);
    QFETCH(double, offsetMm);
    QFETCH(int, units);
    QCOMPARE(placeUnits(mm, offsetMm * UnitsPerMm), units);
}

void TestLayout::lineGap_data()
{
    QTest::addColumn<double>("linesH");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("gap");
    QTest::newRow("LinesH 7, 11 pt") << 7.0 << 11 << 11.8299;
    QTest::newRow("LinesH 3, 11 pt overlaps") << 3.0 << 11 << -3.7929;
    QTest::newRow("LinesH 0, 11 pt") << 0.0 << 11 << -15.51;
    QTest::newRow("LinesH 6, 14 pt") << 6.0 << 14 << 1.44 * (16.62 - 14);
}

void TestLayout::lineGap()
{
    QFETCH(double, linesH);
    QFETCH(int, points);
    QFETCH(double, gap);
    QVERIFY(qAbs(addressLineGap(linesH, points) - gap) < 1e-9);
}

void TestLayout::fontPoints_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("points");
    QTest::newRow("15 px") << -15 << 11;
    QTest::newRow("16 px") << -16 << 12;
    QTest::newRow("14 px rounds away from zero") << -14 << 11;
    QTest::newRow("12 px") << -12 << 9;
    QTest::newRow("45 px") << -45 << 34;
}

void TestLayout::fontPoints()
{
    QFETCH(int, height);
    QFETCH(int, points);
    PrintFont font;
    font.height = height;
    QCOMPARE(font.pointSize(), points);
    QCOMPARE(font.toQFont().pixelSize(), -height);
}

void TestLayout::templateHasEveryObject()
{
    report::ReportPage page;
    buildEnvelopeTemplate(page);
    QCOMPARE(page.paperSizeCode(), report::ReportPage::PaperDL);
    QCOMPARE(page.sizeMm(), QSizeF(220, 110));
    for (const QString &name : envelopeObjectNames())
        QVERIFY2(page.findObject(name), qPrintable(name));
    QCOMPARE(int(page.objects().size()), envelopeObjectNames().size());

    QVERIFY(!page.findObject(obj::ZIPcode)->isVisible());
    QVERIFY(!page.findObject(obj::Picture1)->isVisible());
    const report::ReportText &zip = page.text(obj::ZIPcode);
    QCOMPARE(zip.font().family(), ZipCodeFontFamily);
    QCOMPARE(zip.font().pixelSize(), 45);
    QVERIFY(zip.font().bold());
    QCOMPARE(page.text(obj::KomuCaption).verticalAlignment(), report::ReportText::VerticalAlignment::Bottom);
    QCOMPARE(page.text(obj::IndexCaption).verticalAlignment(), report::ReportText::VerticalAlignment::Top);
    QVERIFY(page.text(obj::OtKogoCaption).font().italic());
    QCOMPARE(page.text(obj::OtIndexCaption).font().pixelSize(), 9);
    QCOMPARE(page.text(obj::Komu).font().pixelSize(), 15);
    QCOMPARE(page.text(obj::KonvertComment).text().count(QStringLiteral("\r\n")), 3);
    // The captions keep these sizes for the placement beside their boxes.
    QCOMPARE(page.text(obj::OtKogoCaption).geometry(), QRect(26, 15, 57, 19));
    QCOMPARE(page.text(obj::KomuCaption).width(), 38);
    QCOMPARE(page.text(obj::OtIndexCaption).height(), 15);
}

namespace {

EnvelopeFormat sampleFormat()
{
    EnvelopeFormat f;
    f.w = 220;
    f.h = 110;
    f.linesH = 7;
    f.otkogo = {10, 5, 4, 80};
    f.otkuda = {10, 12, 12, 80};
    f.otindex = {10, 30, 5, 22};
    f.komu = {25, 22, 4, 85};
    f.kuda = {120, 65, 20, 92};
    f.index = {120, 92, 5, 22};
    f.logo = {108, 6, 18, 25};
    f.comment = {120, 38, 16, 53};
    f.zipL = 10;
    f.zipT = 88;
    return f;
}

EnvelopeTexts sampleTexts()
{
    return {QStringLiteral("Иванову Ивану"), QStringLiteral("ул. Садовая, д. 5, Москва"),
            QStringLiteral("101000"),        QStringLiteral("ООО «Ромашка»"),
            QStringLiteral("пр. Мира, д. 1"), QStringLiteral("190000")};
}

report::ReportPage &laidOut(report::ReportPage &page, const EnvelopeOptions &options,
                    PrintOffset offset = PrintOffset{}, EnvelopeFormat format = sampleFormat())
{
    buildEnvelopeTemplate(page);
    layOutEnvelope(page, format, offset, sampleTexts(), options);
    return page;
}

} // namespace

void TestLayout::placesAddressBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("dxMm");
    QTest::addColumn<double>("dyMm");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QString>("text");
    // The worked example: KomuL 25, KomuT 22, H 4, W 85 with Dx 1.5, Dy -2.
    QTest::newRow("Komu with offset") << "Komu" << 1.5 << -2.0 << QRect(100, 76, 321, 15)
                                      << "Иванову Ивану";
    QTest::newRow("Komu without offset") << "Komu" << 0.0 << 0.0 << QRect(94, 83, 321, 15)
                                         << "Иванову Ивану";
    QTest::newRow("Kuda") << "Kuda" << 0.0 << 0.0 << QRect(454, 246, 348, 76)
                          << "ул. Садовая, д. 5, Москва";
    QTest::newRow("otKogo negative offset") << "otKogo" << -3.0 << -2.0 << QRect(26, 11, 302, 15)
                                            << "ООО «Ромашка»";
    QTest::newRow("otKuda") << "otKuda" << 0.0 << 0.0 << QRect(38, 45, 302, 45) << "пр. Мира, д. 1";
    QTest::newRow("Index") << "Index" << 0.0 << 0.0 << QRect(454, 348, 83, 19) << "101000";
    QTest::newRow("otIndex") << "otIndex" << 0.0 << 0.0 << QRect(38, 113, 83, 19) << "190000";
    QTest::newRow("comment") << "KonvertComment" << 0.0 << 0.0 << QRect(454, 144, 200, 60)
                             << "ЗАКАЗНОЕ\r\n";
    QTest::newRow("Logo") << "Logo" << 0.0 << 0.0 << QRect(408, 23, 94, 68) << "";
}

void TestLayout::placesAddressBoxes()
{
    QFETCH(QString, name);
    QFETCH(double, dxMm);
    QFETCH(double, dyMm);
    QFETCH(QRect, box);
    QFETCH(QString, text);
    EnvelopeOptions options;
    options.printLogo = true;
    options.comment = QStringLiteral("ЗАКАЗНОЕ\r\n");
    report::ReportPage page;
    laidOut(page, options, PrintOffset{dxMm * UnitsPerMm, dyMm * UnitsPerMm});
    QCOMPARE(page.findObject(name)->geometry(), box);
    if (report::ReportText *t = page.findText(name))
        QCOMPARE(t->text(), text);
}

void TestLayout::captionsAndFramesFollowEnvelopeType_data()
{
    QTest::addColumn<int>("typKonv");
    QTest::addColumn<bool>("captions");
    QTest::newRow("pre-printed markup") << 1 << false;
    QTest::newRow("blank") << 2 << true;
    QTest::newRow("unknown type prints as blank") << 0 << true;
}

void TestLayout::captionsAndFramesFollowEnvelopeType()
{
    QFETCH(int, typKonv);
    QFETCH(bool, captions);
    EnvelopeOptions options;
    options.typKonv = typKonv;
    report::ReportPage page;
    laidOut(page, options, PrintOffset{1.5 * UnitsPerMm, -2 * UnitsPerMm});

    for (const QString &name : {obj::OtKogoCaption, obj::OtKudaCaption, obj::KomuCaption,
                                obj::KudaCaption, obj::OtIndexCaption, obj::IndexCaption})
        QCOMPARE(page.findObject(name)->isVisible(), captions);
    const auto fill = captions ? report::ReportText::FillStyle::Clear : report::ReportText::FillStyle::Solid;
    QCOMPARE(page.text(obj::Index).fillStyle(), fill);
    QCOMPARE(page.text(obj::OtIndex).fillStyle(), fill);
    QCOMPARE(page.text(obj::Komu).fillStyle(), report::ReportText::FillStyle::Solid);

    // Beside: the right edge on the box's left edge, same top.
    const QRect komu = page.text(obj::Komu).geometry();
    const QRect komuCaption = page.text(obj::KomuCaption).geometry();
    QCOMPARE(komuCaption.left() + komuCaption.width(), komu.left());
    QCOMPARE(komuCaption.top(), komu.top());
    QCOMPARE(komuCaption.size(), QSize(38, 19));
    const QRect otKogoCaption = page.text(obj::OtKogoCaption).geometry();
    QCOMPARE(otKogoCaption.topLeft(), QPoint(placeUnits(10, 1.5 * UnitsPerMm) - 57,
                                             placeUnits(5, -2 * UnitsPerMm)));
    // Above: the bottom edge on the box's top edge, same left.
    const QRect index = page.text(obj::Index).geometry();
    const QRect indexCaption = page.text(obj::IndexCaption).geometry();
    QCOMPARE(indexCaption.left(), index.left());
    QCOMPARE(indexCaption.top() + indexCaption.height(), index.top());
    QCOMPARE(indexCaption.size(), QSize(155, 15));
}

void TestLayout::zipCode_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("index");
    QTest::addColumn<double>("dxMm");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("corner");
    // 10 mm is 37.8 units, less 1.512 is 36.288: 36; 88 mm is 332.64 - 1.512.
    QTest::newRow("on") << true << "101000" << 0.0 << "-101000" << QPoint(36, 331);
    QTest::newRow("empty code prints a dash") << true << "" << 0.0 << "-" << QPoint(36, 331);
    QTest::newRow("off") << false << "101000" << 0.0 << "-101000" << QPoint(36, 331);
    QTest::newRow("offset") << true << "1" << -10.0 << "-1" << QPoint(-2, 331);
}

void TestLayout::zipCode()
{
    QFETCH(bool, on);
    QFETCH(QString, index);
    QFETCH(double, dxMm);
    QFETCH(QString, text);
    QFETCH(QPoint, corner);
    EnvelopeOptions options;
    options.printZipCode = on;
    report::ReportPage page;
    buildEnvelopeTemplate(page);
    EnvelopeTexts texts = sampleTexts();
    texts.index = index;
    layOutEnvelope(page, sampleFormat(), PrintOffset{dxMm * UnitsPerMm, 0}, texts, options);
    const report::ReportText &zip = page.text(obj::ZIPcode);
    QCOMPARE(zip.isVisible(), on);
    QCOMPARE(zip.text(), text);
    QCOMPARE(zip.geometry().topLeft(), corner);
    QCOMPARE(zip.geometry().size(), QSize(253, 64));
    QCOMPARE(zip.font().family(), ZipCodeFontFamily);
    QCOMPARE(zip.font().pixelSize(), 45);
}

void TestLayout::commentKeepsItsLines()
{
    EnvelopeOptions options;
    options.printComment = true;
    options.comment = QStringLiteral("ЗАКАЗНОЕ\r\nС ОБЪЯВЛЕННОЙ ЦЕННОСТЬЮ\r\n");
    report::ReportPage page;
    laidOut(page, options);
    QVERIFY(page.text(obj::KonvertComment).isVisible());
    QCOMPARE(page.text(obj::KonvertComment).text(), options.comment);
    QCOMPARE(page.text(obj::KonvertComment).font().pixelSize(), 12);

    options.printComment = false;
    layOutEnvelope(page, sampleFormat(), {}, sampleTexts(), options);
    QVERIFY(!page.text(obj::KonvertComment).isVisible());
}

void TestLayout::logoOffKeepsItsBox()
{
    EnvelopeOptions options;
    options.printLogo = true;
    options.logo = QImage(40, 20, QImage::Format_RGB32);
    options.logo.fill(Qt::red);
    report::ReportPage page;
    laidOut(page, options);
    QVERIFY(page.picture(obj::Logo).hasPicture());
    const QRect box = page.picture(obj::Logo).geometry();

    EnvelopeFormat moved = sampleFormat();
    moved.logo = {50, 50, 10, 10};
    options.printLogo = false;
    layOutEnvelope(page, moved, {}, sampleTexts(), options);
    QVERIFY(!page.picture(obj::Logo).hasPicture());
    QCOMPARE(page.picture(obj::Logo).geometry(), box);
}

void TestLayout::pageSizeIsUnrounded()
{
    EnvelopeFormat format = sampleFormat();
    format.w = 229.5;
    format.h = 114.25;
    report::ReportPage page;
    laidOut(page, EnvelopeOptions{}, {}, format);
    QCOMPARE(page.paperSizeCode(), report::ReportPage::PaperCustom);
    QCOMPARE(page.sizeMm(), QSizeF(229.5, 114.25));
    QVERIFY(page.paperProblem().isEmpty());

    format.w = 0;
    format.h = -5;
    layOutEnvelope(page, format, {}, sampleTexts(), EnvelopeOptions{});
    QVERIFY(!page.paperProblem().isEmpty());
}

void TestLayout::lookupsSwitchIndexAndFallBack()
{
    Base base;
    envelopetest::Values b = envelopetest::dlFormat();
    b[QStringLiteral("NameKonvert")] = QStringLiteral("B");
    b[QStringLiteral("KomuL")] = 30.0;
    envelopetest::Values a = b;
    a[QStringLiteral("NameKonvert")] = QStringLiteral("A");
    a[QStringLiteral("KomuL")] = 40.0;
    const int nB = base.insertFormat(b);
    const int nA = base.insertFormat(a);
    store::Cursor &formats = base.tables->Table4;

    QCOMPARE(findEnvelopeFormat(formats, nB).komu.l, 30.0);
    QCOMPARE(formats.indexName(), QStringLiteral("NameKonvert_i"));
    QCOMPARE(formats.asInteger(QStringLiteral("N")), nB);
    QCOMPARE(formats.recNo(), 1);  // B after A in name order

    // A key that no longer exists: the current row as it is.
    QCOMPARE(findEnvelopeFormat(formats, 999).komu.l, 30.0);
    formats.first();
    QCOMPARE(findEnvelopeFormat(formats, 999).komu.l, 40.0);
    QCOMPARE(formats.asInteger(QStringLiteral("N")), nA);

    store::Cursor &offsets = base.tables->Table5;
    const int nZero = base.insertOffset(QStringLiteral("Я-принтер"), 0, 0);
    const int nShift = base.insertOffset(QStringLiteral("Epson"), 1.5, -2);
    const PrintOffset shift = findPrintOffset(offsets, nShift);
    QCOMPARE(shift.dx, 1.5 * 3.78);
    QCOMPARE(shift.dy, -2 * 3.78);
    QCOMPARE(offsets.indexName(), QStringLiteral("PrinterName_i"));
    QCOMPARE(findPrintOffset(offsets, nZero).dx, 0.0);
    QCOMPARE(findPrintOffset(offsets, 12345).dx, 0.0);  // stays on the zero row
}

void TestLayout::settingsRowDrivesTheEnvelope()
{
    Base base;
    const int n = base.insertFormat(envelopetest::dlFormat());
    const int printer = base.insertOffset(QStringLiteral("Epson"), 1.5, -2);
    base.settings({{"N_Konvert", n}, {"Printer", printer}, {"TypKonv", 1}, {"PrintZIPcode", true},
                   {"PrintKonvertComment", true}, {"KonvertComment", "ЗАКАЗНОЕ\r\n"},
                   {"Komu", "Петрову"}, {"Kuda", "Тверь"}, {"Index", "170000"},
                   {"OtKogo", "Сидоров"}, {"OtKuda", "Псков"}, {"OtIndex", "180000"}});

    EnvelopePrinter printer1(*base.tables);
    PrintFont font;
    font.height = -16;  // 12 pt
    font.bold = true;
    printer1.setPrintFont(font);
    int printed = 0;
    printer1.setOutput([&printed](const report::ReportPage &) { return ++printed; });
    printer1.printFromSettingsRow();
    QCOMPARE(printed, 1);

    const report::ReportPage &page = printer1.page();
    QCOMPARE(page.sizeMm(), QSizeF(220, 110));
    QCOMPARE(page.text(obj::Komu).text(), QStringLiteral("Петрову"));
    QCOMPARE(page.text(obj::OtIndex).text(), QStringLiteral("180000"));
    QCOMPARE(page.text(obj::Komu).geometry(), QRect(placeUnits(120, 1.5 * 3.78),
                                                   placeUnits(58, -2 * 3.78), 348, 19));
    QCOMPARE(page.text(obj::Komu).font().pixelSize(), 16);
    QVERIFY(page.text(obj::Komu).font().bold());
    QCOMPARE(page.text(obj::Index).font().pixelSize(), 15);  // template font
    QVERIFY(qAbs(page.text(obj::Kuda).lineGap() - addressLineGap(6, 12)) < 1e-12);
    QVERIFY(!page.text(obj::KomuCaption).isVisible());
    QCOMPARE(page.text(obj::ZIPcode).text(), QStringLiteral("-170000"));
    QVERIFY(page.text(obj::KonvertComment).isVisible());
    // The settings row stays in edit state; nothing was stored.
    QVERIFY(base.tables->Table1.isEditing());
}

void TestLayout::unfilledFormatReadsZero()
{
    Base base;
    base.insert(base.tables->Table4, {{"NameKonvert", "пустой"}});
    const EnvelopeFormat f = formatOfCurrentRow(base.tables->Table4);
    QCOMPARE(f.w, 0.0);
    QCOMPARE(f.linesH, 0.0);
    QCOMPARE(f.komu.w, 0.0);
    QCOMPARE(f.zipT, 0.0);
}

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
