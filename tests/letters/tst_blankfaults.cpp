// Templates and surroundings that must not harm a blank run, in a real
// LibreOffice printing to the capture queue: a linked picture on a web
// server is never fetched, a macro bound to the opening never runs, an empty
// or password-protected template is refused with its own message, a full
// temporary folder is named as such, and a locale that is not installed
// does not keep a Cyrillic template from opening.

#include "letters/writersession.h"
#include "office/unotext.h"
#include "tests/support/printedjobs.h"
#include "tests/support/services.h"
#include "tests/support/smalldisk.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/XEventsSupplier.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/document/XEmbeddedScripts.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <atomic>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using letters::WriterSession;
using office::OfficeError;

// Declared before the helpers: their raw strings confuse moc.
class TestBlankFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void linkedPictureIsNeverFetched();
    void macroOnOpeningNeverRuns();
    void unusableTemplateIsRefused_data();
    void unusableTemplateIsRefused();
    void fullTemporaryFolderIsNamed();
    void cyrillicNameUnderMissingLocale();

private:
    QString m_program = QStringLiteral(KUVERTIX_PROGRAM_DIR "/");
    QTemporaryDir m_dir;
};

namespace {

// A web server on 127.0.0.1 that counts the connections it gets and answers
// each with "404"; it stops when destroyed.
class CountingServer {
public:
    CountingServer()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_socket, 8) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~CountingServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_socket);
    }
    int port() const { return m_port; }
    int connections() const { return m_connections; }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd wait{m_socket, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            char request[2048];
            (void)!::read(client, request, sizeof request);
            const char answer[] = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            (void)!::write(client, answer, sizeof answer - 1);
            ::close(client);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

// A one-page text document holding `body` (ODF XML of the office:text
// element).
QByteArray flatText(const QByteArray &body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">)"
        "<office:body><office:text>" + body + "</office:text></office:body></office:document>\n";
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

const QByteArray Addressee = "<text:p>Кому: ~Кому1~</text:p>";

} // namespace


void TestBlankFaults::initTestCase()
{
    REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
    REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));
    QVERIFY(m_dir.isValid());
}

void TestBlankFaults::linkedPictureIsNeverFetched()
{
    CountingServer server;
    QVERIFY(server.port() > 0);
    const QByteArray picture = QByteArray("<text:p><draw:frame draw:name=\"Logo\" text:anchor-type=\"as-char\" "
                                          "svg:width=\"2cm\" svg:height=\"2cm\"><draw:image xlink:href=\"http://127.0.0.1:")
        + QByteArray::number(server.port())
        + "/logo.png\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/></draw:frame></text:p>";
    const QString blank = write(m_dir, QStringLiteral("Ссылка.fodt"), flatText(Addressee + picture));
    WriterSession word(m_program, report::ReportPrinter());
    const QDateTime submitted = QDateTime::currentDateTime();
    for (int sheet = 0; sheet < 2; ++sheet) {
        word.WordOpen(blank);
        word.WordReplace(QStringLiteral("~Кому1~"), QStringLiteral("Иванов"));
        word.WordFinish(true);
    }
    QCOMPARE(word.jobs().size(), 2);
    QVERIFY(!printedjobs::waitForJob(word.jobs().last(), submitted).isEmpty());
    QCOMPARE(server.connections(), 0);
}

