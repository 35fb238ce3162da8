// The button "Печать бланков" clicked as a user does: what stops a run
// before the office is needed, the message when LibreOffice is missing, and
// one whole run in the installed office with its popup notes and its job.

#include "letters/ui/blankrunpanel.h"
#include "messages/ui/popupmessage.h"
#include "office/officeprocess.h"
#include "report/printer.h"
#include "tests/support/modal.h"
#include "tests/support/pdfread.h"
#include "tests/support/printrunfixture.h"
#include "tests/support/services.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = letters::BlankRunPanel::Outcome;
using printruntest::Data;

namespace {

struct Screen {
    runs::PrintScope scope = runs::PrintScope::Current;
    int selected = 0;
    QString blank;
    bool reminder = false;
    int historyStored = 0;
    QStringList resumeKinds;
    QString findings;  // of the last summary
};

// The popup's text, or empty when none is open.
QString popupText()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QStringLiteral("TForm1000"))
            if (auto *label = w->findChild<QLabel *>(QStringLiteral("Label1")))
                return label->text();
    return QString();
}

class Fixture : public runs::RunHost {
public:
    Fixture() : panel(data.tables, QStringLiteral(KUVERTIX_PROGRAM_DIR "/"))
    {
        data.standardSetup();
        panel.setWindowTitle(QStringLiteral("Kuvertix"));
        panel.setHost(this);
        QObject::connect(&panel, &letters::BlankRunPanel::blankReminder, [this](bool on) { screen.reminder = on; });
        panel.show();
    }
    runs::RunRequest runRequest(runs::RunKind kind) override
    {
        runs::RunRequest r;
        r.kind = kind;
        r.scope = screen.scope;
        r.selectedCount = screen.selected;
        r.blankName = screen.blank;
        r.sum = 1234.5;
        return r;
    }
    void rememberFilter(const runs::RunRequest &) override { ++screen.historyStored; }
    bool confirmRun(const runs::RunRequest &request, const runs::RunSummary &summary) override
    {
        screen.resumeKinds << runs::runKindWord(request.kind);
        screen.findings = summary.findings;
        return true;
    }
    Data data;
    Screen screen;
    letters::BlankRunPanel panel;
};

// Notes the time each popup note was first shown, with its text.
class NoteWatcher : public QObject {
public:
    QList<QPair<qint64, QString>> shown;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == QStringLiteral("TForm1000"))
            if (auto *label = o->findChild<QLabel *>(QStringLiteral("Label1")))
                shown << qMakePair(QDateTime::currentMSecsSinceEpoch(), label->text());
        return false;
    }
};

} // namespace

class TestBlankRunPanel : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { modal::stopPolls(); messages::ClosePopUpMsg(); }
    void stopsBeforeTheOffice_data();
    void stopsBeforeTheOffice();
    void missingOfficeIsNamedAndNothingRuns();
    void wholeRunPrintsAndSaysSo();
    void pdfRunSavesOneFileAndSaysSo();
    void officeThatDoesNotStartIsAwaitedUnderTheNote_data();
    void officeThatDoesNotStartIsAwaitedUnderTheNote();
};

void TestBlankRunPanel::stopsBeforeTheOffice_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("blank");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("reminder");
    QTest::addColumn<QString>("finding");  // of the template check, in the summary
    QTest::newRow("none marked") << int(runs::PrintScope::Marked) << "Опись.doc"
                                 << "У Вас не выделено ни одного адресата." << false << "";
    QTest::newRow("no blank") << int(runs::PrintScope::All) << "" << "Выберите бланк." << true << "";
    QTest::newRow("nobody in the list") << int(runs::PrintScope::All) << "Опись.doc"
                                        << "В списке нет ни одного адресата: ничего не напечатано." << false << "";
    QTest::newRow("blank missing") << int(runs::PrintScope::Current) << "Нет такого.doc"
                                   << "Бланк не напечатан: Файл «Нет такого.doc» не найден." << false
                                   << "бланк не читается: Файл «Нет такого.doc» не найден.";
}

void TestBlankRunPanel::stopsBeforeTheOffice()
{
    QFETCH(int, scope);
    Fixture f;
    f.screen.scope = runs::PrintScope(scope);
    QTest::qWait(0);
    QFETCH(QString, blank);
    f.screen.blank = blank;
    QString text;
    modal::answerNotice(&text);
    QCOMPARE(f.panel.BitBtn14Click(), blank.startsWith(QStringLiteral("Нет")) ? Outcome::Failed
                                      : blank.isEmpty()                       ? Outcome::NoBlank
                                                                              : Outcome::NoneMarked);
    QTEST(text, "message");
    QTEST(f.screen.reminder, "reminder");
    QFETCH(QString, finding);
    QVERIFY2(finding.isEmpty() ? f.screen.findings.isEmpty() : f.screen.findings.contains(finding),
             qPrintable(f.screen.findings));
    // The filter went into the history and the summary was asked for "Бланк" first.
    QCOMPARE(f.screen.historyStored, 1);
    QCOMPARE(f.screen.resumeKinds, QStringList{QStringLiteral("Бланк")});
    QVERIFY(popupText().isEmpty());
}

