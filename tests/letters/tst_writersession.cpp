// The blank run in a real LibreOffice, printing to the capture queue of
// tools/setup-printing.sh: the shipped sample blanks filled and printed as
// the run does it, placeholders in every place of a template, and an office
// killed in the middle of a run.

#include "letters/blankoutput.h"
#include "letters/blankrun.h"
#include "letters/sumentry.h"
#include "letters/templatecheck.h"
#include "letters/writersession.h"
#include "tests/support/officeprocesses.h"
#include "tests/support/pdfread.h"
#include "tests/support/printedjobs.h"
#include "tests/support/printrunfixture.h"
#include "tests/support/services.h"

#include <QCryptographicHash>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

using letters::BlankRun;
using letters::WriterSession;
using printruntest::Data;

namespace {

QString programFile(const QString &name)
{
    return QDir::isAbsolutePath(name) ? name : QStringLiteral(KUVERTIX_PROGRAM_DIR "/") + name;
}

QByteArray checksum(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The text of a printed job, as the capture queue stored it.
QString jobText(int job, const QDateTime &submitted)
{
    const QString pdf = printedjobs::waitForJob(job, submitted);
    return pdf.isEmpty() ? QString() : pdfread::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

BlankRun::Sources sourcesFor(const QString &blank, const QString &sum)
{
    BlankRun::Sources s;
    s.templateName = blank;
    s.sender = {QStringLiteral("ООО Ромашка"), QStringLiteral("Тверь, Садовая 5"), QStringLiteral("170000")};
    s.locale = QLocale(QLocale::Russian, QLocale::Russia);
    s.sum = letters::sumValue(sum, s.locale);
    return s;
}

using officetest::groupAlive;

// A list template: a table of `columns` columns whose repeated row (the
// cells given) stands first, in the middle or last among plain rows.
QString listTemplate(const QStringList &cells, const QString &where)
{
    const auto row = [](const QStringList &texts) {
        QString xml = QStringLiteral("<table:table-row>");
        for (const QString &t : texts)
            xml += QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p>"
                                  "</table:table-cell>").arg(t);
        return xml + QStringLiteral("</table:table-row>");
    };
    const auto plain = [&](const QString &word) {
        QStringList texts;
        for (int i = 0; i < cells.size(); ++i)
            texts << word + QString::number(i + 1);
        return row(texts);
    };
    QString rows;
    if (where != QLatin1String("first"))
        rows += plain(QStringLiteral("Шапка"));
    rows += row(cells);
    if (where != QLatin1String("last"))
        rows += plain(QStringLiteral("Итого"));
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
               "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:version=\"1.3\" "
               "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
               "<text:p>Список</text:p><table:table table:name=\"T\">"
               "<table:table-column table:number-columns-repeated=\"%1\"/>%2</table:table>"
               "<text:p>Конец списка</text:p></office:text></office:body></office:document>")
        .arg(cells.size())
        .arg(rows);
}

// Kills the office program at the first replacement after a sheet printed.
class KillAfterFirstSheet : public letters::WordSession {
public:
    explicit KillAfterFirstSheet(WriterSession &inner) : m_inner(inner) {}
    void WordOpen(const QString &name) override { m_inner.WordOpen(name); }
    void WordReplace(const QString &t, const QString &r) override
    {
        if (m_sheets == 1 && !m_killed) {
            m_killed = true;
            for (const pid_t pid : officetest::groupMembers(m_inner.office().pid(), QStringLiteral("soffice.bin")))
                ::kill(pid, SIGKILL);
            QTRY_VERIFY_WITH_TIMEOUT(!m_inner.office().isAlive(), 20000);
        }
        m_inner.WordReplace(t, r);
    }
    bool WordContains(const QString &t) override { return m_inner.WordContains(t); }
    void WordCopyRow(const QString &m) override { m_inner.WordCopyRow(m); }
    void WordAddRow() override { m_inner.WordAddRow(); }
    void WordDeleteRow(const QString &m) override { m_inner.WordDeleteRow(m); }
    void WordFinish(bool print) override
    {
        m_inner.WordFinish(print);
        ++m_sheets;
    }

private:
    WriterSession &m_inner;
    int m_sheets = 0;
    bool m_killed = false;
};

} // namespace

