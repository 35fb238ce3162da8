#include "app/commandrun.h"

#include "addressbook/recipientbook.h"
#include "app/paths.h"
#include "envelope/envelopeprinter.h"
#include "envelope/preflight.h"
#include "envelope/fontres.h"
#include "envelope/logo.h"
#include "envelope/rundocument.h"
#include "envelope/runsettings.h"
#include "letters/blankoutput.h"
#include "letters/templatecheck.h"
#include "letters/writersession.h"
#include "office/officeerror.h"
#include "report/reporterror.h"
#include "runs/printscope.h"
#include "store/errors.h"
#include "store/tables.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace app {

namespace {

// The data and settings of the program folder, as the window holds them
// after its start-up, and the run they make.
class RunSetup {
public:
    explicit RunSetup(const ProgramPaths &paths)
        : m_paths(paths), m_printer(m_tables)
    {
        m_tables.openAll([this](store::Cursor &c) { m_paths.Table1BeforeOpen(c); });
        m_book = std::make_unique<addressbook::RecipientBook>(m_tables.Table2, m_tables.Table2_);
        QFontDatabase::addApplicationFont(m_paths.inProgramFolder(QStringLiteral("Kuvertix ZIPcode.ttf")));
        m_printer.setPrintFont(envelope::loadSavedFont(m_paths.dataFolder()));
        m_printer.setPreviewLogo(logo());
    }

    // Why the logo switched on cannot be printed, when its file is there but
    // cannot be read; empty otherwise.
    QString logoProblem() const { return m_logoProblem; }

    // The recipients that pass the request's filter, counting the marked
    // ones into it; false when the marked scope has none marked.
    bool select(runs::RunRequest &request)
    {
        if (!request.filterText.isEmpty())
            m_book->setFilterText(request.filterText);
        if (request.scope == runs::PrintScope::Marked)
            request.selectedCount = m_book->selectedCalc();
        if (request.noneMarked())
            return false;
        // The current recipient of a run without a window: the first by name.
        if (request.scope == runs::PrintScope::Current)
            m_tables.Table2.first();
        return true;
    }

    envelope::EnvelopeRun run(const runs::RunRequest &request)
    {
        return {m_tables.Table2, m_printer, envelope::senderOfSettingsRow(m_tables.Table1),
                envelope::runOptionsOf(request)};
    }

    envelope::EnvelopePrinter &printer() { return m_printer; }
    store::Tables &tables() { return m_tables; }
    const ProgramPaths &paths() const { return m_paths; }
    QString dataFolder() const { return m_paths.dataFolder(); }
    // What opening the tables did to the data folder (a conversion of older tables).
    QStringList notes() const { return m_tables.openingNotes(); }

private:
    // The logo the window's preview would show after start: the file of the
    // settings row when the logo is switched on and the file can be read.
    QImage logo() const
    {
        const store::Cursor &settings = m_tables.Table1;
        if (!settings.asBoolean(QStringLiteral("PrintLogo")))
            return {};
        const QString file =
            envelope::logoFilePath(m_paths.programFolder(), settings.asString(QStringLiteral("Logo_ext")));
        if (envelope::fileSizeOrMissing(file) <= 0)
            return {};
        const envelope::PictureFile picture = envelope::readPicture(file);
        if (!picture.ok())
            m_logoProblem = QStringLiteral("файл логотипа «%1» повреждён или не читается, конверты печатаются "
                                           "без логотипа")
                                .arg(QDir::toNativeSeparators(file));
        return picture.ok() ? picture.image : QImage();
    }

