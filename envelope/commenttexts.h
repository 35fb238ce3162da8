#pragma once
// The envelope comment and its quick texts.

#include <QString>

namespace envelope {

inline const QString QuickRegistered = QStringLiteral("ЗАКАЗНОЕ");
inline const QString QuickDeclaredValue = QStringLiteral("С ОБЪЯВЛЕННОЙ ЦЕННОСТЬЮ");
inline const QString QuickSimpleNotice = QStringLiteral("С ПРОСТЫМ УВЕДОМЛЕНИЕМ");
inline const QString QuickRegisteredNotice = QStringLiteral("С ЗАКАЗНЫМ УВЕДОМЛЕНИЕМ");

constexpr int CommentCapacity = 255;

// The comment with a quick text appended as its own line: the text shown
// now, the phrase and CR LF, cut to the comment's 255 characters. Line
// breaks of the shown text come out as CR LF whatever form they had.
QString withQuickText(const QString &shownComment, const QString &phrase);

// A comment with every line break as CR LF, as the field keeps it.
QString withCrLf(const QString &text);

} // namespace envelope