class TestWriterSession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fourNoticesPerSheet();
    void listInRowMode();
    void repeatedRowInAnyTable_data();
    void repeatedRowInAnyTable();
    void inventoryWithSum();
    void everyPlaceCaseAndLiteralData();
    void killedOfficeStopsTheRun();
    void runIntoOnePdf_data();
    void runIntoOnePdf();
    void failedPdfRunKeepsTheOlderFile();
    void templateCheck_data();
    void templateCheck();

private:
    // Runs the blank over the marked recipients; returns the texts of its jobs.
    QStringList printRun(Data &data, const QString &blank, runs::PrintScope scope, const QString &sum);

    std::unique_ptr<WriterSession> m_session;
};

void TestWriterSession::initTestCase()
{
    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    m_session = std::make_unique<WriterSession>(QStringLiteral(KUVERTIX_PROGRAM_DIR "/"), report::ReportPrinter());
}

void TestWriterSession::cleanupTestCase()
{
    if (!m_session)
        return;
    const pid_t group = m_session->office().pid();
    m_session.reset();
    QVERIFY(!groupAlive(group));
}

QStringList TestWriterSession::printRun(Data &data, const QString &blank, runs::PrintScope scope,
                                        const QString &sum)
{
    const QByteArray before = checksum(programFile(blank));
    const QDateTime submitted = QDateTime::currentDateTime();
    const int firstJob = m_session->jobs().size();
    m_session->WordOpen(blank);
    BlankRun run(*m_session, sourcesFor(blank, sum));
    run.run(data.tables.Table2, scope);
    QStringList texts;
    for (int i = firstJob; i < m_session->jobs().size(); ++i)
        texts << jobText(m_session->jobs().at(i), submitted);
    if (checksum(programFile(blank)) != before)
        texts << QStringLiteral("TEMPLATE CHANGED");
    return texts;
}

void TestWriterSession::fourNoticesPerSheet()
{
    Data data;
    for (int i = 1; i <= 5; ++i)
        data.addRecipient(QStringLiteral("Получатель%1").arg(i), QStringLiteral("Москва, Тверская %1").arg(i),
                          QStringLiteral("10100%1").arg(i), true);
    const QStringList jobs = printRun(data, QStringLiteral("Уведомление 4 шт сторона1.doc"),
                                      runs::PrintScope::Marked, QStringLiteral("0"));
    QCOMPARE(jobs.size(), 2);
    for (int i = 1; i <= 4; ++i) {
        QVERIFY2(jobs[0].contains(QStringLiteral("Получатель%1").arg(i)), qPrintable(jobs[0]));
        QVERIFY(jobs[0].contains(QStringLiteral("10100%1 Москва, Тверская %1").arg(i)));
    }
    QCOMPARE(jobs[0].count(QStringLiteral("ООО Ромашка")), 4);
    QVERIFY(!jobs[0].contains(QLatin1Char('~')));
    QVERIFY(jobs[1].contains(QStringLiteral("Получатель5")));
    QVERIFY(jobs[1].contains(QStringLiteral("~Кому2~")));
    QVERIFY(jobs[1].contains(QStringLiteral("~От кого4~")));
}

void TestWriterSession::listInRowMode()
{
    Data data;
    const QStringList names{QStringLiteral("Алексеев"), QStringLiteral("Борисов"), QStringLiteral("Васильев")};
    const QStringList towns{QStringLiteral("Орёл"), QStringLiteral("Тула"), QStringLiteral("Псков")};
    for (int i = 0; i < 3; ++i)
        data.addRecipient(names[i], towns[i], QStringLiteral("30000%1").arg(i));
    const QStringList jobs = printRun(data, QStringLiteral("Список отправлений.doc"), runs::PrintScope::All,
                                      QStringLiteral("0"));
    QCOMPARE(jobs.size(), 1);
    const QString &text = jobs[0];
    QVERIFY2(!text.contains(QStringLiteral("~N~")) && !text.contains(QStringLiteral("~Адресат~")), qPrintable(text));
    // Rows 1, 2, 3 in the grid's order: the number and the name on one line,
    // the postal code and address on the next.
    int from = 0;
    for (int i = 0; i < 3; ++i) {
        const QRegularExpression row(QStringLiteral("\\b%1\\s+%2\\s*\\n[^\\n]*30000%3 %4")
                                         .arg(i + 1).arg(names[i]).arg(i).arg(towns[i]));
        const QRegularExpressionMatch m = row.match(text, from);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        from = m.capturedEnd();
    }
}

