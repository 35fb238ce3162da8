#include "tests/support/modal.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace modal {

namespace {

const QString PollName = QStringLiteral("modalPoll");

} // namespace

void whenShown(const QString &name, Action action)
{
    auto *timer = new QTimer(qApp);
    timer->setObjectName(PollName);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, action] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window->objectName() != name || !window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(window);
    });
    timer->start();
}

void stopPolls()
{
    for (QTimer *t : qApp->findChildren<QTimer *>(PollName, Qt::FindDirectChildrenOnly)) {
        t->stop();
        t->deleteLater();
    }
}

void pressMessageButton(QWidget *window, int k)
{
    QTest::mouseClick(window->findChild<QLabel *>(QStringLiteral("Label%1").arg(k)), Qt::LeftButton);
}

void answerNotice(QString *text)
{
    whenShown(QStringLiteral("NoticeBox"), [text](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        *text = box->text();
        box->button(box->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
}

QWidget *topLevelNamed(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            return widget;
    return nullptr;
}

Script::Script()
{
    connect(&m_timer, &QTimer::timeout, this, &Script::poll);
    m_timer.start(5);
}

Script &Script::then(const QString &window, Action action)
{
    m_steps.push_back({window, std::move(action)});
    return *this;
}

Script &Script::message(int k)
{
    return then(QStringLiteral("TForm1001"), [k](QWidget *w) { pressMessageButton(w, k); });
}

Script &Script::input(const QString &text, bool ok)
{
    return then(QStringLiteral("TFormInputBox"), [text, ok](QWidget *w) {
        QTest::keyClicks(w->findChild<QLineEdit *>(QStringLiteral("MaskEdit1")), text);
        QTest::mouseClick(w->findChild<QPushButton *>(ok ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn2")),
                          Qt::LeftButton);
    });
}

Script &Script::file(const QString &path)
{
    return then(QStringLiteral("OpenDialog1"), [path](QWidget *w) {
        static_cast<QFileDialog *>(w)->selectFile(path);
        QTest::mouseClick(w->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
}

Script &Script::notice()
{
    return then(QStringLiteral("NoticeBox"), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
}

void Script::poll()
{
    QWidget *w = QApplication::activeModalWidget();
    if (m_steps.empty() || !w || !w->isVisible() || w->objectName() != m_steps.front().window)
        return;
    if (auto *text = w->findChild<QTextEdit *>(QStringLiteral("RichEdit1")))
        texts << text->toPlainText();
    if (auto *box = qobject_cast<QMessageBox *>(w))
        texts << box->text();
    const Action action = m_steps.front().action;
    m_steps.pop_front();
    action(w);
}

} // namespace modal
