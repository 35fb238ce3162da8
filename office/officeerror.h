#pragma once
// Failures of the private office, by kind, with a Russian sentence that
// names the cause. The window layer puts the sentence into its own message.

#include <QString>
#include <stdexcept>

namespace office {

class OfficeError : public std::runtime_error {
public:
    enum class Kind {
        NotInstalled,       // no office program on this computer
        StartFailed,        // the program did not start or did not answer
        ConnectionLost,     // the office ended or stopped answering during the work
        DocumentUnreadable, // a document is missing or not in a format the office reads
        OperationFailed,    // the office refused an operation on an open document
    };

    OfficeError(Kind kind, const QString &message);

    Kind kind() const { return m_kind; }
    // The Russian sentence for the user.
    QString message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

} // namespace office
