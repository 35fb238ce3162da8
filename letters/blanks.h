#pragma once
// The user's blank templates: word-processor files kept in the program
// folder, and the help text on making one's own. No widgets here.

#include <QString>
#include <QStringList>

namespace letters {

// The name patterns of template files, matched without regard to case.
const QStringList &blankPatterns();

// Whether a bare file name matches one of the patterns.
bool isBlankFileName(const QString &name);

// The bare names of the plain files in the folder that match a pattern,
// hidden and read-only ones included, never a directory (nor anything that
// is not a regular file), sorted alphabetically without regard to case.
QStringList listBlanks(const QString &folder);

// The help text of "Создать свой", in the markup of the message window:
// thirteen lines separated by "\r", the first one empty.
QString blankHelpText();

} // namespace letters
