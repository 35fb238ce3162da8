#include "envelope/commenttexts.h"

#include "store/schema.h"

namespace envelope {

QString withCrLf(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalized.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return normalized;
}

QString withQuickText(const QString &shownComment, const QString &phrase)
{
    return store::cutToCapacity(withCrLf(shownComment) + phrase + QStringLiteral("\r\n"),
                                CommentCapacity);
}

} // namespace envelope
