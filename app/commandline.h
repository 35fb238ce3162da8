#pragma once
// The command line: without options the program is the window program;
// with them it saves or prints an envelope run without any window.
//   kuvertix --pdf FILE [--scope current|marked|all] [--filter TEXT] [--return]
//   kuvertix --print [--scope ...] [--filter TEXT] [--return]
//   kuvertix --help

#include "envelope/printrun.h"

#include <QString>
#include <QStringList>

namespace app {

struct CommandLine {
    enum class Action { Window, Help, Pdf, Print };
    Action action = Action::Window;
    QString pdfFile;
    envelope::RunOptions run{runs::PrintScope::All, false};
    QString filter;
    QString error;  // a Russian text for standard error; empty when the line is sound
};

// Exit statuses of a run without a window.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;     // the run could not be done (data, printer, file)
constexpr int ExitUsage = 2;      // the command line itself is wrong

// Whether the arguments (without the program's name) ask for a run
// without a window: any argument that starts with "--". Qt's own
// one-dash options (-platform, -style) keep the window program.
bool wantsCommandLineRun(const QStringList &arguments);

// Reads the arguments (without the program's name). Options take their
// value as the next argument or after "=" (--scope=all).
CommandLine parseCommandLine(const QStringList &arguments);

// The text of --help.
QString commandLineHelp();

} // namespace app
