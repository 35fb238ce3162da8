#pragma once
// The program-wide treatment of errors that no handler caught. The decision
// follows the error's type and kind: typed input that does not convert is
// passed over, failures of the store and of printing are reported and the
// program goes on with nothing lost, and only faults of the program itself
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
    QString text;  // the box text (the bare message for EndProgram)
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
