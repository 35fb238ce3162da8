#pragma once
// Paths of the files the envelope settings keep in the data folder.

#include <QByteArray>
#include <QString>

namespace envelope {

// The data folder of a program folder: programFolder + "base".
QString dataFolderOf(const QString &programFolder);

// folder/name, where an existing file whose name differs only in letter case
// counts as the same file (the data folder's names are matched that way).
QString dataFilePath(const QString &folder, const QString &name);

// Replaces the file at path with bytes, or leaves it as it was: the bytes go
// to a temporary file in the same folder, every write, the flush to disk and
// the close are checked, and only a complete file is renamed over the old
// one. Returns the empty text on success, otherwise the cause as
// writeFailureCause() (report/oserror.h) words it.
QString replaceFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace envelope