    const ProgramPaths &m_paths;
    store::Tables m_tables;
    envelope::EnvelopePrinter m_printer;
    std::unique_ptr<addressbook::RecipientBook> m_book;
    mutable QString m_logoProblem;
};

// The check before the run, as warnings: the run goes on.
void warn(const runs::PreflightReport &report, QTextStream &err)
{
    for (const QString &line : runs::preflightLines(report))
        err << line << Qt::endl;
}

// The template as given: a path from the current folder, or the name of a
// blank of the program folder.
QString blankPath(const QString &given, const ProgramPaths &paths)
{
    const QFileInfo here(given);
    if (here.isAbsolute() || here.exists())
        return here.absoluteFilePath();
    return paths.inProgramFolder(given);
}

int runBlank(RunSetup &setup, const CommandLine &line, const runs::RunRequest &request, QTextStream &out,
             QTextStream &err)
{
    store::Tables &tables = setup.tables();
    warn(runs::preflightBlanks(tables.Table2, request.scope), err);
    const QString blank = blankPath(request.blankName, setup.paths());
    const QString pdf = line.action == CommandLine::Action::Pdf ? QFileInfo(line.pdfFile).absoluteFilePath() : QString();
    // A sheet with no recipient would carry the template's variables as
    // they stand: nothing is filled, the office does not start.
    if (runs::countInScope(tables.Table2, request.scope) == 0) {
        err << runs::noRecipientsText(!pdf.isEmpty()) << Qt::endl;
        return ExitFailed;
    }
    letters::WriterSession session(setup.paths().programFolder(), report::ReportPrinter());
    letters::BlankRun::Sources sources;
    sources.templateName = blank;
    sources.sender = letters::blankSenderOf(tables.Table1);
    sources.sum = request.sum;
    letters::BlankRun run(session, sources);
    try {
        for (const QString &finding : letters::checkTemplate(session, blank))
            err << QStringLiteral("Предупреждение: ") << finding << QLatin1Char('.') << Qt::endl;
        session.WordOpen(blank);
        letters::runBlankTo(session, run, tables.Table2, request.scope, pdf);
    } catch (const core::Error &e) {
        session.end();
        core::writeCause(e);
        err << letters::blankRunStoppedText(e.message(), run.sheetsPrinted(), !pdf.isEmpty()) << Qt::endl;
        return ExitFailed;
    }
    session.end();
    if (pdf.isEmpty())
        out << QStringLiteral("Напечатано листов: %1.").arg(run.sheetsPrinted()) << Qt::endl;
    else
        out << QStringLiteral("Сохранено листов: %1, файл «%2».").arg(run.sheetsPrinted()).arg(QDir::toNativeSeparators(pdf))
            << Qt::endl;
    return ExitOk;
}

int savePdf(RunSetup &setup, const CommandLine &line, const runs::RunRequest &request, QTextStream &out,
            QTextStream &err)
{
    const QString file = QFileInfo(line.pdfFile).absoluteFilePath();
    const int pages = envelope::saveRunPdf(setup.run(request), file);
    if (pages == 0) {
        err << runs::noRecipientsText(true) << Qt::endl;
        return ExitFailed;
    }
    out << QStringLiteral("Сохранено конвертов: %1, файл «%2».").arg(pages).arg(QDir::toNativeSeparators(file))
        << Qt::endl;
    return ExitOk;
}

int print(RunSetup &setup, const runs::RunRequest &request, QTextStream &out, QTextStream &err)
{
    envelope::EnvelopeRun run = setup.run(request);
    if (envelope::loadOneJobPerRun(setup.dataFolder())) {
        int pages = 0;
        run.progress = [&pages](int number, int) { pages = number; };
        const int job = envelope::printRunAsOneJob(run);
        if (job == 0) {
            err << runs::noRecipientsText(false) << Qt::endl;
            return ExitFailed;
        }
        out << QStringLiteral("Отправлено одно задание печати № %1, конвертов: %2.").arg(job).arg(pages) << Qt::endl;
        return ExitOk;
    }
    int printed = 0;
    int total = 0;
    try {
        envelope::runEnvelopes(run.recipients, run.sender, run.options,
                               [&](const envelope::EnvelopeTexts &texts) {
                                   setup.printer().PrintKonvert(texts);
                                   ++printed;
                               },
                               [&total](int, int all) { total = all; });
    } catch (const report::ReportError &e) {
        err << envelope::runStoppedText(e.message(), printed, total) << Qt::endl;
        return ExitFailed;
    }
    out << QStringLiteral("Напечатано конвертов: %1.").arg(printed) << Qt::endl;
    return ExitOk;
}

} // namespace

int runCommandLine(const CommandLine &line, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    const ProgramPaths paths(programFolder);
    try {
        RunSetup setup(paths);
        for (const QString &note : setup.notes())
            out << note << Qt::endl;
        runs::RunRequest request = line.request;
        if (!setup.select(request)) {
            err << QStringLiteral("У Вас не выделено ни одного адресата.") << Qt::endl;
            return ExitFailed;
        }
        if (request.kind == runs::RunKind::Blank)
            return runBlank(setup, line, request, out, err);
        runs::PreflightReport report =
            envelope::preflightEnvelopeRun(setup.tables().Table2, envelope::runOptionsOf(request), setup.printer());
        // A damaged file says more than "no picture chosen".
        if (!setup.logoProblem().isEmpty()) {
            report.runProblems.removeIf([](const QString &p) { return p.startsWith(QStringLiteral("печать логотипа")); });
            report.runProblems.prepend(setup.logoProblem());
        }
        warn(report, err);
        if (line.action == CommandLine::Action::Pdf)
            return savePdf(setup, line, request, out, err);
        return print(setup, request, out, err);
    } catch (const store::StoreError &e) {
        err << QStringLiteral("Не удалось прочитать данные программы: %1").arg(e.message()) << Qt::endl;
    } catch (const core::Error &e) {
        core::writeCause(e);
        err << e.message() << Qt::endl;
    } catch (const std::exception &e) {
        err << QStringLiteral("Ошибка: %1").arg(QString::fromUtf8(e.what())) << Qt::endl;
    }
    return ExitFailed;
}

} // namespace app
