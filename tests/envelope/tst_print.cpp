// Envelopes through the real spooler. The default destination must be the
// test queue of tools/setup-printing.sh, whose backend stores every job's
// document; the test reads back page size, word positions and ink. Without
// a reachable spooler it is skipped, unless KUVERTIX_REQUIRE_CUPS is set.

#include "envelope/envelopepage.h"
#include "envelope/envelopeprinter.h"
#include "envelope/units.h"
#include "envelopefixture.h"
#include "tests/support/ink.h"
#include "tests/support/pdfread.h"
#include "tests/support/printedjobs.h"
#include "tests/support/services.h"
#include "report/printer.h"
#include "report/reporterror.h"
#include "report/renderer.h"

#include <QFontDatabase>
#include <QtTest>

using namespace envelope;
using envelopetest::Base;
using envelopetest::Values;

namespace {

constexpr double PtPerUnit = 72.0 / 96.0;
constexpr double PtPerMm = 72.0 / 25.4;

struct Printed {
    QString pdf;
    QList<pdfread::Word> words;
    QImage image;
};

QImage redLogo()
{
    QImage logo(100, 50, QImage::Format_RGB32);
    logo.fill(QColor(220, 0, 0));
    return logo;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printedEnvelope_data();
    void printedEnvelope();
    void everyShippedSizeComesOutAsItsPaper_data();
    void everyShippedSizeComesOutAsItsPaper();
    void unusablePaperIsRefusedBeforeTheSpooler();
    void missingPrinterIsATypedError();

private:
    Printed print(EnvelopePrinter &printer, const EnvelopeTexts &texts);
};

void TestPrint::initTestCase()
{
    const QString font = QStringLiteral(KUVERTIX_PROGRAM_DIR) + QStringLiteral("/Kuvertix ZIPcode.ttf");
    if (QFile::exists(font))
        QFontDatabase::addApplicationFont(font);

    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
}

Printed TestPrint::print(EnvelopePrinter &printer, const EnvelopeTexts &texts)
{
    const QDateTime submitted = QDateTime::currentDateTime();
    printer.PrintKonvert(texts);
    Printed p;
    if (printer.lastJob() <= 0)
        return p;
    p.pdf = printedjobs::waitForJob(printer.lastJob(), submitted);
    if (p.pdf.isEmpty())
        return p;
    p.words = pdfread::words(p.pdf);
    p.image = pdfread::rasterize(p.pdf, pdfread::Shade::Colour);
    return p;
}

void TestPrint::printedEnvelope_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<int>("typKonv");
    QTest::addColumn<bool>("zip");
    QTest::addColumn<bool>("comment");
    QTest::addColumn<bool>("logo");
    QTest::newRow("shipped DL, blank envelope, everything on") << 0.0 << 0.0 << 2 << true << true << true;
    QTest::newRow("offset 1.5/-2, pre-printed, everything off") << 1.5 << -2.0 << 1 << false << false << false;
    QTest::newRow("offset -3/4, blank, comment only") << -3.0 << 4.0 << 0 << false << true << false;
}

