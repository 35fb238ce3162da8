#include "app/ui/russianlook.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

namespace {
// Wine's fonts lie outside the folders fontconfig searches.
const char *const kWineFonts = "/usr/share/wine/fonts/";
} // namespace

bool loadRussianQtTexts(QCoreApplication *application)
{
    auto *translator = new QTranslator(application);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

bool registerTahoma()
{
    bool all = true;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf"})
        all = QFontDatabase::addApplicationFont(QString::fromLatin1(kWineFonts) + QLatin1String(file)) >= 0 && all;
    return all;
}

} // namespace app
