#include "app/errorpolicy.h"

namespace app {

namespace {
// Line breaks of these boxes are LF followed by CR.
const QString kBreak = QStringLiteral("\n\r");
}

bool isConversionError(const QString &message)
{
    return message.contains(QLatin1String("is not a valid"))
           || message.contains(QLatin1String("Invalid input value"));
}

QString startupErrorText(const QString &message)
{
    if (message.contains(QLatin1String("File name is too long for a Paradox version 5.0 table.")))
        return QStringLiteral("Пожалуйста перенесите программу в папку с менее длинным путём, "
                              "например в C:\\Kuvertix и запустите оттуда.");
    return unexpectedErrorText(message);
}

QString unexpectedErrorText(const QString &message)
{
    return QStringLiteral("Ошибка:") + kBreak + message + kBreak
           + QStringLiteral("Перезагрузите компьютер и попробуйте ещё раз.");
}

} // namespace app
