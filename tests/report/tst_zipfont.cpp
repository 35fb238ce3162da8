// The postal-code font shipped in the program folder: it loads, carries its
// family name, and every glyph is drawn on the postal-code grid.
#include "tests/support/ink.h"

#include <QFontDatabase>
#include <QPainter>
#include <QtTest>

namespace {

const QString FontFile = QStringLiteral(KUVERTIX_PROGRAM_DIR "/Kuvertix ZIPcode.ttf");
const QString Family = QStringLiteral("Kuvertix ZIPcode");

// The grid in font units (1000 to the em): centre lines of the strokes.
constexpr int Left = 120, Right = 520, Bottom = 50, Top = 700, Middle = 375;
constexpr int HalfStroke = 50;

// Sample points in the middle of each of the nine strokes.
const QList<QPair<QString, QPoint>> Strokes = {
    {QStringLiteral("top"), {(Left + Right) / 2, Top}},
    {QStringLiteral("middle"), {(Left + Right) / 2, Middle}},
    {QStringLiteral("bottom"), {(Left + Right) / 2, Bottom}},
    {QStringLiteral("upper_left"), {Left, (Top + Middle) / 2}},
    {QStringLiteral("lower_left"), {Left, (Middle + Bottom) / 2}},
    {QStringLiteral("upper_right"), {Right, (Top + Middle) / 2}},
    {QStringLiteral("lower_right"), {Right, (Middle + Bottom) / 2}},
    {QStringLiteral("upper_diagonal"), {(Left + Right) / 2, (Top + Middle) / 2}},
    {QStringLiteral("lower_diagonal"), {(Left + Right) / 2, (Middle + Bottom) / 2}},
};

constexpr int PixelSize = 500;
constexpr int OriginX = 50, Baseline = 550;

QImage renderGlyph(const QString &text)
{
    QImage image(500, 650, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(Family);
    font.setPixelSize(PixelSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(OriginX, Baseline), text);
    return image;
}

QPoint toPixel(const QPoint &units)
{
    return QPoint(OriginX + units.x() * PixelSize / 1000, Baseline - units.y() * PixelSize / 1000);
}

} // namespace

class TestZipFont : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void digitsUseTheirStrokes_data();
    void digitsUseTheirStrokes();
    void digitsAreAllDifferent();
    void boldBigCodeRendersInk();
    void boldIsTheFaceItself();
};

void TestZipFont::initTestCase()
{
    QVERIFY2(QFile::exists(FontFile), qPrintable(FontFile));
    const int id = QFontDatabase::addApplicationFont(FontFile);
    QVERIFY(id >= 0);
    QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{Family});
    QVERIFY(QFontDatabase::families().contains(Family));
}

void TestZipFont::digitsUseTheirStrokes_data()
{
    QTest::addColumn<QString>("glyph");
    QTest::addColumn<QStringList>("strokes");
    const auto row = [](const char *glyph, const QString &strokes) {
        QTest::newRow(glyph) << QString::fromLatin1(glyph) << strokes.split(QLatin1Char(' '));
    };
    row("0", QStringLiteral("top bottom upper_left lower_left upper_right lower_right"));
    row("1", QStringLiteral("upper_diagonal upper_right lower_right"));
    row("2", QStringLiteral("top upper_right lower_diagonal bottom"));
    row("3", QStringLiteral("top upper_diagonal middle lower_right bottom"));
    row("4", QStringLiteral("upper_left middle upper_right lower_right"));
    row("5", QStringLiteral("top upper_left middle lower_right bottom"));
    row("6", QStringLiteral("upper_diagonal lower_left bottom lower_right middle"));
    row("7", QStringLiteral("top upper_diagonal lower_left"));
    row("8", QStringLiteral("top middle bottom upper_left lower_left upper_right lower_right"));
    row("9", QStringLiteral("top upper_left upper_right middle lower_diagonal"));
    row("-", QStringLiteral("middle"));
}

void TestZipFont::digitsUseTheirStrokes()
{
    QFETCH(QString, glyph);
    QFETCH(QStringList, strokes);
    const QImage image = renderGlyph(glyph);
    for (const auto &[name, point] : Strokes) {
        const bool inked = ink::isInk(image.pixel(toPixel(point)));
        QVERIFY2(inked == strokes.contains(name),
                 qPrintable(QStringLiteral("stroke %1 of \"%2\" is %3")
                                .arg(name, glyph, inked ? QStringLiteral("drawn") : QStringLiteral("missing"))));
    }
    // Nothing outside the grid and its stroke thickness.
    const QRect grid(toPixel({Left - HalfStroke, Top + HalfStroke}), toPixel({Right + HalfStroke, Bottom - HalfStroke}));
    QCOMPARE(ink::count(image) - ink::count(image, grid.adjusted(-1, -1, 1, 1)), 0);
}

void TestZipFont::digitsAreAllDifferent()
{
    QSet<QByteArray> seen;
    for (const QChar digit : QStringLiteral("0123456789")) {
        const QImage image = renderGlyph(QString(digit)).convertToFormat(QImage::Format_Mono);
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), 10);
}

void TestZipFont::boldBigCodeRendersInk()
{
    // The big postal code as envelopes print it: 45 px, bold, with the dash.
    QImage image(300, 70, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(Family);
    font.setPixelSize(45);
    font.setBold(true);
    painter.setFont(font);
    QCOMPARE(QFontInfo(font).family(), Family);
    painter.drawText(QPoint(5, 55), QStringLiteral("-123456"));
    painter.end();
    const QRect ink = ink::bounds(image);
    // Seven glyphs of 0.64 em advance, the first starting with its side bearing.
    QVERIFY(ink.width() > 180 && ink.width() < 215);
    QVERIFY(ink.height() > 25);
}

void TestZipFont::boldIsTheFaceItself()
{
    // The face is bold: a bold request needs no emboldening (which PDF output
    // would not reproduce), so bold and regular requests draw the same.
    const auto render = [](bool bold) {
        QImage image(300, 70, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font(Family);
        font.setPixelSize(45);
        font.setBold(bold);
        painter.setFont(font);
        painter.drawText(QPoint(5, 55), QStringLiteral("-123456"));
        return image;
    };
    QFont bold(Family);
    bold.setBold(true);
    QVERIFY(QFontInfo(bold).bold());
    QCOMPARE(render(true), render(false));
}

QTEST_MAIN(TestZipFont)
#include "tst_zipfont.moc"