void TestBlankRunPanel::missingOfficeIsNamedAndNothingRuns()
{
    Fixture f;
    f.panel.setOfficeProgram(QStringLiteral("/nonexistent/soffice"));
    f.screen.blank = QStringLiteral("Опись.doc");
    QString text;
    modal::answerNotice(&text);
    QTest::mouseClick(f.panel.findChild<QPushButton *>(QStringLiteral("BitBtn14")), Qt::LeftButton);
    QVERIFY2(text.startsWith(QStringLiteral("Ошибка обращения к LibreOffice Writer.")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("MS Word")));
    QVERIFY(text.contains(QStringLiteral("LibreOffice не установлен")));
    QVERIFY(popupText().isEmpty());
    QCOMPARE(f.panel.lastRunSheets(), 0);
}

void TestBlankRunPanel::wholeRunPrintsAndSaysSo()
{
    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    Fixture f;
    f.data.addRecipient(QStringLiteral("Панелев"), QStringLiteral("Сочи"), QStringLiteral("354000"));
    f.screen.blank = QStringLiteral("Опись.doc");
    QCOMPARE(f.panel.BitBtn14Click(), Outcome::Printed);
    // The running note became the finished note, which closes by itself.
    QCOMPARE(popupText(), QStringLiteral("  Печать завершена.   "));
    QCOMPARE(f.panel.lastRunSheets(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(popupText().isEmpty(), 5000);
}

// "В PDF": the same start (history, summary for "Бланк"), the file dialog
// proposing the template's name and the date, one file of all sheets, the
// notes, and no job printed.
void TestBlankRunPanel::pdfRunSavesOneFileAndSaysSo()
{
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    Fixture f;
    f.screen.scope = runs::PrintScope::All;
    for (const char *name : {"Первов", "Вторых"})
        f.data.addRecipient(QString::fromUtf8(name), QStringLiteral("Сочи"), QStringLiteral("354000"));
    f.screen.blank = QStringLiteral("Опись.doc");
    QString proposed;
    const QString file = f.data.dir.filePath(QStringLiteral("опись"));
    f.panel.setFileChooser([&](const QString &p) {
        proposed = p;
        return file;
    });
    QTest::mouseClick(f.panel.findChild<QPushButton *>(QStringLiteral("BitBtnBlankPdf")), Qt::LeftButton);
    QCOMPARE(QFileInfo(proposed).fileName(),
             QStringLiteral("Опись %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(f.screen.resumeKinds, QStringList{QStringLiteral("Бланк")});
    QCOMPARE(f.screen.historyStored, 1);
    QCOMPARE(popupText(), QStringLiteral("  Бланки сохранены в PDF.   "));
    QCOMPARE(f.panel.lastPdfFile(), file + QStringLiteral(".pdf"));
    QCOMPARE(f.panel.lastRunSheets(), 2);
    const QStringList pages = pdfread::texts(file + QStringLiteral(".pdf"));
    QCOMPARE(pages.size(), 2);
    QVERIFY2(pages[0].contains(QStringLiteral("Вторых")) && pages[1].contains(QStringLiteral("Первов")),
             qPrintable(pages.join('|')));
    QVERIFY(pages[0].contains(QStringLiteral("Одна тысяча двести тридцать четыре рубля 50 копеек")));
}

void TestBlankRunPanel::officeThatDoesNotStartIsAwaitedUnderTheNote_data()
{
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("never answers") << QByteArray("exec sleep 600")
                                   << "Бланк не напечатан: LibreOffice запускается слишком долго";
    QTest::newRow("ends at once") << QByteArray("exit 1") << "Бланк не напечатан: LibreOffice завершился при запуске.";
}

void TestBlankRunPanel::officeThatDoesNotStartIsAwaitedUnderTheNote()
{
    QFETCH(QByteArray, end);
    // An office that notes when it started, then ends or waits for ever.
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("soffice"));
    QFile script(program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ndate +%s%3N > \"$0.started\"\n" + end + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Fixture f;
    f.panel.setOfficeProgram(program);
    f.panel.setOfficeStartTimeout(2000);
    f.screen.blank = QStringLiteral("Опись.doc");
    NoteWatcher notes;
    qApp->installEventFilter(&notes);
    QString text;
    modal::answerNotice(&text);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(f.panel.BitBtn14Click(), Outcome::Failed);
    qApp->removeEventFilter(&notes);
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QFETCH(QString, message);
    QVERIFY2(text.startsWith(message), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Ошибка обращения")));
    QFile started(program + QStringLiteral(".started"));
    QVERIFY(started.open(QIODevice::ReadOnly));
    const qint64 officeStarted = started.readAll().trimmed().toLongLong();
    QVERIFY(!notes.shown.isEmpty());
    // The template is checked first: the office starts under that note.
    QCOMPARE(notes.shown.first().second, QStringLiteral("  Проверка бланка. Подождите пожалуйста...   "));
    QVERIFY(notes.shown.first().first <= officeStarted);
    QVERIFY(popupText().isEmpty());
}

QTEST_MAIN(TestBlankRunPanel)
#include "tst_blankrunpanel.moc"
