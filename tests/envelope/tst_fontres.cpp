// The saved font file: what the program writes reads back the same, and
// streams written by hand the way the platform writes them (identifiers or
// integers, 8/16/32-bit heights, other properties, string kinds) read right.
// Anything cut short or damaged gives the default font.

#include "envelope/fontres.h"

#include "tests/support/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace envelope;

namespace {

// Builds form streams byte by byte.
class Stream {
public:
    Stream() : m_bytes("TPF0") {}
    Stream &raw(const QByteArray &b) { m_bytes += b; return *this; }
    Stream &byte(int b) { m_bytes += char(b); return *this; }
    Stream &le(quint32 v, int n)
    {
        for (int i = 0; i < n; ++i)
            m_bytes += char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    Stream &str(const QByteArray &s) { return byte(s.size()).raw(s); }
    Stream &header() { return str("TFontDialog").str("FontDialog1"); }
    Stream &prop(const QByteArray &name) { return str(name); }
    Stream &ident(const QByteArray &s) { return byte(7).str(s); }
    Stream &int8(int v) { return byte(2).byte(v & 0xFF); }
    Stream &int16(int v) { return byte(3).le(quint32(v), 2); }
    Stream &int32(qint64 v) { return byte(4).le(quint32(v), 4); }
    Stream &string(const QByteArray &s) { return byte(6).str(s); }
    Stream &set(const QList<QByteArray> &items)
    {
        byte(11);
        for (const QByteArray &i : items)
            str(i);
        return byte(0);
    }
    Stream &end() { return byte(0).byte(0); }
    QByteArray bytes() const { return m_bytes; }
    // With the resource header in front.
    QByteArray file() const
    {
        QByteArray out;
        out += char(0xFF);
        out += QByteArray("\x0A\x00", 2);
        out += QByteArray("TFONTDIALOG", 11) + char(0);
        out += QByteArray("\x30\x10", 2);
        const quint32 n = quint32(m_bytes.size());
        for (int i = 0; i < 4; ++i)
            out += char((n >> (8 * i)) & 0xFF);
        return out + m_bytes;
    }

private:
    QByteArray m_bytes;
};

PrintFont font(const QString &family, int height, qint32 color, int charset)
{
    PrintFont f;
    f.family = family;
    f.height = height;
    f.color = color;
    f.charset = charset;
    return f;
}

} // namespace

Q_DECLARE_METATYPE(envelope::PrintFont)

class TestFontRes : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void fileLayout();
    void handMadeStreams_data();
    void handMadeStreams();
    void unreadableStreams_data();
    void unreadableStreams();
    void everyCutShortFileIsUnreadable();
    void garbageNeverCrashes();
    void filesInTheDataFolder();
    void unwritableFolderIsATypedError();
    void printedColours_data();
    void printedColours();
    void fullDiskKeepsTheOldFile();
};

void TestFontRes::roundTrip_data()
{
    QTest::addColumn<PrintFont>("font");
    QTest::newRow("default") << PrintFont();
    PrintFont styled = font("Times New Roman", -21, 0x0000FF, 0);
    styled.bold = styled.italic = styled.underline = styled.strikeOut = true;
    QTest::newRow("every style, red, ANSI") << styled;
    QTest::newRow("Cyrillic family name") << font("Шрифт Ёлка", -15, 0, 204);
    QTest::newRow("name beyond one byte a character") << font("字体", -15, 0, 134);
    QTest::newRow("16-bit height, odd colour") << font("Arial", -300, 0x123456, 204);
    QTest::newRow("32-bit colour, charset number") << font("Arial", 12, qint32(0x7F123456), 99);
    QTest::newRow("system colour") << font("Arial", -15, qint32(0x8000000F), 1);
}

void TestFontRes::roundTrip()
{
    QFETCH(PrintFont, font);
    const std::optional<PrintFont> back = decodeFontRes(encodeFontRes(font));
    QVERIFY(back);
    QCOMPARE(back->family, font.family);
    QCOMPARE(back->height, font.height);
    QCOMPARE(back->color, font.color);
    QCOMPARE(back->charset, font.charset);
    QVERIFY(*back == font);
}

