#pragma once
// An envelope run started from the command line: saved as one PDF file or
// printed, from the program folder's own data with its settings row, chosen
// format and offset, saved font and logo, as the window would do it. No
// window is created; the caller provides a QGuiApplication (fonts and
// painting), which may run on the offscreen platform. Nothing in the data
// folder is changed.

#include "app/commandline.h"

#include <QTextStream>

namespace app {

// Runs the Pdf or Print action of a parsed line. A relative PDF file name
// is taken from the current folder. Says what was done on `out` and what
// went wrong, in Russian, on `err`; returns the exit status.
int runCommandLine(const CommandLine &line, const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace app
