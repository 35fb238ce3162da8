#include "messages/integertext.h"
#include "messages/markupdocument.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// A palette whose system colours can be told apart.
QPalette testPalette()
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(10, 20, 30));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    return palette;
}

// The character format of the character at a document position.
QTextCharFormat formatAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

// The document position of the n-th occurrence (from 0) of a character.
int positionOf(const QTextDocument &document, QChar c)
{
    return int(document.toRawText().indexOf(c));
}

QList<Qt::Alignment> alignments(const QTextDocument &document)
{
    QList<Qt::Alignment> result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        result.append(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    return result;
}

} // namespace

using Alignments = QList<Qt::Alignment>;
Q_DECLARE_METATYPE(Alignments)

class MarkupDocumentTest : public QObject
{
    Q_OBJECT

    QTextDocument document;
    const QPalette palette = testPalette();

    QTextCharFormat render(const QString &text, QChar probe)
    {
        messages::RenderMarkupDocument(document, text, palette);
        const int position = positionOf(document, probe);
        if (position < 0)
            return {};
        return formatAt(document, position);
    }

private slots:
    void baseAttributes()
    {
        const QTextCharFormat format = render(QStringLiteral("a"), u'a');
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Tahoma"});
        QCOMPARE(format.fontPointSize(), 10.0);
        QCOMPARE(format.foreground().color(), QColor(10, 20, 30));
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QVERIFY(!format.fontItalic());
        QVERIFY(!format.fontUnderline());
        QCOMPARE(alignments(document), Alignments{Qt::AlignHCenter});
        QCOMPARE(messages::MarkupBackground(document), QColor(255, 255, 225));
    }

