// The command line: how options are read, the runs it makes from a program
// folder's data (read back from the PDF), and the program's exit status and
// messages when started with options and no display.

#include "tests/support/pdfread.h"
#include "tests/support/printrunfixture.h"
#include "tests/support/services.h"
#include "tests/support/smalldisk.h"
#include "office/officeprocess.h"
#include "report/printer.h"
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
    void envelopeWarnings_data();
    void envelopeWarnings();
    void fullDiskSaysSoAndKeepsTheOlderFile_data();
    void fullDiskSaysSoAndKeepsTheOlderFile();
    void programWithoutDisplay_data();
    void programWithoutDisplay();
    void display_data();
    void display();
    void windowWithoutDisplaySaysHowToGoOn();
    void blankRuns_data();
    void blankRuns();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");  // -1: refused
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("withReturn");
    QTest::addColumn<QString>("blank");
    QTest::addColumn<double>("sum");
    QTest::newRow("no options") << QStringList{} << int(Action::Window) << 2 << "" << false << "" << 0.0;
    QTest::newRow("pdf of all") << QStringList{"--pdf", "a.pdf"} << int(Action::Pdf) << 2 << "" << false << "" << 0.0;
    QTest::newRow("print marked, return") << QStringList{"--print", "--scope", "marked", "--return"}
                                          << int(Action::Print) << 1 << "" << true << "" << 0.0;
    QTest::newRow("values after =") << QStringList{"--scope=current", "--filter=металл||оао", "--pdf=a.pdf"}
                                    << int(Action::Pdf) << 0 << "металл||оао" << false << "" << 0.0;
    QTest::newRow("-h") << QStringList{"-h"} << int(Action::Help) << 2 << "" << false << "" << 0.0;
    QTest::newRow("blank to pdf, sum with a point")
        << QStringList{"--blank", "Опись.doc", "--pdf", "a.pdf", "--sum", "1234.50"} << int(Action::Pdf) << 2 << ""
        << false << "Опись.doc" << 1234.5;
    QTest::newRow("blank printed, sum with a comma")
        << QStringList{"--print", "--blank=/x/Опись.doc", "--sum=0,05", "--scope", "marked"} << int(Action::Print) << 1
        << "" << false << "/x/Опись.doc" << 0.05;
    for (const QStringList &wrong : {QStringList{"--pfd", "a.pdf"}, QStringList{"--pdf", "a.pdf", "--print"},
                                     QStringList{"--print", "--scope", "first"}, QStringList{"--pdf", "--return"},
                                     QStringList{"--filter", "москва"}, QStringList{"--print", "--print"},
                                     QStringList{"extra"}, QStringList{"--print", "extra"},
                                     QStringList{"--blank", "a.doc"}, QStringList{"--print", "--sum", "5"},
                                     QStringList{"--blank", "a.doc", "--print", "--return"},
                                     QStringList{"--blank", "a.doc", "--print", "--sum", "1,2.3"},
                                     QStringList{"--blank", "a.doc", "--print", "--sum", "сто"}})
        QTest::newRow(qPrintable(wrong.join(' '))) << wrong << -1 << 0 << "" << false << "" << 0.0;
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
    QTEST(line.request.blankName, "blank");
    QTEST(line.request.sum, "sum");
    QFETCH(QString, blank);
    QCOMPARE(line.request.kind, blank.isEmpty() ? runs::RunKind::Envelope : runs::RunKind::Blank);
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

void TestCommandLine::envelopeWarnings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("damagedLogo");
    QTest::addColumn<QString>("warning");
    QTest::newRow("sound") << "Акулов" << "300000" << false << "";
    QTest::newRow("postal code") << "Акулов" << "30000" << false
                                 << "Предупреждение: «Акулов»: индекс не из шести цифр.\n";
    QTest::newRow("name too long") << QString(20, QChar(0x0416)) + " " + QString(60, QChar(0x0416)) << "300000" << false
                                   << "имя не помещается";
    QTest::newRow("damaged logo") << "Акулов" << "300000" << true << "повреждён или не читается";
}