void TestPrint::printedEnvelope()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(int, typKonv);
    QFETCH(bool, zip);
    QFETCH(bool, comment);
    QFETCH(bool, logo);

    Base base;
    const Values dl = envelopetest::dlFormat();
    const int n = base.insertFormat(dl);
    const int offset = base.insertOffset(QStringLiteral("Тест"), dx, dy);
    base.settings({{"N_Konvert", n}, {"Printer", offset}, {"TypKonv", typKonv},
                   {"PrintZIPcode", zip}, {"PrintKonvertComment", comment}, {"PrintLogo", logo},
                   {"KonvertComment", "ЗАКАЗНОЕ\r\nЦЕННОЕ\r\n"}});
    EnvelopePrinter printer(*base.tables);
    printer.setPreviewLogo(redLogo());
    const EnvelopeTexts texts{QStringLiteral("Петрову"), QStringLiteral("Тверь"),
                              QStringLiteral("170000"), QStringLiteral("Сидоров"),
                              QStringLiteral("Псков"), QStringLiteral("180000")};
    const Printed p = print(printer, texts);
    QVERIFY2(!p.pdf.isEmpty(), "the job was not stored by the test queue");
    QCOMPARE(pdfread::pageCount(p.pdf), 1);
    // A picture of the printed envelope for a look by eye.
    const QString shots = QStringLiteral(KUVERTIX_BUILD_DIR) + QStringLiteral("/envelope-pages");
    QDir().mkpath(shots);
    const QString tag = QString::fromUtf8(QTest::currentDataTag())
                            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]+")), QStringLiteral("_"));
    p.image.save(shots + QStringLiteral("/printed-") + tag + QStringLiteral(".png"));

    const QSizeF size = pdfread::pageSizePoints(p.pdf);
    QVERIFY2(qAbs(size.width() - 220 * PtPerMm) < 1.0 && qAbs(size.height() - 110 * PtPerMm) < 1.0,
             qPrintable(QStringLiteral("%1 x %2 pt").arg(size.width()).arg(size.height())));

    const double ox = dx * UnitsPerMm, oy = dy * UnitsPerMm;
    // Each text starts 2 units right of its box's left edge and its line
    // 1 unit below the top edge.
    const struct { const char *field; QString text; } boxes[] = {
        {"Komu", texts.komu},     {"Kuda", texts.kuda},       {"Index", texts.index},
        {"Otkogo", texts.otKogo}, {"Otkuda", texts.otKuda},   {"Otindex", texts.otIndex},
    };
    for (const auto &b : boxes) {
        const QString f = QString::fromLatin1(b.field);
        const double left = (placeUnits(dl.value(f + "L").toDouble(), ox) + 2) * PtPerUnit;
        const double top = (placeUnits(dl.value(f + "T").toDouble(), oy) + 1) * PtPerUnit;
        const pdfread::Word *w = pdfread::find(p.words, b.text);
        QVERIFY2(w, qPrintable(b.text));
        QVERIFY2(qAbs(w->box.left() - left) < 1.0 && qAbs(w->box.top() - top) < 1.5,
                 qPrintable(QStringLiteral("%1 at %2,%3 instead of %4,%5").arg(b.text)
                                .arg(w->box.left()).arg(w->box.top()).arg(left).arg(top)));
        QVERIFY2(w->box.height() > 9.5 && w->box.height() < 14.5, qPrintable(b.text));  // 11 pt
    }

    const bool captions = typKonv != 1;
    for (const char *word : {"Кому", "Куда", "Откуда", "назначения", "отправления"})
        QCOMPARE(bool(pdfread::find(p.words, QString::fromUtf8(word))), captions);
    if (captions) {
        const pdfread::Word *kuda = pdfread::find(p.words, QStringLiteral("Куда"));
        const double boxLeft = placeUnits(120, ox) * PtPerUnit;
        QVERIFY(kuda->box.right() < boxLeft);
        QVERIFY(kuda->box.right() > boxLeft - 38 * PtPerUnit);
    }
    // The frame of the recipient's postal code: ink along its top edge
    // between the glyphs' end and the box's right edge.
    const QRect index(placeUnits(120, ox), placeUnits(92, oy), roundUnits(22 * 3.78),
                      roundUnits(5 * 3.78));
    const QRect topEdgeRight(index.right() - 15, index.top() - 1, 12, 3);
    QCOMPARE(ink::count(p.image, topEdgeRight, 128) > 10, captions);

    const pdfread::Word *zipWord = pdfread::find(p.words, QStringLiteral("-170000"));
    QCOMPARE(bool(zipWord), zip);
    if (zipWord) {
        const double left = roundUnits(10 * 3.78 + ox - 1.512) * PtPerUnit;
        QVERIFY2(qAbs(zipWord->box.left() - left) < 3.0, qPrintable(QString::number(zipWord->box.left())));
    }
    QCOMPARE(bool(pdfread::find(p.words, QStringLiteral("ЗАКАЗНОЕ"))), comment);
    QCOMPARE(bool(pdfread::find(p.words, QStringLiteral("ЦЕННОЕ"))), comment);
    if (comment) {
        const auto *first = pdfread::find(p.words, QStringLiteral("ЗАКАЗНОЕ"));
        const auto *second = pdfread::find(p.words, QStringLiteral("ЦЕННОЕ"));
        QVERIFY(second->box.top() > first->box.bottom() - 1);  // its own line
    }

    // Logo: 25 x 18 mm box at 108, 6; a 2:1 picture fills its width.
    const QRect logoBox(placeUnits(108, ox), placeUnits(6, oy), roundUnits(25 * 3.78),
                        roundUnits(18 * 3.78));
    const int redInside = ink::red(p.image, logoBox.adjusted(2, 2, -2, -2));
    const int redOutside = ink::red(p.image, p.image.rect()) - ink::red(p.image, logoBox.adjusted(-1, -1, 1, 1));
    if (logo) {
        QVERIFY2(redInside > logoBox.width() * logoBox.width() / 2 * 8 / 10, qPrintable(QString::number(redInside)));
        QCOMPARE(redOutside, 0);
        // Centred vertically: white above and below the picture inside the box.
        QCOMPARE(ink::red(p.image, QRect(logoBox.left() + 5, logoBox.top() + 1, 10, 5)), 0);
    } else {
        QCOMPARE(redInside, 0);
    }
}

