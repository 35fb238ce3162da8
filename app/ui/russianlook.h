#pragma once
// What makes the program look as its windows were made to look on a Russian
// desktop: Qt's own texts (file and font dialogs, dialog buttons) in
// Russian, and the Tahoma with Cyrillic that the fixed sizes of the windows
// and messages were measured with. Both come from Debian packages
// (qt6-translations-l10n, fonts-wine); without them the program still runs,
// in English dialogs and a wider substitute font.

class QCoreApplication;

namespace app {

// Loads Qt's Russian translation into the application; false when missing.
bool loadRussianQtTexts(QCoreApplication *application);

// Registers Tahoma and Tahoma Bold for this process; false when missing.
bool registerTahoma();

} // namespace app
