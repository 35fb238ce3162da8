#pragma once
// Settings of print runs that the settings row has no field for. They live
// in a small file of their own in the data folder, base/Kuvertix.ini, so the
// table files keep their layout and older copies of the program still open
// them. A missing or unreadable file gives the defaults.

#include <QString>

namespace envelope {

// The file's path in a data folder (names there match without regard to case).
QString runSettingsPath(const QString &dataFolder);

// Whether a print run goes to the printer as one job of all its envelopes
// instead of one job each. Off by default.
bool loadOneJobPerRun(const QString &dataFolder);
// Stores the switch at once; false when the file could not be written.
bool saveOneJobPerRun(const QString &dataFolder, bool on);

} // namespace envelope
