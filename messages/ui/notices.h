#pragma once

#include <QString>

class QWidget;

namespace messages {

// The program's simple notices: a modal box with an error icon and the
// single button Cancel, or a warning icon and the single button OK.
// The box is named "NoticeBox".
void ShowErrorNotice(QWidget *parent, const QString &title, const QString &text);
void ShowWarningNotice(QWidget *parent, const QString &title, const QString &text);
// An error box with two buttons, to try again or to stop; true when the user
// chose to try again.
bool AskRetryNotice(QWidget *parent, const QString &title, const QString &text,
                    const QString &retryText = QStringLiteral("Повторить"),
                    const QString &stopText = QStringLiteral("Закрыть без сохранения"));

} // namespace messages
