#include "messages/colourvalue.h"
#include "messages/integertext.h"
#include "messages/markupcodes.h"

#include <QtTest>

using Codes = QList<messages::TParamFont>;
Q_DECLARE_METATYPE(Codes)

namespace {

QString repeated(const QString &piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

class MarkupCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void extraction_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<Codes>("codes");

        QTest::newRow("summary line") << QStringLiteral(" {PL}Печатать: {FB}Конверт")
                                      << QStringLiteral(" Печатать: Конверт")
                                      << Codes{{"{PL}", 2}, {"{FB}", 12}};
        QTest::newRow("empty") << QString() << QString() << Codes{};
        QTest::newRow("no codes") << QStringLiteral("просто текст") << QStringLiteral("просто текст") << Codes{};
        QTest::newRow("side by side") << QStringLiteral("{FB}{FI}a") << QStringLiteral("a")
                                      << Codes{{"{FB}", 1}, {"{FI}", 1}};
        QTest::newRow("at the very end") << QStringLiteral("ab{FB}") << QStringLiteral("ab") << Codes{{"{FB}", 3}};
        QTest::newRow("unknown and lower case") << QStringLiteral("{fb}x{Привет}") << QStringLiteral("x")
                                                << Codes{{"{fb}", 1}, {"{Привет}", 2}};
        QTest::newRow("argument codes") << QStringLiteral("{FS12}{FC$0000FF}a{FNArial}b")
                                        << QStringLiteral("ab")
                                        << Codes{{"{FS12}", 1}, {"{FC$0000FF}", 1}, {"{FNArial}", 2}};
        QTest::newRow("user name with a code") << QStringLiteral("Кому: A{FB}B") << QStringLiteral("Кому: AB")
                                               << Codes{{"{FB}", 8}};
        QTest::newRow("brace inside a code") << QStringLiteral("{a{b}c") << QStringLiteral("c")
                                             << Codes{{"{a{b}", 1}};
        QTest::newRow("line break counts once per character")
            << QStringLiteral("a\r\n{FB}b\r{PR}") << QStringLiteral("a\r\nb\r")
            << Codes{{"{FB}", 4}, {"{PR}", 6}};
        QTest::newRow("open brace without close") << QStringLiteral("ab{FB") << QStringLiteral("ab{FB") << Codes{};
        QTest::newRow("unclosed after a code") << QStringLiteral("{FB}x{y") << QStringLiteral("x{y")
                                               << Codes{{"{FB}", 1}};
        QTest::newRow("close brace before the first open")
            << QStringLiteral("a}b{FB}c") << QStringLiteral("a}bc") << Codes{{"{FB}", 4}};
        QTest::newRow("only close braces") << QStringLiteral("}}") << QStringLiteral("}}") << Codes{};
        QTest::newRow("lone open brace") << QStringLiteral("{") << QStringLiteral("{") << Codes{};
        QTest::newRow("empty braces") << QStringLiteral("{}{}") << QString() << Codes{{"{}", 1}, {"{}", 1}};
    }

