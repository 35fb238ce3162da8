#pragma once
// Answers a row of modal windows in order: each step waits for the modal
// window of its object name and closes it. The texts of the message windows
// and notices answered are kept for the test to read.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <deque>
#include <functional>

class ModalScript : public QObject {
public:
    using Action = std::function<void(QWidget *)>;
    ModalScript()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start(5);
    }
    ModalScript &then(const QString &window, Action action)
    {
        m_steps.push_back({window, std::move(action)});
        return *this;
    }
    // Button k of the message window.
    ModalScript &message(int k)
    {
        return then("TForm1001", [k](QWidget *w) {
            QTest::mouseClick(w->findChild<QLabel *>(QStringLiteral("Label%1").arg(k)), Qt::LeftButton);
        });
    }
    // Types into the input box and presses "Ok" (or "Отмена").
    ModalScript &input(const QString &text, bool ok = true)
    {
        return then("TFormInputBox", [text, ok](QWidget *w) {
            QTest::keyClicks(w->findChild<QLineEdit *>("MaskEdit1"), text);
            QTest::mouseClick(w->findChild<QPushButton *>(ok ? "BitBtn1" : "BitBtn2"), Qt::LeftButton);
        });
    }
    ModalScript &file(const QString &path)
    {
        return then("OpenDialog1", [path](QWidget *w) {
            static_cast<QFileDialog *>(w)->selectFile(path);
            QTest::mouseClick(w->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
    }
    ModalScript &notice()
    {
        return then("NoticeBox", [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    }
    bool done() const { return m_steps.empty(); }
    QStringList texts;

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (m_steps.empty() || !w || !w->isVisible() || w->objectName() != m_steps.front().window)
            return;
        if (auto *text = w->findChild<QTextEdit *>("RichEdit1"))
            texts << text->toPlainText();
        if (auto *box = qobject_cast<QMessageBox *>(w))
            texts << box->text();
        const Action action = m_steps.front().action;
        m_steps.pop_front();
        action(w);
    }
    struct Step {
        QString window;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
};