void TestPrint::everyShippedSizeComesOutAsItsPaper_data()
{
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::newRow("C6") << 162.0 << 114.0;
    QTest::newRow("C5") << 229.0 << 162.0;
    QTest::newRow("B4") << 353.0 << 250.0;
    QTest::newRow("fraction of a mm") << 220.5 << 110.25;
}

void TestPrint::everyShippedSizeComesOutAsItsPaper()
{
    QFETCH(double, w);
    QFETCH(double, h);
    Base base;
    Values format = envelopetest::dlFormat();
    format[QStringLiteral("W")] = w;
    format[QStringLiteral("H")] = h;
    base.settings({{"N_Konvert", base.insertFormat(format)}, {"TypKonv", 2}});
    EnvelopePrinter printer(*base.tables);
    const Printed p = print(printer, {QStringLiteral("Получатель"), {}, {}, {}, {}, {}});
    QVERIFY(!p.pdf.isEmpty());
    const QSizeF size = pdfread::pageSizePoints(p.pdf);
    QVERIFY2(qAbs(size.width() - w * PtPerMm) < 1.0 && qAbs(size.height() - h * PtPerMm) < 1.0,
             qPrintable(QStringLiteral("%1 x %2 pt").arg(size.width()).arg(size.height())));
    // No printer margin shifts the page: the recipient's first letter sits
    // where the format puts it.
    const pdfread::Word *komu = pdfread::find(p.words, QStringLiteral("Получатель"));
    QVERIFY(komu);
    QVERIFY(qAbs(komu->box.left() - (placeUnits(120) + 2) * PtPerUnit) < 1.0);
}

void TestPrint::unusablePaperIsRefusedBeforeTheSpooler()
{
    Base base;
    base.settings({{"N_Konvert", base.insertFormat({{"NameKonvert", "пустой"}})}});
    EnvelopePrinter printer(*base.tables);
    try {
        printer.PrintKonvert({QStringLiteral("x"), {}, {}, {}, {}, {}});
        QFAIL("a format of zero size was printed");
    } catch (const report::ReportError &e) {
        QCOMPARE(e.kind(), report::ReportError::Kind::BadPaperSize);
        QVERIFY(e.message().contains(QStringLiteral("размер конверта")));
    }
    QCOMPARE(printer.lastJob(), 0);
}

void TestPrint::missingPrinterIsATypedError()
{
    Base base;
    base.settings({{"N_Konvert", base.insertFormat(envelopetest::dlFormat())}});
    EnvelopePrinter printer(*base.tables);
    printer.setOutput([](const report::ReportPage &page) {
        return report::ReportPrinter(QStringLiteral("Нет_такого_принтера")).print(page);
    });
    try {
        printer.PrintKonvert({QStringLiteral("x"), {}, {}, {}, {}, {}});
        QFAIL("a job for a missing printer was reported as printed");
    } catch (const report::ReportError &e) {
        QVERIFY(e.kind() == report::ReportError::Kind::JobRefused
                || e.kind() == report::ReportError::Kind::SpoolerUnreachable);
        QVERIFY2(e.message().contains(QStringLiteral("Нет_такого_принтера")), qPrintable(e.message()));
    }
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