void TestFontRes::fileLayout()
{
    const QByteArray file = encodeFontRes(PrintFont());
    QCOMPARE(quint8(file[0]), quint8(0xFF));
    QCOMPARE(file.mid(1, 2), QByteArray("\x0A\x00", 2));
    QCOMPARE(file.mid(3, 12), QByteArray("TFONTDIALOG\0", 12));
    QCOMPARE(file.mid(15, 2), QByteArray("\x30\x10", 2));
    const QByteArray stream = file.mid(21);
    QCOMPARE(quint32(quint8(file[17]) | quint8(file[18]) << 8 | quint8(file[19]) << 16
                     | quint8(file[20]) << 24),
             quint32(stream.size()));
    // Exactly what the platform writes for Arial 15 px, Cyrillic.
    const QByteArray expected = Stream()
                                    .header()
                                    .prop("Font.Charset").ident("RUSSIAN_CHARSET")
                                    .prop("Font.Color").ident("clWindowText")
                                    .prop("Font.Height").int8(-15)
                                    .prop("Font.Name").string("Arial")
                                    .prop("Font.Style").set({})
                                    .prop("MinFontSize").int8(0)
                                    .prop("MaxFontSize").int8(0)
                                    .end()
                                    .bytes();
    QCOMPARE(stream, expected);
}

void TestFontRes::handMadeStreams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PrintFont>("font");

    PrintFont bold = font("Courier New", -13, 0xFF, 204);
    bold.bold = true;
    QTest::newRow("identifiers, 8-bit height")
        << Stream().header()
               .prop("Font.Charset").ident("RUSSIAN_CHARSET")
               .prop("Font.Color").ident("clRed")
               .prop("Font.Height").int8(-13)
               .prop("Font.Name").string("Courier New")
               .prop("Font.Style").set({"fsBold"})
               .end().file()
        << bold;
    QTest::newRow("integers, 16-bit height")
        << Stream().header()
               .prop("Font.Charset").int16(204)
               .prop("Font.Color").int32(0x00FF00)
               .prop("Font.Height").int16(-200)
               .prop("Font.Name").string("Arial")
               .end().file()
        << font("Arial", -200, 0x00FF00, 204);
    QTest::newRow("32-bit height of a small value, bare stream")
        << Stream().header()
               .prop("Font.Height").int32(-20)
               .end().bytes()
        << font("Arial", -20, syscolor::WindowText, 204);
    QTest::newRow("charset as 8-bit integer, colour identifier in other case")
        << Stream().header()
               .prop("Font.Charset").int8(0)
               .prop("Font.Color").ident("CLBLACK")
               .end().file()
        << font("Arial", -15, 0, 0);
    PrintFont italic = font("Arial", -15, syscolor::WindowText, 204);
    italic.italic = italic.underline = true;
    QTest::newRow("other properties are passed over")
        << Stream().header()
               .prop("Device").ident("fdBoth")
               .prop("MinFontSize").int8(0)
               .prop("MaxFontSize").int16(1000)
               .prop("Options").set({"fdEffects", "fdForceFontExist"})
               .prop("Tag").int32(-1)
               .prop("Font.Style").set({"fsItalic", "fsUnknownFlag", "fsUnderline"})
               .prop("Extra").byte(1).int8(5).string("x").byte(0)        // a list
               .prop("Blob").byte(10).le(3, 4).raw("abc")                // binary
               .prop("Ratio").byte(5).raw(QByteArray(10, '\0'))          // extended
               .prop("Enabled").byte(9)                                  // true
               .end().file()
        << italic;
    QTest::newRow("filer flags with child position")
        << Stream().byte(0xF2).int8(3).header()
               .prop("Font.Name").string("Tahoma")
               .end().file()
        << font("Tahoma", -15, syscolor::WindowText, 204);
    QTest::newRow("single-byte Cyrillic name")
        << Stream().header().prop("Font.Name").string("\xD8\xF0\xE8\xF4\xF2").end().file()
        << font("Шрифт", -15, syscolor::WindowText, 204);
    QTest::newRow("long string")
        << Stream().header().prop("Font.Name").byte(12).le(5, 4).raw("Arial").end().file()
        << font("Arial", -15, syscolor::WindowText, 204);
    QTest::newRow("UTF-8 string")
        << Stream().header().prop("Font.Name").byte(20).le(10, 4).raw("Шрифт").end().file()
        << font("Шрифт", -15, syscolor::WindowText, 204);
    QTest::newRow("wide string")
        << Stream().header().prop("Font.Name").byte(18).le(2, 4)
               .raw(QByteArray("\x28\x04\x40\x04", 4)).end().file()
        << font("Шр", -15, syscolor::WindowText, 204);
    QTest::newRow("size in points instead of height")
        << Stream().header().prop("Font.Size").int8(12).end().file()
        << font("Arial", -16, syscolor::WindowText, 204);
    QTest::newRow("numbered resource name")
        << QByteArray("\xFF\x0A\x00\xFF\x01\x00\x30\x10", 8)
               + []() {
                     const QByteArray s = Stream().header().prop("Font.Height").int8(-9).end().bytes();
                     QByteArray n;
                     for (int i = 0; i < 4; ++i)
                         n += char((s.size() >> (8 * i)) & 0xFF);
                     return n + s;
                 }()
        << font("Arial", -9, syscolor::WindowText, 204);
}

