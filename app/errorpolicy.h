#pragma once
// The program-wide treatment of errors that no handler caught.

#include <QString>

namespace app {

// Errors of typed input (a value that does not convert to a number, date
// or masked field) are passed over without a word.
bool isConversionError(const QString &message);

// The box text for an error while the main window is being created.
QString startupErrorText(const QString &message);

// The box text for any other uncaught error; the program ends after it.
QString unexpectedErrorText(const QString &message);

} // namespace app