// The check before a run without a window: warnings on standard error,
// the envelopes saved all the same.
void TestCommandLine::envelopeWarnings()
{
    QFETCH(QString, name);
    QFETCH(QString, index);
    QFETCH(bool, damagedLogo);
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    if (damagedLogo) {
        d.settings({{"PrintLogo", true}, {"Logo_ext", ".png"}});
        d.tables.Table1.post();
        QFile logo(d.folder + "/Logo.png");
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write("\x89PNG not a picture at all");
    }
    d.addRecipient(name, QStringLiteral("Тула"), index);
    const QString pdf = d.dir.filePath(QStringLiteral("run.pdf"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(app::runCommandLine(app::parseCommandLine({"--pdf", pdf}), d.programFolder(), outStream, errStream),
             app::ExitOk);
    QFETCH(QString, warning);
    QVERIFY2(warning.isEmpty() ? err.isEmpty() : err.contains(warning), qPrintable(err));
    QCOMPARE(pdfread::texts(pdf).size(), 1);
}

void TestCommandLine::fullDiskSaysSoAndKeepsTheOlderFile_data()
{
    QTest::addColumn<bool>("blank");
    QTest::newRow("envelopes") << false;
    QTest::newRow("blanks") << true;
}

// A PDF that does not fit on its disk: the cause in Russian words, and the
// file of that name as it was.
void TestCommandLine::fullDiskSaysSoAndKeepsTheOlderFile()
{
    QFETCH(bool, blank);
    if (blank)
        REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    SmallDisk disk(256);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    const QString pdf = disk.filePath(QStringLiteral("run.pdf"));
    QFile older(pdf);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();
    disk.fill(2048);
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    for (int i = 0; i < 3; ++i)
        d.addRecipient(QStringLiteral("Акулов %1").arg(i), QStringLiteral("Тула"), QStringLiteral("300000"));
    QStringList arguments{"--pdf", pdf};
    if (blank)
        arguments << "--blank" << QStringLiteral(KUVERTIX_PROGRAM_DIR "/Опись.doc");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = app::runCommandLine(app::parseCommandLine(arguments), d.programFolder(), outStream, errStream);
    QVERIFY2(status == app::ExitFailed, qPrintable(out + QString::number(QFileInfo(pdf).size())));
    QVERIFY2(err.contains(QStringLiteral("Не удалось записать файл «%1»: нет места на диске.").arg(pdf)),
             qPrintable(err));
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{QStringLiteral("run.pdf")});
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
    // The check before the run warns of the empty recipient and goes on.
    QTest::newRow("empty book, current") << QStringList{"--scope", "current"} << 0
                                         << "Предупреждение: адресат без имени: пустое имя" << 1;
    QTest::newRow("no such folder") << QStringList{"--pdf", "/nonexistent/x.pdf", "--scope", "current"} << 1
                                    << "Не удалось записать файл «/nonexistent/x.pdf»: папка не найдена." << 0;
    QTest::newRow("help") << QStringList{"-h"} << 0 << "" << 0;
    QTest::newRow("a word that is no option") << QStringList{"extra"} << 2 << "Лишний аргумент «extra»" << 0;
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

void TestCommandLine::display_data()
{
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<bool>("display");
    QTest::newRow("nothing") << QStringList{} << false;
    QTest::newRow("X") << QStringList{"DISPLAY=:0"} << true;
    QTest::newRow("Wayland") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << true;
    QTest::newRow("xcb without X") << QStringList{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0"} << false;
    QTest::newRow("wayland without it") << QStringList{"QT_QPA_PLATFORM=wayland", "DISPLAY=:0"} << false;
    QTest::newRow("offscreen") << QStringList{"QT_QPA_PLATFORM=offscreen"} << true;
    QTest::newRow("vnc with options") << QStringList{"QT_QPA_PLATFORM=vnc:size=800x600"} << true;
}

void TestCommandLine::display()
{
    QFETCH(QStringList, variables);
    QProcessEnvironment environment;
    for (const QString &v : variables)
        environment.insert(v.section('=', 0, 0), v.section('=', 1));
    QTEST(app::hasDisplay(environment), "display");
}

void TestCommandLine::windowWithoutDisplaySaysHowToGoOn()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KUVERTIX_PROGRAM_DIR "/kuvertix"), QStringList{});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), app::ExitFailed);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("нет дисплея")) && err.contains(QStringLiteral("kuvertix --pdf")),
             qPrintable(err));
}