void TestWriterSession::repeatedRowInAnyTable_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("where");
    const QStringList one{QStringLiteral("~N~ ~Адресат~")};
    const QStringList oneKomu{QStringLiteral("~N~. ~Кому1~")};
    const QStringList two{QStringLiteral("~N~"), QStringLiteral("~Адресат~")};
    const QStringList three{QStringLiteral("~N~"), QStringLiteral("~Кому1~"), QStringLiteral("~Куда1~")};
    for (const char *where : {"first", "middle", "last"}) {
        QTest::addRow("one column, %s", where) << one << where;
        QTest::addRow("two columns, %s", where) << two << where;
        QTest::addRow("three columns, %s", where) << three << where;
    }
    QTest::addRow("one column with ~Кому1~, middle") << oneKomu << "middle";
}

void TestWriterSession::repeatedRowInAnyTable()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, where);
    QTemporaryDir dir;
    const QString blank = dir.filePath(QStringLiteral("list.fodt"));
    QFile file(blank);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(listTemplate(cells, where).toUtf8());
    file.close();

    Data data;
    const QStringList names{QStringLiteral("Алексеев"), QStringLiteral("Борисов"), QStringLiteral("Васильев")};
    for (int i = 0; i < 3; ++i)
        data.addRecipient(names[i], QStringLiteral("Орёл"), QStringLiteral("30200%1").arg(i));
    const QStringList jobs = printRun(data, blank, runs::PrintScope::All, QStringLiteral("0"));
    QCOMPARE(jobs.size(), 1);
    const QString &text = jobs[0];
    QVERIFY2(!text.contains(QLatin1Char('~')), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Конец списка")), qPrintable(text));
    // One row a recipient, numbered in the list's order, between the rows
    // around it.
    int from = where == QLatin1String("first") ? 0 : text.indexOf(QStringLiteral("Шапка1"));
    QVERIFY2(from >= 0, qPrintable(text));
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(text.count(names[i]) == 1, qPrintable(text));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("\\b%1\\.?\\s+%2").arg(i + 1).arg(names[i])).match(text, from);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        from = m.capturedEnd();
    }
    if (where != QLatin1String("last"))
        QVERIFY2(text.indexOf(QStringLiteral("Итого1"), from) > 0, qPrintable(text));
    QVERIFY2(text.indexOf(QStringLiteral("Конец списка"), from) > 0, qPrintable(text));
}

void TestWriterSession::inventoryWithSum()
{
    Data data;
    data.addRecipient(QStringLiteral("Адресатов"), QStringLiteral("Казань"), QStringLiteral("420000"));
    const QStringList jobs = printRun(data, QStringLiteral("Опись.doc"), runs::PrintScope::Current,
                                      QStringLiteral("1234,5"));
    QCOMPARE(jobs.size(), 1);
    const QString text = jobs[0].simplified();
    QCOMPARE(text.count(QStringLiteral("1234,50")), 2);
    QCOMPARE(text.count(QStringLiteral("1234 руб. 50 коп.")), 2);
    QCOMPARE(text.count(QStringLiteral("Одна тысяча двести тридцать четыре рубля 50 копеек")), 2);
    QCOMPARE(text.count(QStringLiteral("Адресатов")), 2);
    QVERIFY(!text.contains(QLatin1Char('~')));
}

void TestWriterSession::everyPlaceCaseAndLiteralData()
{
    const QString blank = QStringLiteral(KUVERTIX_TEST_DATA "/letters/places.fodt");
    const QByteArray before = checksum(blank);
    const QDateTime submitted = QDateTime::currentDateTime();
    WriterSession &word = *m_session;
    word.WordOpen(blank);
    QVERIFY(word.WordContains(QStringLiteral("~КОМУ1~")));
    QVERIFY(!word.WordContains(QStringLiteral("~Кому2~")));
    const QString data = QStringLiteral("Иванов & $1 \\n ^p (а|б)");
    word.WordReplace(QStringLiteral("~Кому1~"), letters::wordLiteral(data));
    word.WordReplace(QStringLiteral("~Адресат~"), QStringLiteral("Строка1^pСтрока2 $0 &"));
    QVERIFY(!word.WordContains(QStringLiteral("~Кому1~")));
    word.WordFinish(true);
    QCOMPARE(checksum(blank), before);

    const int job = word.jobs().last();
    const QString text = jobText(job, submitted);
    for (const char *place : {"Шапка:", "Тело:", "Ячейка:", "Рамка:", "Фигура:"})
        QVERIFY2(text.contains(QString::fromUtf8(place) + QLatin1Char(' ') + data), qPrintable(text));
    QVERIFY2(QRegularExpression(QStringLiteral("Адрес: Строка1\\s*\\n\\s*Строка2 \\$0 &")).match(text).hasMatch(),
             qPrintable(text));
    // The filled text keeps the placeholder's bold serif.
    const QString fonts = pdfread::run(QStringLiteral("pdffonts"), {printedjobs::waitForJob(job, submitted)});
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSerif-Bold")), qPrintable(fonts));
}

