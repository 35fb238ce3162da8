#pragma once
// What a workbook in a zip container (.xlsx, .ods) declares it takes once
// unpacked, read from the container's central directory without unpacking
// anything: a small file that unpacks into gigabytes is refused before the
// office reads it.

#include <QString>

namespace addressbook {

// The sum of the unpacked sizes the central directory declares for all
// members; -1 when the file is not a zip container or its directory cannot
// be read. A member too large for the plain zip format counts as
// unlimited (the largest qint64).
qint64 zipUnpackedSize(const QString &path);

} // namespace addressbook