void TestFontRes::handMadeStreams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(PrintFont, font);
    const std::optional<PrintFont> read = decodeFontRes(bytes);
    QVERIFY(read);
    QCOMPARE(read->family, font.family);
    QCOMPARE(read->height, font.height);
    QCOMPARE(read->color, font.color);
    QCOMPARE(read->charset, font.charset);
    QCOMPARE(read->bold, font.bold);
    QCOMPARE(read->italic, font.italic);
    QCOMPARE(read->underline, font.underline);
    QCOMPARE(read->strikeOut, font.strikeOut);
}

void TestFontRes::unreadableStreams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text file") << QByteArray("object FontDialog1: TFontDialog\r\nend\r\n");
    QTest::newRow("wrong signature") << Stream().header().end().file().replace("TPF0", "TPF1");
    QTest::newRow("unknown charset identifier")
        << Stream().header().prop("Font.Charset").ident("KLINGON_CHARSET").end().file();
    QTest::newRow("unknown colour identifier")
        << Stream().header().prop("Font.Color").ident("clSunset").end().file();
    QTest::newRow("height as text")
        << Stream().header().prop("Font.Height").string("-15").end().file();
    QTest::newRow("absurd height") << Stream().header().prop("Font.Height").int32(-900000).end().file();
    QTest::newRow("charset out of range") << Stream().header().prop("Font.Charset").int16(300).end().file();
    QTest::newRow("unknown value tag") << Stream().header().prop("Font.Height").byte(99).end().file();
    QTest::newRow("missing end of properties")
        << Stream().header().prop("Font.Height").int8(-15).bytes();
    QTest::newRow("length beyond the file")
        << Stream().header().prop("Font.Name").byte(12).le(0x7FFFFFFF, 4).raw("Arial").end().file();
    QByteArray deep = Stream().header().prop("Deep").bytes();
    deep += QByteArray(100000, '\x01');
    QTest::newRow("lists nested beyond reason") << deep;
}

void TestFontRes::unreadableStreams()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!decodeFontRes(bytes));
}

void TestFontRes::everyCutShortFileIsUnreadable()
{
    PrintFont f = font("Times New Roman", -19, 0x0000FF, 204);
    f.bold = true;
    const QByteArray file = encodeFontRes(f);
    for (int n = 0; n < file.size(); ++n)
        QVERIFY2(!decodeFontRes(file.left(n)), qPrintable(QString::number(n)));
    QVERIFY(decodeFontRes(file));
}