void TestWriterSession::killedOfficeStopsTheRun()
{
    Data data;
    for (int i = 1; i <= 3; ++i)
        data.addRecipient(QStringLiteral("Адресат%1").arg(i), QStringLiteral("Уфа"), QStringLiteral("450000"));
    const QString blank = QStringLiteral("Опись.doc");
    const QByteArray before = checksum(programFile(blank));
    WriterSession session(QStringLiteral(KUVERTIX_PROGRAM_DIR "/"), report::ReportPrinter());
    session.WordOpen(blank);
    const pid_t group = session.office().pid();
    KillAfterFirstSheet word(session);
    BlankRun run(word, sourcesFor(blank, QStringLiteral("1")));
    try {
        run.run(data.tables.Table2, runs::PrintScope::All);
        QFAIL("the run went on without its office");
    } catch (const office::OfficeError &e) {
        QCOMPARE(e.kind(), office::OfficeError::Kind::ConnectionLost);
    }
    QCOMPARE(run.sheetsPrinted(), 1);
    QCOMPARE(session.jobs().size(), 1);
    session.end();
    QVERIFY(!groupAlive(group));
    QCOMPARE(checksum(programFile(blank)), before);
}

void TestWriterSession::runIntoOnePdf_data()
{
    QTest::addColumn<QString>("blank");
    QTest::addColumn<int>("recipients");
    QTest::addColumn<int>("perSheet");  // 0: one list
    QTest::addColumn<int>("pages");
    QTest::newRow("four a sheet") << "Уведомление 4 шт сторона1.doc" << 5 << 4 << 2;
    QTest::newRow("one a sheet, with the sum") << "Опись.doc" << 3 << 1 << 3;
    QTest::newRow("list") << "Список отправлений.doc" << 3 << 0 << 1;
}

// The whole run in one file, a page a sheet: every recipient on the page and
// at the place of its position, the sum in figures and in words, and not a
// job printed.
void TestWriterSession::runIntoOnePdf()
{
    QFETCH(QString, blank);
    QFETCH(int, recipients);
    QFETCH(int, perSheet);
    QFETCH(int, pages);
    Data data;
    for (int i = 1; i <= recipients; ++i)
        data.addRecipient(QStringLiteral("Адресат%1").arg(i), QStringLiteral("Тверская %1").arg(i),
                          QStringLiteral("10100%1").arg(i));
    const QString pdf = data.dir.filePath(QStringLiteral("бланки.pdf"));
    const int jobsBefore = m_session->jobs().size();
    m_session->WordOpen(blank);
    BlankRun run(*m_session, sourcesFor(blank, QStringLiteral("1234,5")));
    QCOMPARE(letters::runBlankTo(*m_session, run, data.tables.Table2, runs::PrintScope::All, pdf), recipients);
    QCOMPARE(run.sheetsPrinted(), pages);
    QCOMPARE(m_session->jobs().size(), jobsBefore);
    QCOMPARE(QDir(data.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("бланки.pdf")});

    const QStringList texts = pdfread::texts(pdf);
    QCOMPARE(texts.size(), pages);
    for (int i = 1; i <= recipients; ++i) {
        const QString &page = texts.at(perSheet ? (i - 1) / perSheet : 0);
        QVERIFY2(page.contains(QStringLiteral("Адресат%1").arg(i)), qPrintable(page));
        QVERIFY2(page.contains(QStringLiteral("10100%1 Тверская %1").arg(i)), qPrintable(page));
    }
    if (blank == QLatin1String("Опись.doc"))
        for (const QString &page : texts) {
            QCOMPARE(page.count(QStringLiteral("1234,50")), 2);
            QCOMPARE(page.count(QStringLiteral("Одна тысяча двести тридцать четыре рубля 50 копеек")), 2);
        }
    if (blank.startsWith(QStringLiteral("Уведомление"))) {
        // Position k of the first sheet stands where the second sheet's
        // unfilled form k is; the fifth recipient took position 1 there.
        const QList<pdfread::Word> words = pdfread::words(pdf);
        const auto samePlace = [&](const QString &a, const QString &b) {
            const pdfread::Word *wa = pdfread::find(words, a);
            const pdfread::Word *wb = pdfread::find(words, b);
            return wa && wb && (wa->box.topLeft() - wb->box.topLeft()).manhattanLength() < 2;
        };
        QVERIFY(samePlace(QStringLiteral("Адресат1"), QStringLiteral("Адресат5")));
        QVERIFY(!samePlace(QStringLiteral("Адресат1"), QStringLiteral("~Кому2~")));
        for (int k = 2; k <= 4; ++k)
            QVERIFY2(samePlace(QStringLiteral("Адресат%1").arg(k), QStringLiteral("~Кому%1~").arg(k)),
                     qPrintable(QStringLiteral("position %1").arg(k)));
    }
}

