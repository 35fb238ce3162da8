// The print-run button without a spooler: the warning for no marked
// recipient, a printer failure in the middle of a run, the progress shown
// while the run goes, and braces in the user's data that are not valid
// markup.

#include "tests/support/pdfread.h"
#include "tests/support/printrunharness.h"
#include "report/reporterror.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

using printruntest::Harness;
using Outcome = envelope::PrintRunPanel::Outcome;

namespace {

void addThree(Harness &h)
{
    h.addRecipient(QStringLiteral("Акулов"), QStringLiteral("Москва"), QStringLiteral("101000"), true);
    h.addRecipient(QStringLiteral("Белкина"), QStringLiteral("Псков"), QStringLiteral("180000"), false);
    h.addRecipient(QStringLiteral("Волков"), QStringLiteral("Омск"), QStringLiteral("644000"), true);
    h.book.selectedCalc();
}

} // namespace

class TestPrintRunPanel : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirNames();
    void noMarkedRecipientIsAWarning();
    void printerFailureStopsTheRunWithAMessage();
    void stoppedRunGoesOnFromTheNextEnvelope();
    void progressShowsEnvelopeKOfN();
    void clickDuringARunStartsNoSecondRun();
    void badCodesInDataShowAsText();
    void pdfButtonSavesTheRunIntoTheChosenFile();
};

void TestPrintRunPanel::controlsCarryTheirNames()
{
    Harness h;
    auto *button = h.panel.findChild<QPushButton *>(QStringLiteral("BitBtnPrintCheck"));
    auto *box = h.panel.findChild<QCheckBox *>(QStringLiteral("CheckBoxObr"));
    QVERIFY(button && box);
    QCOMPARE(button->text(), QStringLiteral("Печать конвертов"));
    QCOMPARE(box->text(), QStringLiteral("Печатать и обратный конв."));
    QVERIFY(!box->isChecked());
    // The caption wraps inside the narrow box, and a click on it toggles.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() - 6));
    QVERIFY(box->isChecked());
    QVERIFY(h.panel.returnEnvelope());
}

void TestPrintRunPanel::noMarkedRecipientIsAWarning()
{
    Harness h;
    h.setOutput({});
    h.addRecipient(QStringLiteral("Акулов"), QStringLiteral("Москва"), QStringLiteral("101000"), false);
    h.book.selectedCalc();
    h.book.setFilterText(QStringLiteral("акул"));
    h.scope = 1;
    QString notice;
    modal::answerNotice(&notice);
    QCOMPARE(h.click(), Outcome::NoneMarked);
    QCOMPARE(notice, QStringLiteral("У Вас не выделено ни одного адресата."));
    QVERIFY(h.jobs.isEmpty());
    // The history and the summary come first.
    QCOMPARE(addressbook::historyTexts(h.tables.Table6), QStringList{QStringLiteral("акул")});
    QCOMPARE(h.summaries.size(), 1);
}

void TestPrintRunPanel::printerFailureStopsTheRunWithAMessage()
{
    Harness h;
    addThree(h);
    int calls = 0;
    h.setOutput([&calls](const report::ReportPage &) {
        if (++calls == 3)
            throw report::ReportError(report::ReportError::Kind::JobRefused,
                              QStringLiteral("Принтер «Офис» не принял задание: нет бумаги."),
                              QStringLiteral("Офис"));
        return 100 + calls;
    });
    h.scope = 1;
    h.setReturnEnvelope(true);
    QString notice;
    modal::answerNotice(&notice);
    QCOMPARE(h.click(), Outcome::Stopped);
    QCOMPARE(h.jobs, (QList<int>{101, 102}));
    QCOMPARE(h.panel.lastRunPrinted(), 2);
    QCOMPARE(notice, QStringLiteral("Печать конвертов остановлена: Принтер «Офис» не принял задание: нет бумаги.\n"
                                    "Напечатано конвертов: 2 из 4.\nСледующий: конверт адресата «Волков».\n\n"
                                    "Продолжить печать с него?"));
    QVERIFY(!h.panel.findChild<QProgressDialog *>());
    QVERIFY(!h.tables.Table2.controlsDisabled());

    // The program goes on: the next run prints.
    calls = 10;
    h.jobs.clear();
    h.scope = 0;
    QCOMPARE(h.click(), Outcome::Printed);
    QCOMPARE(h.jobs.size(), 2);
}

