// The command line: how options are read, the runs it makes from a program
// folder's data (read back from the PDF), and the program's exit status and
// messages when started with options and no display.

#include "tests/support/pdfread.h"
#include "tests/support/printrunfixture.h"
#include "app/commandline.h"
#include "app/commandrun.h"

#include <QtTest>

using Action = app::CommandLine::Action;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void runs_data();
    void runs();
    void programWithoutDisplay_data();
    void programWithoutDisplay();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");  // -1: refused
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("withReturn");
    QTest::newRow("no options") << QStringList{} << int(Action::Window) << 2 << "" << false;
    QTest::newRow("pdf of all") << QStringList{"--pdf", "a.pdf"} << int(Action::Pdf) << 2 << "" << false;
    QTest::newRow("print marked, return") << QStringList{"--print", "--scope", "marked", "--return"}
                                          << int(Action::Print) << 1 << "" << true;
    QTest::newRow("values after =") << QStringList{"--scope=current", "--filter=металл||оао", "--pdf=a.pdf"}
                                    << int(Action::Pdf) << 0 << "металл||оао" << false;
    for (const QStringList &wrong : {QStringList{"--pfd", "a.pdf"}, QStringList{"--pdf", "a.pdf", "--print"},
                                     QStringList{"--print", "--scope", "first"}, QStringList{"--pdf", "--return"},
                                     QStringList{"--filter", "москва"}, QStringList{"--print", "--print"}})
        QTest::newRow(qPrintable(wrong.join(' '))) << wrong << -1 << 0 << "" << false;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    const app::CommandLine line = app::parseCommandLine(arguments);
    if (action < 0) {
        QVERIFY(line.error.endsWith(QStringLiteral("Справка: kuvertix --help")));
        return;
    }
    QCOMPARE(line.error, QString());
    QCOMPARE(int(line.action), action);
    QTEST(int(line.request.scope), "scope");
    QTEST(line.request.filterText, "filter");
    QTEST(line.request.returnEnvelope, "withReturn");
}

void TestCommandLine::runs_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("pages");  // the recipient of each page
    const QStringList four{"Акулов", "Белкина", "Волков", "Дятлов"};
    QTest::newRow("all") << QStringList{} << four;
    QTest::newRow("current is the first by name") << QStringList{"--scope", "current"} << QStringList{"Акулов"};
    QTest::newRow("marked through a filter") << QStringList{"--scope", "marked", "--filter", "СКЛАД"}
                                             << QStringList{"Белкина", "Волков"};
    QTest::newRow("every term of the filter") << QStringList{"--filter", "склад|В"} << QStringList{"Волков", "Дятлов"};
    QStringList thousand;  // stored out of name order
    for (int i = 0; i < 1000; ++i)
        thousand << QStringLiteral("Адресат %1").arg(i, 4, 10, QLatin1Char('0'));
    QTest::newRow("a thousand") << QStringList{} << thousand;
}

void TestCommandLine::runs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, pages);
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    d.tables.Table2.beginBatch();
    if (pages.size() == 1000)
        for (int i = 0; i < 1000; ++i)
            d.addRecipient(pages[(i * 7) % 1000], QStringLiteral("Тула"), QStringLiteral("300000"));
    else
        for (const auto &[name, marked, prim] : {std::tuple{"Волков", true, "склад"}, std::tuple{"Акулов", true, ""},
                                                 std::tuple{"Дятлов", false, "склад"}, std::tuple{"Белкина", true, "склад"}})
            d.addRecipient(QString::fromUtf8(name), QStringLiteral("Тула"), QStringLiteral("300000"), marked,
                           QString::fromUtf8(prim));
    d.tables.Table2.commitBatch();
    const QString pdf = d.dir.filePath(QStringLiteral("run.pdf"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const app::CommandLine line = app::parseCommandLine(QStringList{"--pdf", pdf} + arguments);
    QCOMPARE(app::runCommandLine(line, d.programFolder(), outStream, errStream), app::ExitOk);
    QCOMPARE(err, QString());
    QVERIFY(out.startsWith(QStringLiteral("Сохранено конвертов: %1,").arg(pages.size())));
    const QStringList texts = pdfread::texts(pdf);
    QCOMPARE(texts.size(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        QVERIFY2(texts[i].contains(pages[i] + QStringLiteral(" Тула 300000")), qPrintable(texts[i]));
}

void TestCommandLine::programWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrText");
    QTest::addColumn<int>("pages");
    // The build's own data folder: shipped tables, an empty address book.
    QTest::newRow("wrong scope") << QStringList{"--print", "--scope", "some"} << 2 << "Неизвестный охват «some»" << 0;
    QTest::newRow("none marked") << QStringList{"--scope", "marked"} << 1 << "не выделено ни одного адресата" << 0;
    QTest::newRow("empty book, current") << QStringList{"--scope", "current"} << 0 << "" << 1;
    QTest::newRow("no such folder") << QStringList{"--pdf", "/nonexistent/x.pdf"} << 1
                                    << "Не удалось записать файл «/nonexistent/x.pdf»" << 0;
}

void TestCommandLine::programWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, pages);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("envelopes.pdf"));
    if (!arguments.contains("--print") && !arguments.contains("--pdf"))
        arguments << "--pdf" << pdf;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KUVERTIX_PROGRAM_DIR "/kuvertix"), arguments);
    QVERIFY(program.waitForFinished(60000));
    QTEST(program.exitCode(), "status");
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QFETCH(QString, stderrText);
    QVERIFY2(stderrText.isEmpty() ? err.isEmpty() : err.contains(stderrText), qPrintable(err));
    QCOMPARE(pdfread::texts(pdf).size(), pages);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
