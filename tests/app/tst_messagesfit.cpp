// Every fixed-size message of the program shows its whole text above its
// buttons, in the fonts the program registers at start (Tahoma).

#include "addressbook/filterhistory.h"
#include "addressbook/sheetcells.h"
#include "app/ui/application.h"
#include "letters/blanks.h"
#include "messages/ui/messagewindow.h"
#include "runs/ui/summarywindow.h"

#include "tests/support/modal.h"

#include <QFontInfo>
#include <QTextEdit>
#include <QtTest>

namespace {

runs::ResumeFacts busyOffice()
{
    runs::ResumeFacts f;
    f.request.scope = runs::PrintScope::Current;
    f.request.filterText = QStringLiteral("металл|оао|санкт-петербург");
    f.request.blankName = QStringLiteral("Уведомление о вручении 4 шт сторона1.doc");
    f.request.returnEnvelope = true;
    f.screen.font = {QStringLiteral("Liberation Serif"), 14, true, false};
    f.screen.printLogo = f.screen.printZipCode = f.screen.printComment = true;
    f.formatName = QStringLiteral("C4 324x229 с окном");
    f.typKonv = 1;
    f.komu = QStringLiteral("Обществу с ограниченной ответственностью «Северо-Западная металлоторговая компания»");
    f.kuda = QStringLiteral("г. Санкт-Петербург, Невский проспект, д. 28, литера А, помещение 12-Н, офис 305");
    f.index = QStringLiteral("191186");
    f.otKogo = QStringLiteral("ОАО «Металлургический завод имени Петровского», отдел сбыта");
    f.otKuda = QStringLiteral("Свердловская обл., г. Нижний Тагил, ул. Индустриальная, д. 1, корп. 2");
    f.otIndex = QStringLiteral("622025");
    f.printerName = QStringLiteral("HP LaserJet Pro M404dn в бухгалтерии");
    f.dx = -1.5;
    f.dy = 2.25;
    f.konvertComment = QStringLiteral("ЗАКАЗНОЕ\r\nС ЗАКАЗНЫМ УВЕДОМЛЕНИЕМ\r\n");
    f.insertNote = QStringLiteral("Узкой стороной, маркой вперёд, лицом вниз; в лоток для конвертов сзади.");
    return f;
}

} // namespace

class MessagesFitTest : public QObject {
    Q_OBJECT
private slots:
    void tahomaIsRegistered();
    void wholeTextAboveButtons_data();
    void wholeTextAboveButtons();
};

void MessagesFitTest::tahomaIsRegistered()
{
    QCOMPARE(QFontInfo(QFont(QStringLiteral("Tahoma"))).family(), QStringLiteral("Tahoma"));
}

void MessagesFitTest::wholeTextAboveButtons_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("about the filter") << QSize(670, 500) << addressbook::filterHelpText()
                                      << QStringList{" Понятно ", " Непонятно "};
    QTest::newRow("own blanks") << QSize(600, 430) << letters::blankHelpText()
                                << QStringList{" Понятно ", " Открыть папку с бланками "};
    addressbook::ImportOutcome cut;
    cut.errors = true;
    cut.cutCells = 1048576;
    QTest::newRow("import with cut cells") << QSize(350, 130) << addressbook::importErrorsText(cut)
                                           << QStringList{" Продолжить "};
    const QStringList summaryButtons{runs::ResumePrintButton, runs::ResumeNoButton};
    for (const runs::RunKind kind : {runs::RunKind::Envelope, runs::RunKind::Blank}) {
        runs::ResumeFacts facts = busyOffice();
        facts.request.kind = kind;
        QTest::newRow(qPrintable("summary " + runs::runKindWord(kind)))
            << QSize(runs::ResumeWidth, runs::ResumeHeight) << runs::ResumeText(facts, ",") << summaryButtons;
    }
}

void MessagesFitTest::wholeTextAboveButtons()
{
    QFETCH(QSize, size);
    QFETCH(QString, text);
    QFETCH(QStringList, buttons);
    qreal textHeight = 0;
    int room = 0;
    modal::whenShown(QStringLiteral("TForm1001"), [&](QWidget *window) {
        auto *area = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1"));
        textHeight = area->document()->size().height();
        room = window->findChild<QWidget *>(QStringLiteral("Panel1"))->y() - area->y();
        modal::pressMessageButton(window, 1);
    });
    QCOMPARE(messages::ShowMsg(QStringLiteral("Kuvertix"), size.width(), size.height(), text, buttons.value(0),
                     buttons.value(1)),
             1);
    modal::stopPolls();
    QVERIFY2(textHeight > 0 && textHeight <= room,
             qPrintable(QStringLiteral("text %1 px, room %2 px").arg(textHeight).arg(room)));
}

int main(int argc, char **argv)
{
    app::Application application(argc, argv);
    MessagesFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagesfit.moc"