    void extraction()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QFETCH(Codes, codes);
        const messages::ExtractedCodes extracted = messages::ExtractCodes(text);
        QCOMPARE(extracted.plainText, plain);
        QCOMPARE(extracted.codes.size(), codes.size());
        for (qsizetype i = 0; i < codes.size(); ++i) {
            QCOMPARE(extracted.codes[i].Code, codes[i].Code);
            QCOMPARE(extracted.codes[i].Pos, codes[i].Pos);
        }
    }

    void codesBeyondTheLimitAreDropped()
    {
        const messages::ExtractedCodes extracted = messages::ExtractCodes(repeated(QStringLiteral("{FB}x"), messages::MaxCodesPerText + 5));
        QCOMPARE(extracted.codes.size(), messages::MaxCodesPerText);
        QCOMPARE(extracted.codes.last().Pos, messages::MaxCodesPerText);
        QCOMPARE(extracted.plainText, repeated(QStringLiteral("x"), messages::MaxCodesPerText + 5));
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");

        const auto row = [](const char *tag, const QString &code, messages::CodeKind kind, const QString &name = QString(),
                            int number = 0) { QTest::newRow(tag) << code << int(kind) << name << number; };
        row("bold", "{FB}", messages::CodeKind::AddBold);
        row("no bold", "{FB-}", messages::CodeKind::RemoveBold);
        row("italic", "{FI}", messages::CodeKind::AddItalic);
        row("no italic", "{FI-}", messages::CodeKind::RemoveItalic);
        row("underline", "{F_}", messages::CodeKind::AddUnderline);
        row("no underline", "{F_-}", messages::CodeKind::RemoveUnderline);
        row("reset", "{F0}", messages::CodeKind::ResetFont);
        row("left", "{PL}", messages::CodeKind::AlignLeft);
        row("centre", "{PC}", messages::CodeKind::AlignCenter);
        row("right", "{PR}", messages::CodeKind::AlignRight);
        row("lower case is unknown", "{fb}", messages::CodeKind::Unknown);
        row("space makes it unknown", "{FB }", messages::CodeKind::Unknown);
        row("empty braces", "{}", messages::CodeKind::Unknown);
        row("font name", "{FNArial}", messages::CodeKind::FontName, "Arial");
        row("font name with spaces", "{FNTimes New Roman}", messages::CodeKind::FontName, "Times New Roman");
        row("empty font name", "{FN}", messages::CodeKind::FontName, "");
        row("size", "{FS12}", messages::CodeKind::FontSize, {}, 12);
        row("signed size", "{FS-3}", messages::CodeKind::FontSize, {}, -3);
        row("red", "{FC$0000FF}", messages::CodeKind::FontColor, {}, 0xFF);
        row("decimal colour", "{FC255}", messages::CodeKind::FontColor, {}, 255);
        row("system colour", "{FC$80000018}", messages::CodeKind::FontColor, {}, int(0x80000018u));
        row("green background", "{BC$00FF00}", messages::CodeKind::Background, {}, 0xFF00);
        row("all bits", "{BC$FFFFFFFF}", messages::CodeKind::Background, {}, -1);
        row("lowest integer", "{FS-2147483648}", messages::CodeKind::FontSize, {}, std::numeric_limits<int>::min());
    }

    void parsing()
    {
        QFETCH(QString, code);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(int, number);
        const messages::MarkupCode parsed = messages::ParseMarkupCode(code);
        QCOMPARE(int(parsed.kind), kind);
        QCOMPARE(parsed.name, name);
        QCOMPARE(parsed.number, number);
    }

    void notAnInteger_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty size") << QStringLiteral("{FS}");
        QTest::newRow("letters") << QStringLiteral("{FSx}");
        QTest::newRow("fraction") << QStringLiteral("{FS12.5}");
        QTest::newRow("inner space") << QStringLiteral("{FS 12}");
        QTest::newRow("sign only") << QStringLiteral("{FC-}");
        QTest::newRow("dollar only") << QStringLiteral("{FC$}");
        QTest::newRow("bad hex digit") << QStringLiteral("{BC$00GG00}");
        QTest::newRow("hex beyond 32 bits") << QStringLiteral("{BC$1FFFFFFFF}");
        QTest::newRow("decimal beyond 32 bits") << QStringLiteral("{FS2147483648}");
        QTest::newRow("far beyond") << QStringLiteral("{FS99999999999999999999}");
        QTest::newRow("with a NUL") << QStringLiteral("{FS1") + QChar(0) + QStringLiteral("2}");
    }

    void notAnInteger()
    {
        QFETCH(QString, code);
        try {
            messages::ParseMarkupCode(code);
            QFAIL("no conversion error");
        } catch (const std::exception &error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains("is not a valid"), error.what());
        }
    }

    void colours_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red") << 0x0000FF << QColor(255, 0, 0);
        QTest::newRow("green") << 0x00FF00 << QColor(0, 255, 0);
        QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
        QTest::newRow("black") << 0 << QColor(0, 0, 0);
        QTest::newRow("mixed") << 0x123456 << QColor(0x56, 0x34, 0x12);
        QTest::newRow("other top byte ignored") << 0x010000FF << QColor(255, 0, 0);
        QTest::newRow("window text") << int(0x80000008u) << QColor(1, 1, 1);
        QTest::newRow("button face") << int(0x8000000Fu) << QColor(2, 2, 2);
        QTest::newRow("info background") << int(0x80000018u) << QColor(3, 3, 3);
        QTest::newRow("info text") << int(0x80000017u) << QColor(4, 4, 4);
        QTest::newRow("unknown system number") << int(0x800000FFu) << QColor(1, 1, 1);
    }

    void colours()
    {
        QFETCH(int, value);
        QFETCH(QColor, colour);
        QPalette palette;
        palette.setColor(QPalette::WindowText, QColor(1, 1, 1));
        palette.setColor(QPalette::Button, QColor(2, 2, 2));
        palette.setColor(QPalette::ToolTipBase, QColor(3, 3, 3));
        palette.setColor(QPalette::ToolTipText, QColor(4, 4, 4));
        QCOMPARE(messages::ColorFromValue(value, palette), colour);
    }
};

QTEST_GUILESS_MAIN(MarkupCodesTest)
#include "tst_markupcodes.moc"
