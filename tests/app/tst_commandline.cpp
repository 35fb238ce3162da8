// The command line: how options are read, the runs it makes from a program
// folder's data (read back from the PDF), and the program's exit status and
// messages when started with options and no display.

#include "../printrun/pdfpages.h"
#include "../printrun/printrunfixture.h"
#include "app/commandline.h"
#include "app/commandrun.h"

#include <QtTest>

using app::CommandLine;
using Action = CommandLine::Action;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void runs_data();
    void runs();
    void thousandRecipientsInNameOrder();
    void programWithoutDisplay_data();
    void programWithoutDisplay();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("withReturn");
    const int none = -1;
    QTest::newRow("no options") << QStringList{} << int(Action::Window) << 2 << "" << false;
    QTest::newRow("help") << QStringList{"--help"} << int(Action::Help) << 2 << "" << false;
    QTest::newRow("pdf of all") << QStringList{"--pdf", "a.pdf"} << int(Action::Pdf) << 2 << "" << false;
    QTest::newRow("print marked, return") << QStringList{"--print", "--scope", "marked", "--return"}
                                          << int(Action::Print) << 1 << "" << true;
    QTest::newRow("values after =") << QStringList{"--scope=current", "--filter=металл||оао", "--pdf=a.pdf"}
                                    << int(Action::Pdf) << 0 << "металл||оао" << false;
    QTest::newRow("unknown option") << QStringList{"--pfd", "a.pdf"} << none << 0 << "" << false;
    QTest::newRow("pdf and print") << QStringList{"--pdf", "a.pdf", "--print"} << none << 0 << "" << false;
    QTest::newRow("unknown scope") << QStringList{"--print", "--scope", "first"} << none << 0 << "" << false;
    QTest::newRow("pdf without file") << QStringList{"--pdf", "--return"} << none << 0 << "" << false;
    QTest::newRow("filter, nothing to do") << QStringList{"--filter", "москва"} << none << 0 << "" << false;
    QTest::newRow("option twice") << QStringList{"--print", "--print"} << none << 0 << "" << false;
    QTest::newRow("stray argument") << QStringList{"--print", "a.pdf"} << none << 0 << "" << false;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    const CommandLine line = app::parseCommandLine(arguments);
    QCOMPARE(app::wantsCommandLineRun(arguments), !arguments.isEmpty());
    if (action < 0) {
        QVERIFY(line.error.endsWith(QStringLiteral("Справка: kuvertix --help")));
        return;
    }
    QCOMPARE(line.error, QString());
    QCOMPARE(int(line.action), action);
    QTEST(int(line.run.scope), "scope");
    QTEST(line.filter, "filter");
    QTEST(line.run.withReturn, "withReturn");
}

void TestCommandLine::runs_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("pages");  // recipient of each page
    QTest::newRow("all") << QStringList{} << QStringList{"Акулов", "Белкина", "Волков", "Дятлов"};
    QTest::newRow("current is the first by name") << QStringList{"--scope", "current"} << QStringList{"Акулов"};
    QTest::newRow("marked through a filter") << QStringList{"--scope", "marked", "--filter", "СКЛАД"}
                                             << QStringList{"Белкина", "Волков"};
    QTest::newRow("every term of the filter") << QStringList{"--filter", "склад|В"}
                                              << QStringList{"Волков", "Дятлов"};
}

void TestCommandLine::runs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, pages);
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    for (const auto &[name, marked, prim] : {std::tuple{"Волков", true, "склад"}, std::tuple{"Акулов", true, ""},
                                             std::tuple{"Дятлов", false, "склад"}, std::tuple{"Белкина", true, "склад"}})
        d.addRecipient(QString::fromUtf8(name), QStringLiteral("Тула"), QStringLiteral("300000"), marked,
                       QString::fromUtf8(prim));
    const QString pdf = d.dir.filePath(QStringLiteral("run.pdf"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const CommandLine line = app::parseCommandLine(QStringList{"--pdf", pdf} + arguments);
    QCOMPARE(app::runCommandLine(line, d.programFolder(), outStream, errStream), app::ExitOk);
    QCOMPARE(err, QString());
    const QStringList texts = pdfpages::texts(pdf);
    QCOMPARE(texts.size(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        QVERIFY2(texts[i].contains(pages[i] + QStringLiteral(" Тула 300000")), qPrintable(texts[i]));
}

void TestCommandLine::thousandRecipientsInNameOrder()
{
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    d.tables.Table2.beginBatch();
    for (int i = 0; i < 1000; ++i)  // stored out of name order
        d.addRecipient(QStringLiteral("Адресат %1").arg((i * 7) % 1000, 4, 10, QLatin1Char('0')),
                       QStringLiteral("Москва"), QStringLiteral("101000"));
    d.tables.Table2.commitBatch();
    const QString pdf = d.dir.filePath(QStringLiteral("run.pdf"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(app::runCommandLine(app::parseCommandLine({"--pdf", pdf}), d.programFolder(), outStream, errStream),
             app::ExitOk);
    const QStringList texts = pdfpages::texts(pdf);
    QCOMPARE(texts.size(), 1000);
    for (int i = 0; i < 1000; ++i)
        QVERIFY2(texts[i].contains(QStringLiteral("Адресат %1 Москва").arg(i, 4, 10, QLatin1Char('0'))),
                 qPrintable(texts[i]));
    QVERIFY(out.contains(QStringLiteral("Сохранено конвертов: 1000")));
}

void TestCommandLine::programWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrText");
    QTest::addColumn<int>("pages");
    // The shipped data folder of the build: an empty address book, no marks.
    QTest::newRow("help") << QStringList{"--help"} << 0 << "" << -1;
    QTest::newRow("wrong scope") << QStringList{"--print", "--scope", "some"} << 2 << "Неизвестный охват «some»" << -1;
    QTest::newRow("none marked") << QStringList{"--scope", "marked"} << 1 << "не выделено ни одного адресата" << -1;
    QTest::newRow("empty book, current") << QStringList{"--scope", "current"} << 0 << "" << 1;
    QTest::newRow("folder missing") << QStringList{"--scope", "current", "--pdf", "/nonexistent/x.pdf"} << 1
                                    << "Не удалось записать файл «/nonexistent/x.pdf»" << -1;
}

void TestCommandLine::programWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, pages);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("envelopes.pdf"));
    if (arguments != QStringList{"--help"} && !arguments.contains("--print") && !arguments.contains("--pdf"))
        arguments << "--pdf" << pdf;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KUVERTIX_PROGRAM_DIR "/kuvertix"), arguments);
    QVERIFY(program.waitForFinished(60000));
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QTEST(program.exitCode(), "status");
    QFETCH(QString, stderrText);
    QVERIFY2(stderrText.isEmpty() ? err.isEmpty() : err.contains(stderrText), qPrintable(err));
    if (arguments == QStringList{"--help"})
        QVERIFY(program.readAllStandardOutput().contains("--pdf"));
    QCOMPARE(pdfpages::texts(pdf).size(), pages < 0 ? 0 : pages);
    QCOMPARE(QFile::exists(pdf), pages > 0);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