// An office lost in the middle of a run saved as PDF: no file is written,
// the older one stays as it was, and no sheet is left behind.
void TestWriterSession::failedPdfRunKeepsTheOlderFile()
{
    Data data;
    for (int i = 1; i <= 3; ++i)
        data.addRecipient(QStringLiteral("Адресат%1").arg(i), QStringLiteral("Уфа"), QStringLiteral("450000"));
    const QString pdf = data.dir.filePath(QStringLiteral("Опись.pdf"));
    QFile older(pdf);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();
    const QString blank = QStringLiteral("Опись.doc");
    WriterSession session(QStringLiteral(KUVERTIX_PROGRAM_DIR "/"), report::ReportPrinter());
    session.WordOpen(blank);
    KillAfterFirstSheet word(session);
    BlankRun run(word, sourcesFor(blank, QStringLiteral("1")));
    QVERIFY_THROWS_EXCEPTION(office::OfficeError,
                             letters::runBlankTo(session, run, data.tables.Table2, runs::PrintScope::All, pdf));
    QCOMPARE(run.sheetsPrinted(), 1);
    QVERIFY(session.jobs().isEmpty());
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
    QCOMPARE(QDir(data.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Опись.pdf")});
    session.end();
}

void TestWriterSession::templateCheck_data()
{
    QTest::addColumn<QString>("blank");  // a shipped sample, or the cells of a list's row
    QTest::addColumn<QString>("finding");
    for (const char *sample : {"Уведомление 4 шт сторона1.doc", "Опись.doc", "Список отправлений.doc"})
        QTest::newRow(sample) << sample << "";
    QTest::newRow("misspelt in a table") << "~N~|~Кама1~" << "неизвестные переменные: ~Кама1~";
    QTest::newRow("index beyond 20 in a table") << "~N~|~Кому21~" << "индекс больше 20: ~Кому21~";
    QTest::newRow("every place of a template") << KUVERTIX_TEST_DATA "/letters/places.fodt"
                                               << "~Адресат~ заполняется только в строке с ~N~";
}

// The check over the document as the office reads it: body, tables,
// headers, frames and shapes; nothing to say about the shipped samples.
void TestWriterSession::templateCheck()
{
    QFETCH(QString, blank);
    QTemporaryDir dir;
    if (blank.contains(QLatin1Char('|'))) {
        const QString file = dir.filePath(QStringLiteral("list.fodt"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(listTemplate(blank.split(QLatin1Char('|')), QStringLiteral("middle")).toUtf8());
        blank = file;
    }
    const QStringList findings = letters::checkTemplate(*m_session, blank);
    QVERIFY(!m_session->isOpen());
    QFETCH(QString, finding);
    if (finding.isEmpty())
        QVERIFY2(findings.isEmpty(), qPrintable(findings.join('|')));
    else
        QVERIFY2(findings.size() == 1 && findings[0].contains(finding), qPrintable(findings.join('|')));
}

QTEST_GUILESS_MAIN(TestWriterSession)
#include "tst_writersession.moc"
