#pragma once
// The program-wide treatment of errors that no handler caught. The decision
// follows the error's type and kind: typed input that does not convert is
// passed over, every other library error (a core::Error: the store, printing,
// the office, the spreadsheet, the saved font and logo) is reported and the
// program goes on with nothing lost, and only faults of the program itself
// (any other exception, a store call the program should never have made)
// end it.

#include <QString>
#include <exception>

namespace app {

enum class ErrorAction {
    PassOver,    // typed input that does not convert: nothing is shown
    Report,      // a box naming the cause and what to do; the program goes on
    EndProgram,  // the error box, pending edits dropped, the program ends
};

struct ErrorDecision {
    ErrorAction action = ErrorAction::EndProgram;
    QString text;   // the box text (the bare message for EndProgram)
    QString cause;  // the technical text behind it, for the standard error output
};

ErrorDecision decideError(const std::exception_ptr &error);

// The box text for an error while the main window is being created.
QString startupErrorText(const std::exception_ptr &error);

// The box text for an error that ends the program.
QString unexpectedErrorText(const QString &message);

// An example of a short program folder on this system, for the advice to
// move the program.
QString shortProgramFolderExample();

} // namespace app
