#pragma once
// Answers a row of modal windows in order: each step waits for the modal
// window of its object name and must close it. The texts of the message
// windows and notices answered are kept for the test to read.

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
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start();
    }

    ModalScript &then(const QString &windowName, Action action)
    {
        m_steps.push_back({windowName, std::move(action)});
        return *this;
    }
    // Presses button k of the message window.
    ModalScript &message(int k)
    {
        return then(QStringLiteral("TForm1001"), [k](QWidget *w) {
            QTest::mouseClick(w->findChild<QLabel *>(QStringLiteral("Label%1").arg(k)), Qt::LeftButton);
        });
    }
    // Types into the input box and presses "Ok" (or "Отмена").
    ModalScript &input(const QString &text, bool ok = true)
    {
        return then(QStringLiteral("TFormInputBox"), [text, ok](QWidget *w) {
            QTest::keyClicks(w->findChild<QLineEdit *>(QStringLiteral("MaskEdit1")), text);
            QTest::mouseClick(w->findChild<QPushButton *>(ok ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn2")),
                              Qt::LeftButton);
        });
    }
    // Chooses a file in the open-file dialog and presses its open button.
    ModalScript &file(const QString &path)
    {
        return then(QStringLiteral("OpenDialog1"), [path](QWidget *w) {
            auto *dialog = static_cast<QFileDialog *>(w);
            dialog->selectFile(path);
            QPushButton *open = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
            QTest::mouseClick(open, Qt::LeftButton);
        });
    }
    ModalScript &notice()
    {
        return then(QStringLiteral("NoticeBox"), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    }

    bool done() const { return m_steps.empty(); }
    QStringList texts;  // of the message windows and notices, in order

private:
    void poll()
    {
        QWidget *window = QApplication::activeModalWidget();
        if (m_steps.empty() || !window || !window->isVisible() || window->objectName() != m_steps.front().name)
            return;
        if (auto *text = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1")))
            texts << text->toPlainText();
        if (auto *box = qobject_cast<QMessageBox *>(window))
            texts << box->text();
        const Action action = m_steps.front().action;
        m_steps.pop_front();
        action(window);
    }

    struct Step {
        QString name;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
};
