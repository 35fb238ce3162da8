#pragma once
// Several PDF files joined into one, page after page: the blank run saved
// as one file of all its sheets, each sheet exported by the office alone.

#include <QString>
#include <QStringList>

namespace report {

// Writes the pages of the parts, in order, into fileName. The file grows as
// a temporary file in its own folder and takes its name only once it is
// complete: a failure leaves no file, and an older file of that name as it
// was. Returns the number of pages written. Throws ReportError
// (OutputFailed) naming the file, with the cause in Russian words, when a
// part cannot be read or the file cannot be written.
int joinPdfFiles(const QStringList &parts, const QString &fileName);

} // namespace report