void TestFontRes::garbageNeverCrashes()
{
    QRandomGenerator random(4);
    const QByteArray valid = encodeFontRes(PrintFont());
    int readable = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = valid;
        const int flips = 1 + random.bounded(4);
        for (int i = 0; i < flips; ++i)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        if (decodeFontRes(bytes))
            ++readable;
    }
    // Most single-byte damage inside names and tags is caught; some (a byte
    // of the family name, for one) still reads as a font.
    QVERIFY(readable < 3000);
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = char(random.bounded(256));
    QVERIFY(!decodeFontRes(noise));
}

void TestFontRes::filesInTheDataFolder()
{
    QTemporaryDir dir;
    QCOMPARE(loadSavedFont(dir.path()), PrintFont());  // missing file

    PrintFont f = font("Liberation Serif", -24, 0x800000, 204);
    f.italic = true;
    saveFont(dir.path(), f);
    QVERIFY(QFile::exists(dir.filePath("Font.res")));
    QCOMPARE(loadSavedFont(dir.path()), f);

    // An existing file in other letter case is the same file.
    QVERIFY(QFile::rename(dir.filePath("Font.res"), dir.filePath("font.RES")));
    QCOMPARE(loadSavedFont(dir.path()), f);
    saveFont(dir.path(), PrintFont());
    QVERIFY(!QFile::exists(dir.filePath("Font.res")));
    QCOMPARE(loadSavedFont(dir.path()), PrintFont());

    QFile damaged(dir.filePath("font.RES"));
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(encodeFontRes(f).left(30));
    damaged.close();
    QCOMPARE(loadSavedFont(dir.path()), PrintFont());
}

void TestFontRes::unwritableFolderIsATypedError()
{
    // A folder in the way of the file cannot be written over, whatever the
    // rights of the user running the test.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Font.res")));
    try {
        saveFont(dir.path(), PrintFont());
        QFAIL("no error for a file that cannot be written");
    } catch (const FontFileError &e) {
        QVERIFY(e.message().contains(QStringLiteral("не удалось сохранить шрифт")));
        QVERIFY(e.message().contains(QStringLiteral("Font.res")));
    }
}

// Colour values as the messages read them: the top byte 0x80 names a system
// colour, otherwise the low bytes are red, green and blue.
void TestFontRes::printedColours_data()
{
    QTest::addColumn<qint32>("stored");
    QTest::addColumn<QColor>("printed");
    QTest::newRow("window text") << syscolor::WindowText << QColor(Qt::black);
    QTest::newRow("button face") << qint32(0x8000000F) << QColor(0xC0, 0xC0, 0xC0);
    QTest::newRow("red") << qint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("navy") << qint32(0x800000) << QColor(0, 0, 128);
    QTest::newRow("white") << qint32(0xFFFFFF) << QColor(Qt::white);
    QTest::newRow("default") << qint32(0x20000000) << QColor(Qt::black);
}

void TestFontRes::printedColours()
{
    QFETCH(qint32, stored);
    QFETCH(QColor, printed);
    QCOMPARE(colorOfStored(stored), printed);
    // A colour named in the stream reads as the same value.
    PrintFont f;
    f.color = stored;
    const std::optional<PrintFont> back = decodeFontRes(encodeFontRes(f));
    QVERIFY(back);
    QCOMPARE(back->textColor(), printed);
}

void TestFontRes::fullDiskKeepsTheOldFile()
{
    SmallDisk disk(64);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    PrintFont f = font("Liberation Serif", -24, 0x800000, 204);
    saveFont(disk.path(), f);
    const QByteArray before = fileHash(disk.filePath("Font.res"));
    disk.fill();
    f.family = QStringLiteral("Другое имя шрифта, длиннее прежнего");
    try {
        saveFont(disk.path(), f);
        QFAIL("a full disk reported no error");
    } catch (const FontFileError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Нет места на диске")), qPrintable(e.message()));
    }
    QCOMPARE(fileHash(disk.filePath("Font.res")), before);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left
}

QTEST_GUILESS_MAIN(TestFontRes)
#include "tst_fontres.moc"
