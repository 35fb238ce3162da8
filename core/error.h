#pragma once
// The one base of the errors the libraries throw. An Error is a failure the
// user can act on: it carries the sentence the user reads and, where there is
// one, the technical cause behind it (for the standard error output, never
// for a message box). Faults of the program itself are not Errors.

#include <QString>
#include <stdexcept>

namespace core {

class Error : public std::runtime_error {
public:
    // what() holds the message in UTF-8.
    explicit Error(const QString &message, const QString &cause = {});

    // The sentence for the user.
    const QString &message() const { return m_message; }
    // The technical text behind it (an engine's own words, a result code);
    // empty when there is none.
    const QString &cause() const { return m_cause; }

private:
    QString m_message;
    QString m_cause;
};

// Writes a cause, when there is one, as a line to the standard error output.
void writeCause(const QString &cause);
inline void writeCause(const Error &error) { writeCause(error.cause()); }

} // namespace core
