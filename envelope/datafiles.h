#pragma once
// Paths of the files the envelope settings keep in the data folder.

#include <QString>

namespace envelope {

// The data folder of a program folder: programFolder + "base".
QString dataFolderOf(const QString &programFolder);

// folder/name, where an existing file whose name differs only in letter case
// counts as the same file (the data folder's names are matched that way).
QString dataFilePath(const QString &folder, const QString &name);

} // namespace envelope