    void boldThenRegular()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("{FB}a{FB-}b"), palette);
        QCOMPARE(document.toPlainText(), QStringLiteral("ab"));
        QCOMPARE(formatAt(document, 0).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt(document, 1).fontWeight(), int(QFont::Normal));
    }

    void stylesAccumulate()
    {
        QTextCharFormat format = render(QStringLiteral("{FB}{FI}a"), u'a');
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
        QVERIFY(format.fontItalic());

        messages::RenderMarkupDocument(document, QStringLiteral("{F_}{FB}a{FI}b{FB-}c{F_-}d{FI-}e"), palette);
        const auto style = [&](int i) {
            const QTextCharFormat f = formatAt(document, i);
            return QString("%1%2%3").arg(f.fontWeight() == QFont::Bold ? "B" : "-",
                                         f.fontItalic() ? "I" : "-", f.fontUnderline() ? "U" : "-");
        };
        QCOMPARE(style(0), QStringLiteral("B-U"));
        QCOMPARE(style(1), QStringLiteral("BIU"));
        QCOMPARE(style(2), QStringLiteral("-IU"));
        QCOMPARE(style(3), QStringLiteral("-I-"));
        QCOMPARE(style(4), QStringLiteral("---"));
    }

    void codesAreCaseSensitive()
    {
        const QTextCharFormat format = render(QStringLiteral("{fb}a{fs20}"), u'a');
        QCOMPARE(document.toPlainText(), QStringLiteral("a"));
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QCOMPARE(format.fontPointSize(), 10.0);
    }

    void fontNameSizeAndColour()
    {
        QTextCharFormat format = render(QStringLiteral("x{FNArial}{FS12}{FC$0000FF}a"), u'a');
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(format.fontPointSize(), 12.0);
        QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatAt(document, 0).fontPointSize(), 10.0);

        format = render(QStringLiteral("{FN}a"), u'a');
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{QString()});

        format = render(QStringLiteral("{FC$8000000D}a"), u'a');
        QCOMPARE(format.foreground().color(), QColor(0, 0, 128));
    }

    void sizesStayDrawable()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("{FS0}a{FS2147483647}b{FS-5}c"), palette);
        QCOMPARE(formatAt(document, 0).fontPointSize(), double(messages::MinMarkupPointSize));
        QCOMPARE(formatAt(document, 1).fontPointSize(), double(messages::MaxMarkupPointSize));
        QCOMPARE(formatAt(document, 2).fontPointSize(), double(messages::MinMarkupPointSize));
    }

    void resetReturnsToTheBase()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("{FB}{FI}{FNArial}{FS14}{FC$0000FF}a{F0}b{PR}"), palette);
        const QTextCharFormat format = formatAt(document, 1);
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Tahoma"});
        QCOMPARE(format.fontPointSize(), 10.0);
        QCOMPARE(format.foreground().color(), QColor(10, 20, 30));
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QVERIFY(!format.fontItalic());
        QCOMPARE(alignments(document), Alignments{Qt::AlignRight});
    }

    void paragraphAlignment_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Alignments>("expected");
        const Qt::Alignment L = Qt::AlignLeft, C = Qt::AlignHCenter, R = Qt::AlignRight;
        QTest::newRow("none") << QStringLiteral("a\rb") << Alignments{C, C};
        QTest::newRow("right mid first paragraph, left from the third")
            << QStringLiteral("ab{PR}cd\ref\rgh{PL}ij\rkl") << Alignments{R, R, L, L};
        QTest::newRow("code on the line break") << QStringLiteral("a{PR}\rb\r{PL}c") << Alignments{R, R, L};
        QTest::newRow("at the very end") << QStringLiteral("a\rb{PR}") << Alignments{C, R};
        QTest::newRow("after a final break") << QStringLiteral("a\r{PR}") << Alignments{C, R};
        QTest::newRow("line feed belongs to the break") << QStringLiteral("a\r{PR}\nb") << Alignments{R, R};
        QTest::newRow("later code wins") << QStringLiteral("{PL}{PR}a\r{PC}b") << Alignments{R, C};
        QTest::newRow("empty text") << QStringLiteral("{PL}") << Alignments{L};
    }

    void paragraphAlignment()
    {
        QFETCH(QString, text);
        QFETCH(Alignments, expected);
        messages::RenderMarkupDocument(document, text, palette);
        QCOMPARE(alignments(document), expected);
    }

    void crLfIsOneParagraphBreak()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("a\r\nb{FB}c\rd"), palette);
        QCOMPARE(document.blockCount(), 3);
        QCOMPARE(document.toPlainText(), QStringLiteral("a\nbc\nd"));
        QCOMPARE(formatAt(document, 2).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(document, 3).fontWeight(), int(QFont::Bold));
    }

    void backgroundOfTheWholeArea()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("a\rb{BC$00FF00}c"), palette);
        QCOMPARE(messages::MarkupBackground(document), QColor(0, 255, 0));
        QCOMPARE(formatAt(document, 0).foreground().color(), QColor(10, 20, 30));

        messages::RenderMarkupDocument(document, QStringLiteral("{BC$00FF00}a{BC$0000FF}"), palette);
        QCOMPARE(messages::MarkupBackground(document), QColor(255, 0, 0));

        messages::RenderMarkupDocument(document, QStringLiteral("a"), palette);
        QCOMPARE(messages::MarkupBackground(document), QColor(255, 255, 225));
    }

    void characterCodeAtTheEndChangesNothing()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("ab{FB}{FS30}"), palette);
        QCOMPARE(formatAt(document, 1).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(document, 1).fontPointSize(), 10.0);
    }

    void badNumberCodeShowsAsText()
    {
        messages::RenderMarkupDocument(document, QStringLiteral("{FB}a{BC$00FF00}{FSx}b{FI}c{FC$GG}"), palette);
        QCOMPARE(document.toPlainText(), QStringLiteral("a{FSx}bc{FC$GG}"));
        QCOMPARE(formatAt(document, 0).fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(document, 7).fontItalic());
        QCOMPARE(formatAt(document, 7).fontPointSize(), 10.0);
        QCOMPARE(messages::MarkupBackground(document), QColor(0, 255, 0));
    }

    void unusualCharactersKeepPositions()
    {
        const QString text = QStringLiteral("a") + QChar::ParagraphSeparator + QChar(0xFDD0) + QStringLiteral("{FB}b");
        messages::RenderMarkupDocument(document, text, palette);
        QCOMPARE(document.blockCount(), 2);
        QCOMPARE(formatAt(document, 2).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(document, 3).fontWeight(), int(QFont::Bold));
        QCOMPARE(document.characterAt(3), QChar(u'b'));
    }
};

QTEST_MAIN(MarkupDocumentTest)
#include "tst_markupdocument.moc"
