// Kuvertix: envelopes and postal forms from an address book.

#include "app/ui/application.h"
#include "app/commandline.h"
#include "app/commandrun.h"
#include "app/errorpolicy.h"
#include "app/ui/mainwindow.h"
#include "core/regionalformats.h"
#include "office/officechild.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include "messages/ui/notices.h"
#include "report/pdfdocument.h"

#include <cstdio>
#include <memory>

namespace {

void errorBox(const QString &text)
{
    messages::ShowErrorNotice(nullptr, QStringLiteral("Kuvertix"), text);
}

// Standard error of a run without a window carries the program's own
// Russian messages; Qt's remarks about the platform (no runtime folder, no
// display) are not the user's business there.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// A run asked for on the command line: no window is created, so without a
// display it runs on the offscreen platform.
int runWithoutWindow(int &argc, char **argv, const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const app::CommandLine line = app::parseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        err << line.error << Qt::endl;
        return app::ExitUsage;
    }
    if (line.action == app::CommandLine::Action::Help) {
        out << app::commandLineHelp();
        return app::ExitOk;
    }
    qInstallMessageHandler(keepSeriousMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return app::runCommandLine(line, app::programFolder(), out, err);
}

} // namespace

int main(int argc, char **argv)
{
    report::keepFreedMemoryForPdfPages();
    core::useRegionalFormats();
    office::removeLeftovers(QDir::tempPath());
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (app::wantsCommandLineRun(arguments))
        return runWithoutWindow(argc, argv, arguments);
    // Without a display Qt would abort the window program with its own words.
    if (!app::hasDisplay(QProcessEnvironment::systemEnvironment())) {
        std::fprintf(stderr, "%s\n", app::noDisplayText().toLocal8Bit().constData());
        return app::ExitFailed;
    }

    app::Application application(argc, argv);
    const QString programFolder = app::programFolder();
    // Templates and the postal-code font are looked up in the program
    // folder, whatever folder a launcher started it from.
    QDir::setCurrent(programFolder);

    std::unique_ptr<app::TForm1> window;
    try {
        window = std::make_unique<app::TForm1>(programFolder);
        window->FormCreate();
    } catch (...) {
        errorBox(app::startupErrorText(std::current_exception()));
        return 1;
    }
    for (const QString &notice : window->startupNotices())
        messages::ShowWarningNotice(nullptr, window->windowTitle(), notice);
    application.setUnexpectedErrorHandler([&](const QString &message) {
        errorBox(app::unexpectedErrorText(message));
        window->abandonEdits();
        application.exit(1);
    });
    window->show();
    return application.exec();
}
