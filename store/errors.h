#pragma once
// Errors of the table layer. Each carries a kind the window layer can act on
// and a message in Russian that names the file concerned; the engine's result
// code and words, where there are any, are its cause.

#include "core/error.h"

#include <QString>

namespace store {

class StoreError : public core::Error {
public:
    enum class Kind {
        MissingFile,     // a table file is not in the data folder
        NotADatabase,    // damaged, truncated or foreign file
        WrongSchema,     // a database without the expected table or fields
        ReadOnly,        // the folder or file refuses writes
        DiskFull,        // no room left to store a row
        WriteFailed,     // any other failure while storing
        NotOpen,         // an operation on a closed cursor
        BadState,        // e.g. post without edit
        UnknownField,
        UnknownIndex,
        PathTooLong,     // the data folder's path is beyond what the store can open
        UpgradeFailed,   // older tables could not be brought over; the folder is unchanged
        ChangedElsewhere,  // another copy of the program stored the row since it was read
        DeletedElsewhere,  // another copy of the program deleted the row since it was read
    };
    StoreError(Kind kind, const QString &message, const QString &file = {}, const QString &cause = {});
    Kind kind() const { return m_kind; }
    QString file() const { return m_file; }

private:
    Kind m_kind;
    QString m_file;
};

// A value that cannot be converted to a field's type; the program passes
// over such errors without a word.
class ConversionError : public core::Error {
public:
    explicit ConversionError(const QString &value, const char *typeName);
};

} // namespace store