void TestBlankFaults::macroOnOpeningNeverRuns()
{
    using css::uno::Any;
    using css::uno::Reference;
    using css::uno::UNO_QUERY_THROW;
    WriterSession word(m_program, report::ReportPrinter());
    word.office().start();
    // A template made by the office: a Basic macro in the document, bound
    // to its opening, that leaves a file behind when it runs.
    const QString blank = m_dir.filePath(QStringLiteral("Макрос.odt"));
    const QString ran = m_dir.filePath(QStringLiteral("macro-ran"));
    auto made = word.office().loadHidden(write(m_dir, QStringLiteral("Без макроса.fodt"), flatText(Addressee)), false);
    word.office().call([&] {
        const Reference<css::document::XEmbeddedScripts> scripts(made, UNO_QUERY_THROW);
        const Reference<css::script::XLibraryContainer> basic(scripts->getBasicLibraries(), UNO_QUERY_THROW);
        if (!basic->hasByName("Standard"))
            basic->createLibrary("Standard");
        const Reference<css::container::XNameContainer> library(basic->getByName("Standard"), UNO_QUERY_THROW);
        library->insertByName("Opening", Any(office::toOUString(QStringLiteral("Sub Mark\n Open \"%1\" For Output As #1\n"
                                                                                " Print #1, \"ran\"\n Close #1\nEnd Sub\n")
                                                                     .arg(ran))));
        const Reference<css::document::XEventsSupplier> events(made, UNO_QUERY_THROW);
        events->getEvents()->replaceByName(
            "OnLoad", Any(office::properties({{"EventType", Any(office::OUString("Script"))},
                                              {"Script", Any(office::OUString("vnd.sun.star.script:Standard.Opening.Mark?"
                                                                              "language=Basic&location=document"))}})));
        // The document's libraries are stored only when it counts as changed.
        Reference<css::util::XModifiable>(made, UNO_QUERY_THROW)->setModified(true);
        Reference<css::frame::XStorable>(made, UNO_QUERY_THROW)
            ->storeToURL(office::fileUrl(blank), office::properties({{"FilterName", Any(office::OUString("writer8"))}}));
    });
    office::OfficeProcess::closeDocument(made);

    // First opened as a user's office opens it, with macros allowed: the
    // macro runs, so that its not running below means something.
    auto allowed = word.office().call([&] {
        return word.office().desktop()->loadComponentFromURL(
            office::fileUrl(blank), "_blank", 0,
            office::properties({{"MacroExecutionMode", Any(css::document::MacroExecMode::ALWAYS_EXECUTE_NO_WARN)}}));
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 5000);
    office::OfficeProcess::closeDocument(allowed);
    QVERIFY(QFile::remove(ran));

    word.WordOpen(blank);
    QTest::qWait(1000);
    QVERIFY(!QFile::exists(ran));
    QVERIFY(word.WordContains(QStringLiteral("~Кому1~")));
    word.WordFinish(false);
}

void TestBlankFaults::unusableTemplateIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "Пустой.doc" << "пустой (0 байт)";
    QTest::newRow("password") << "Пароль.odt" << "защищён паролем";
}

void TestBlankFaults::unusableTemplateIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    WriterSession word(m_program, report::ReportPrinter());
    const QString path = m_dir.filePath(name);
    if (name.endsWith(QStringLiteral(".doc"))) {
        write(m_dir, name, {});
    } else {
        // Made by the office with a password.
        word.office().start();
        auto doc = word.office().loadHidden(write(m_dir, QStringLiteral("Открытый.fodt"), flatText(Addressee)), true);
        word.office().call([&] {
            const css::uno::Reference<css::frame::XStorable> storable(doc, css::uno::UNO_QUERY_THROW);
            storable->storeToURL(office::fileUrl(path),
                                 office::properties({{"FilterName", css::uno::Any(office::OUString("writer8"))},
                                                     {"Password", css::uno::Any(office::toOUString(QStringLiteral("тайна")))}}));
        });
        office::OfficeProcess::closeDocument(doc);
    }
    try {
        word.WordOpen(path);
        QFAIL("the template opened");
    } catch (const OfficeError &e) {
        QCOMPARE(e.kind(), OfficeError::Kind::DocumentUnreadable);
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains(name), qPrintable(e.message()));
    }
    QVERIFY(!word.isOpen());
    QVERIFY(word.jobs().isEmpty());
}

void TestBlankFaults::fullTemporaryFolderIsNamed()
{
    SmallDisk disk(40 * 1024);
    REQUIRE_OR_SKIP(disk.reason());
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(disk.path()));
    QString message;
    int jobs = -1;
    {
        WriterSession word(m_program, report::ReportPrinter());
        try {
            word.WordOpen(QStringLiteral("Опись.doc"));
            disk.fill();
            word.WordFinish(true);
        } catch (const OfficeError &e) {
            message = e.message();
        }
        jobs = int(word.jobs().size());
    }
    qputenv("TMPDIR", savedTemp);
    QVERIFY2(message.contains(QStringLiteral("нет места на диске в папке «%1").arg(disk.path())), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("file://")) && !message.contains(QStringLiteral("0x")), qPrintable(message));
    QCOMPARE(jobs, 0);
}

void TestBlankFaults::cyrillicNameUnderMissingLocale()
{
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ru_RU.UTF-8");  // not installed here
    WriterSession word(m_program, report::ReportPrinter());
    QString failure;
    try {
        word.WordOpen(write(m_dir, QStringLiteral("Опись отправлений.fodt"), flatText(Addressee)));
        word.WordFinish(false);
    } catch (const OfficeError &e) {
        failure = e.message() + QLatin1Char(' ') + e.cause();
    }
    qputenv("LC_ALL", saved);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_GUILESS_MAIN(TestBlankFaults)
#include "tst_blankfaults.moc"
