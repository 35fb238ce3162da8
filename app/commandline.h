#pragma once
// The command line: without arguments the program is the window program;
// with them it saves or prints an envelope or blank run without any window.
//   kuvertix --pdf FILE [--scope current|marked|all] [--filter TEXT] [--return]
//   kuvertix --print [--scope ...] [--filter TEXT] [--return]
//   kuvertix --blank TEMPLATE (--pdf FILE | --print) [--scope ...] [--filter TEXT] [--sum TEXT]
//   kuvertix --help (or -h)

#include "runs/runrequest.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace app {

struct CommandLine {
    enum class Action { Window, Help, Pdf, Print };
    Action action = Action::Window;
    QString pdfFile;
    // A run without a window serves all recipients unless told otherwise.
    runs::RunRequest request{runs::RunKind::Envelope, runs::PrintScope::All};
    QString error;  // a Russian text for standard error; empty when the line is sound
};

// Exit statuses of a run without a window.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;     // the run could not be done (data, printer, file)
constexpr int ExitUsage = 2;      // the command line itself is wrong

// Whether the arguments (without the program's name) ask for a run
// without a window: any argument at all. Only a start without arguments
// opens the window; a word that is no option is an error, not a second
// window on the same data.
bool wantsCommandLineRun(const QStringList &arguments);

// Whether the environment offers the window program a display: an X or
// Wayland display for the platforms that need one, or a platform that
// needs none (offscreen, vnc, ...).
bool hasDisplay(const QProcessEnvironment &environment);
// What the window program says without a display, and how to work without one.
QString noDisplayText();

// Reads the arguments (without the program's name). Options take their
// value as the next argument or after "=" (--scope=all).
CommandLine parseCommandLine(const QStringList &arguments);

// The text of --help.
QString commandLineHelp();

} // namespace app
