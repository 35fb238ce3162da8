#include "messages/ui/notices.h"

#include <QMessageBox>
#include <QPushButton>

namespace messages {

namespace {

void showNotice(QWidget *parent, QMessageBox::Icon icon, QMessageBox::StandardButton button, const QString &title,
                const QString &text)
{
    QMessageBox box(icon, title, text, button, parent);
    box.setObjectName(QStringLiteral("NoticeBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ShowErrorNotice(QWidget *parent, const QString &title, const QString &text)
{
    showNotice(parent, QMessageBox::Critical, QMessageBox::Cancel, title, text);
}

void ShowWarningNotice(QWidget *parent, const QString &title, const QString &text)
{
    showNotice(parent, QMessageBox::Warning, QMessageBox::Ok, title, text);
}

bool AskRetryNotice(QWidget *parent, const QString &title, const QString &text, const QString &retryText,
                    const QString &stopText)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Retry | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("NoticeBox"));
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Retry)->setText(retryText);
    box.button(QMessageBox::Cancel)->setText(stopText);
    box.setDefaultButton(QMessageBox::Retry);
    return box.exec() == QMessageBox::Retry;
}

} // namespace messages
