#pragma once
// Writing files with every step checked, and the cause of a failure in
// Russian words, from the system's error code.

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace report {

// A Russian clause naming why a file could not be written ("нет места на
// диске", ...).
QString writeFailureCause(int errorCode);

// The system's text of a failed file operation (Qt's errorString(), which
// carries the system's own words, "No space left on device") as a Russian
// clause; a text of no known cause is returned as it is.
QString fileErrorCause(const QString &systemText);

// Throws ReportError(OutputFailed): "Не удалось записать файл «…»: " and
// the cause of the system's text in Russian words.
[[noreturn]] void throwCannotWrite(const QString &fileName, const QString &systemText);

// Gives a file written whole its name. A refused write alone does not stop
// QSaveFile::commit() (a full disk would leave an empty or cut file where
// the older one was), so every write is checked first; on failure the
// temporary file goes and throwCannotWrite says why.
void commitWhole(QSaveFile &file);

// The clause as the start of a sentence.
QString capitalized(const QString &clause);

// Writes all of bytes to the open descriptor; 0 when every byte was written,
// otherwise the system's error code.
int writeAllBytes(int fd, const QByteArray &bytes);

} // namespace report
