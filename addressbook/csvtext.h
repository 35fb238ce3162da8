#pragma once
// The text of a CSV file as UTF-8. Files pasted together from two sources
// hold lines of both encodings the program meets: each line that is not
// valid UTF-8 is read as Windows-1251, so that no line turns into mojibake.

#include <QByteArray>

namespace addressbook {

// The bytes unchanged when they are valid UTF-8 throughout; otherwise
// every line that is not valid UTF-8 converted from Windows-1251.
QByteArray csvAsUtf8(const QByteArray &raw);

} // namespace addressbook
