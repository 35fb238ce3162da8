#pragma once
// Writing files with every step checked, and the cause of a failure in
// Russian words, from the system's error code.

#include <QByteArray>
#include <QString>

namespace report {

// A Russian clause naming why a file could not be written ("нет места на
// диске", ...).
QString writeFailureCause(int errorCode);

// The clause as the start of a sentence.
QString capitalized(const QString &clause);

// Writes all of bytes to the open descriptor; 0 when every byte was written,
// otherwise the system's error code.
int writeAllBytes(int fd, const QByteArray &bytes);

} // namespace report