void TestPrintRunPanel::stoppedRunGoesOnFromTheNextEnvelope()
{
    Harness h;
    addThree(h);
    int calls = 0;
    h.setOutput([&calls](const report::ReportPage &) {
        if (++calls == 2)
            throw report::ReportError(report::ReportError::Kind::QueueFull, QStringLiteral("Очередь печати переполнена."));
        return 100 + calls;
    });
    h.scope = 1;
    h.setReturnEnvelope(true);
    QString notice;
    modal::whenShown(QStringLiteral("NoticeBox"), [&notice](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        notice = box->text();
        for (QAbstractButton *b : box->buttons())
            if (b->text() == QStringLiteral("Продолжить"))
                b->click();
    });
    QCOMPARE(h.click(), Outcome::Printed);
    QVERIFY2(notice.contains(QStringLiteral("Напечатано конвертов: 1 из 4.\nСледующий: обратный конверт адресата «Акулов»")),
             qPrintable(notice));
    // Акулов's own envelope is not printed again.
    QCOMPARE(h.jobs, (QList<int>{101, 103, 104, 105}));
    QCOMPARE(h.panel.lastRunPrinted(), 4);
}

void TestPrintRunPanel::progressShowsEnvelopeKOfN()
{
    Harness h;
    addThree(h);
    QStringList labels;
    bool visible = true;
    h.setOutput([&](const report::ReportPage &) {
        auto *progress = h.panel.findChild<QProgressDialog *>(QStringLiteral("PrintRunProgress"));
        labels << (progress ? progress->labelText() : QStringLiteral("none"));
        visible = visible && progress && progress->isVisible();
        return 1;
    });
    h.scope = 2;
    h.setReturnEnvelope(true);
    QCOMPARE(h.click(), Outcome::Printed);
    QStringList expected;
    for (int k = 1; k <= 6; ++k)
        expected << QStringLiteral("Печать конвертов: конверт %1 из 6").arg(k);
    QCOMPARE(labels, expected);
    QVERIFY(visible);
    QVERIFY(!h.panel.findChild<QProgressDialog *>());
}

void TestPrintRunPanel::clickDuringARunStartsNoSecondRun()
{
    Harness h;
    addThree(h);
    Outcome inner = Outcome::Printed;
    h.setOutput([&](const report::ReportPage &) {
        if (h.jobs.isEmpty())
            inner = h.panel.BitBtnPrintCheckClick();
        return 1;
    });
    h.scope = 2;
    QCOMPARE(h.click(), Outcome::Printed);
    QCOMPARE(inner, Outcome::Declined);
    QCOMPARE(h.jobs.size(), 3);
    QCOMPARE(h.summaries.size(), 1);
}

void TestPrintRunPanel::badCodesInDataShowAsText()
{
    Harness h;
    h.setOutput({});
    h.addRecipient(QStringLiteral("Акулов{FSбольшой}{FC$GG}{FS99999999999}"), QStringLiteral("Москва"),
                   QStringLiteral("101000"));
    h.scope = 0;
    QCOMPARE(h.click(), Outcome::Printed);
    QCOMPARE(h.summaries.size(), 1);
    QVERIFY2(h.summaries.first().contains(QStringLiteral("Акулов{FSбольшой}{FC$GG}{FS99999999999}")),
             qPrintable(h.summaries.first()));
    QCOMPARE(h.jobs.size(), 1);
}

void TestPrintRunPanel::pdfButtonSavesTheRunIntoTheChosenFile()
{
    Harness h;
    addThree(h);
    h.scope = 1;
    h.setReturnEnvelope(true);
    QStringList proposed;
    QString chosen;
    h.panel.setFileChooser([&](const QString &name) {
        proposed << name;
        return chosen;
    });
    auto *button = h.panel.findChild<QPushButton *>(QStringLiteral("BitBtnPdf"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("В PDF"));

    QTest::mouseClick(button, Qt::LeftButton);  // the dialog cancelled
    QCOMPARE(proposed.size(), 1);
    QVERIFY(proposed[0].endsWith(QStringLiteral("/Конверты %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate))));

    chosen = h.dir.filePath(QStringLiteral("конверты"));
    QTest::mouseClick(button, Qt::LeftButton);
    const QString pdf = chosen + QStringLiteral(".pdf");
    QCOMPARE(h.panel.lastPdfFile(), pdf);
    QCOMPARE(h.panel.lastRunPrinted(), 4);
    const QStringList pages = pdfread::texts(pdf);
    QCOMPARE(pages.size(), 4);
    QVERIFY(pages[0].contains(QStringLiteral("Акулов")) && pages[3].contains(QStringLiteral("Волков")));
    QVERIFY(h.jobs.isEmpty());  // nothing went to the printer
    QVERIFY(h.summaries.isEmpty());
    QVERIFY(!h.panel.findChild<QProgressDialog *>());
    chosen.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(proposed.size(), 3);
    QVERIFY(proposed[2].startsWith(h.dir.path() + QLatin1Char('/')));  // the folder of the last file
}

QTEST_MAIN(TestPrintRunPanel)
#include "tst_printrunpanel.moc"
