#include "envelope/runsettings.h"

#include "envelope/datafiles.h"

#include <QSettings>

namespace envelope {

namespace {

const QString OneJobKey = QStringLiteral("PrintRun/OneJobPerRun");

} // namespace

QString runSettingsPath(const QString &dataFolder)
{
    return dataFilePath(dataFolder, QStringLiteral("Kuvertix.ini"));
}

bool loadOneJobPerRun(const QString &dataFolder)
{
    const QSettings settings(runSettingsPath(dataFolder), QSettings::IniFormat);
    return settings.value(OneJobKey, false).toBool();
}

bool saveOneJobPerRun(const QString &dataFolder, bool on)
{
    QSettings settings(runSettingsPath(dataFolder), QSettings::IniFormat);
    settings.setValue(OneJobKey, on);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace envelope
