// The print summary as the user sees it: the markup rendered (labels
// regular, values bold, the font sample in its font, the closing note in
// 8 points) and the message window it shows in, with its two buttons.

#include "messages/markupdocument.h"
#include "runs/ui/summarywindow.h"
#include "tests/support/modal.h"
#include "tests/support/printrunfixture.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

Q_DECLARE_METATYPE(runs::RunKind)

namespace {

runs::ResumeFacts richEnvelope()
{
    runs::ResumeFacts f;
    f.request.scope = runs::PrintScope::Marked;
    f.request.selectedCount = 3;
    f.request.filterText = QStringLiteral("склад");
    f.screen.font = {QStringLiteral("Liberation Serif"), 14, true, true};
    f.screen.printLogo = true;
    f.formatName = QStringLiteral("C5");
    f.typKonv = 1;
    f.otKogo = QStringLiteral("Петров");
    f.otKuda = QStringLiteral("Тверь");
    f.otIndex = QStringLiteral("170000");
    f.printerName = QStringLiteral("Офис");
    f.dx = 1.5;
    f.insertNote = QStringLiteral("лицом вверх");
    return f;
}

// The character format of the first character of a piece of the plain text.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &piece)
{
    const int at = doc.toPlainText().indexOf(piece);
    if (at < 0)
        qFatal("piece not in the summary: %s", qPrintable(piece));
    QTextCursor cursor(const_cast<QTextDocument *>(&doc));
    cursor.setPosition(at + 1);
    return cursor.charFormat();
}

bool isBold(const QTextCharFormat &f)
{
    return f.fontWeight() >= QFont::Bold;
}

} // namespace

class TestSummaryWindow : public QObject {
    Q_OBJECT
private slots:
    void labelsRegularValuesBold_data();
    void labelsRegularValuesBold();
    void fontSampleAndNote();
    void missingBlankIsRed();
    void windowAndButtons_data();
    void windowAndButtons();
};

void TestSummaryWindow::labelsRegularValuesBold_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("value");
    QTest::newRow("kind") << "Печатать:" << "Конверт C5";
    QTest::newRow("recipient") << "Получатель:" << "Выделенные - 3 шт (фильтр = склад)";
    QTest::newRow("sender") << "Отправитель:" << "Петров, Тверь";
    QTest::newRow("logo") << "Печать картинки:" << "Вкл";
    QTest::newRow("offset") << "Смещение при печати:" << "Офис: по горизонтали 1,5мм";
}

void TestSummaryWindow::labelsRegularValuesBold()
{
    QFETCH(QString, label);
    QFETCH(QString, value);
    QTextDocument doc;
    messages::RenderMarkupDocument(doc, runs::ResumeText(richEnvelope(), QStringLiteral(",")),
                         QApplication::palette());
    QVERIFY(doc.toPlainText().contains(label + ' ' + value));
    QVERIFY(!isBold(formatOf(doc, label)));
    QVERIFY(isBold(formatOf(doc, value)));
    QCOMPARE(formatOf(doc, value).fontFamilies().toStringList().value(0), QStringLiteral("Tahoma"));
    // Left-aligned from the first paragraph on.
    QCOMPARE(doc.findBlock(doc.toPlainText().indexOf(label)).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignLeft);
}

void TestSummaryWindow::fontSampleAndNote()
{
    QTextDocument doc;
    messages::RenderMarkupDocument(doc, runs::ResumeText(richEnvelope(), QStringLiteral(",")),
                         QApplication::palette());
    const QTextCharFormat sample = formatOf(doc, QStringLiteral("Liberation Serif"));
    QCOMPARE(sample.fontFamilies().toStringList().value(0), QStringLiteral("Liberation Serif"));
    QCOMPARE(sample.fontPointSize(), 14.0);
    QVERIFY(isBold(sample));
    QVERIFY(sample.fontItalic());
    QVERIFY(!isBold(formatOf(doc, QStringLiteral("Шрифт :"))));

    const QTextCharFormat note = formatOf(doc, QStringLiteral("*Как вставлять"));
    QCOMPARE(note.fontPointSize(), 8.0);
    QVERIFY(!isBold(note));
    QCOMPARE(note.fontFamilies().toStringList().value(0), QStringLiteral("Tahoma"));
    QCOMPARE(formatOf(doc, QStringLiteral("лицом вверх")).fontPointSize(), 8.0);
    // The label before the note keeps the base size.
    QCOMPARE(formatOf(doc, QStringLiteral("Печать картинки:")).fontPointSize(), 10.0);
}

void TestSummaryWindow::missingBlankIsRed()
{
    runs::ResumeFacts f = richEnvelope();
    f.request.kind = runs::RunKind::Blank;
    QTextDocument doc;
    messages::RenderMarkupDocument(doc, runs::ResumeText(f, QStringLiteral(",")), QApplication::palette());
    QCOMPARE(formatOf(doc, QStringLiteral("не выбран бланк!")).foreground().color(), QColor(255, 0, 0));
    QVERIFY(isBold(formatOf(doc, QStringLiteral("не выбран бланк!"))));
    QCOMPARE(formatOf(doc, QStringLiteral("*При печати")).fontPointSize(), 8.0);
}

void TestSummaryWindow::windowAndButtons_data()
{
    QTest::addColumn<runs::RunKind>("kind");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("envelopes, print") << runs::RunKind::Envelope << 1 << true;
    QTest::newRow("envelopes, no") << runs::RunKind::Envelope << 2 << false;
    QTest::newRow("blank without template, print") << runs::RunKind::Blank << 1 << true;
}

void TestSummaryWindow::windowAndButtons()
{
    QFETCH(runs::RunKind, kind);
    QFETCH(int, button);
    QFETCH(bool, confirmed);
    printruntest::Data d;
    d.standardSetup();
    QSize size;
    QString title, text;
    QStringList captions;
    QList<int> widths;
    modal::whenShown(QStringLiteral("TForm1001"), [&](QWidget *window) {
        size = window->frameGeometry().size();
        title = window->windowTitle();
        text = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1"))->toPlainText();
        for (int k = 1; k <= 5; ++k) {
            auto *label = window->findChild<QLabel *>(QStringLiteral("Label%1").arg(k));
            captions << label->text();
            widths << label->width();
        }
        modal::pressMessageButton(window, button);
    });
    const bool answer = runs::ShowResume(QStringLiteral("Kuvertix"), runs::RunRequest{kind}, d.tables);
    modal::stopPolls();
    QCOMPARE(answer, confirmed);
    QCOMPARE(size, QSize(800, 360));
    QCOMPARE(title, QStringLiteral("Kuvertix"));
    QVERIFY(text.startsWith(QStringLiteral(" Печатать: ") + runs::runKindWord(kind)));
    QCOMPARE(captions.mid(0, 2), (QStringList{QStringLiteral("   Печатать   "), QStringLiteral("   Нет   ")}));
    QVERIFY(widths[0] > 0 && widths[1] > 0);
    QCOMPARE(widths.mid(2), (QList<int>{0, 0, 0}));
}

QTEST_MAIN(TestSummaryWindow)
#include "tst_summarywindow.moc"
