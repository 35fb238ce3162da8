#include "addressbook/showmessage.h"

#ifdef KUVERTIX_HAVE_SHOWMSG
#include "messages/message_window.h"
#else
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#endif

namespace addressbook {

#ifdef KUVERTIX_HAVE_SHOWMSG

int showMessage(QWidget *, const QString &caption, int width, int height, const QString &markup,
                const QStringList &buttons)
{
    return ShowMsg(caption, width, height, markup, buttons.value(0), buttons.value(1),
                   buttons.value(2), buttons.value(3), buttons.value(4));
}

#else

// Until the message window is part of the build: a plain message box with
// the markup codes taken out.
int showMessage(QWidget *parent, const QString &caption, int width, int height,
                const QString &markup, const QStringList &buttons)
{
    Q_UNUSED(width)
    Q_UNUSED(height)
    QString text = markup;
    text.remove(QRegularExpression(QStringLiteral("\\{F[^}]*\\}|\\{P[^}]*\\}")));
    text.replace(QChar(13), QChar(10));
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> made;
    for (const QString &b : buttons)
        made << box.addButton(b, QMessageBox::AcceptRole);
    box.exec();
    const int index = int(made.indexOf(box.clickedButton()));
    return index < 0 ? 1 : index + 1;
}

#endif

} // namespace addressbook
