#pragma once
// Failures of the private office, by kind, with a Russian sentence that
// names the cause. The window layer puts the sentence into its own message.

#include "core/error.h"

#include <QString>

namespace office {

class OfficeError : public core::Error {
public:
    enum class Kind {
        NotInstalled,       // no office program on this computer
        StartFailed,        // the program did not start or did not answer
        ConnectionLost,     // the office ended or stopped answering during the work
        DocumentUnreadable, // a document is missing or not in a format the office reads
        OperationFailed,    // the office refused an operation on an open document
    };

    OfficeError(Kind kind, const QString &message, const QString &cause = {});

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

} // namespace office