void TestCommandLine::blankRuns_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("pages");  // the recipient of each page; empty: printed
    QTest::newRow("into one pdf, marked, sum with a point")
        << QStringList{"--scope", "marked", "--sum", "1234.50"} << "Сохранено листов: 2,"
        << QStringList{"Белкина", "Волков"};
    QTest::newRow("printed, a sheet a job") << QStringList{"--print", "--filter", "Акулов"}
                                            << "Напечатано листов: 1." << QStringList{};
    QTest::newRow("a filter that lets nobody through, pdf")
        << QStringList{"--filter", "Нектоев"} << "В списке нет ни одного адресата: файл PDF не создан." << QStringList{};
    QTest::newRow("a filter that lets nobody through, print")
        << QStringList{"--print", "--filter", "Нектоев"} << "В списке нет ни одного адресата: ничего не напечатано."
        << QStringList{};
}

// Blanks without a window: the shipped inventory filled for the recipients
// of the scope, the recipient's check as warnings on standard error.
void TestCommandLine::blankRuns()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, pages);
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    if (pages.isEmpty())
        REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
    printruntest::Data d;
    d.standardSetup();
    d.tables.Table1.post();
    d.addRecipient(QStringLiteral("Волков"), QStringLiteral("Тула"), QStringLiteral("300000"), true);
    d.addRecipient(QStringLiteral("Акулов"), QStringLiteral("Тула"), QStringLiteral("3000"));
    d.addRecipient(QStringLiteral("Белкина"), QStringLiteral("Тула"), QStringLiteral("300000"), true);
    const QString pdf = d.dir.filePath(QStringLiteral("бланки.pdf"));
    QStringList line{"--blank", QStringLiteral(KUVERTIX_PROGRAM_DIR "/Опись.doc")};
    if (!arguments.contains("--print"))
        line << "--pdf" << pdf;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const app::CommandLine parsed = app::parseCommandLine(line + arguments);
    QCOMPARE(parsed.error, QString());
    QFETCH(QString, said);
    if (said.startsWith(QStringLiteral("В списке нет"))) {
        // Nothing filled: no sheet with the template's variables as they stand.
        QCOMPARE(app::runCommandLine(parsed, d.programFolder(), outStream, errStream), app::ExitFailed);
        QCOMPARE(err, said + QLatin1Char('\n'));
        QCOMPARE(out, QString());
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    QCOMPARE(app::runCommandLine(parsed, d.programFolder(), outStream, errStream), app::ExitOk);
    QVERIFY2(out.startsWith(said), qPrintable(out));
    if (pages.isEmpty()) {
        QCOMPARE(err, QStringLiteral("Предупреждение: «Акулов»: индекс не из шести цифр.\n"));
        return;
    }
    QCOMPARE(err, QString());
    const QStringList texts = pdfread::texts(pdf);
    QCOMPARE(texts.size(), pages.size());
    for (int i = 0; i < pages.size(); ++i) {
        QVERIFY2(texts[i].contains(pages[i]), qPrintable(texts[i]));
        QVERIFY2(texts[i].contains(QStringLiteral("Одна тысяча двести тридцать четыре рубля 50 копеек")),
                 qPrintable(texts[i]));
    }
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
