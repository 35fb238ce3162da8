#pragma once
// Acting on modal windows from a test: an action runs as soon as a modal
// window of the given object name shows, and must close it; or a script
// answers a row of modal windows in order.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

namespace modal {

using Action = std::function<void(QWidget *)>;

void whenShown(const QString &name, Action action);
// Drops polls of whenShown whose window never showed.
void stopPolls();
// Presses button k of the message window.
void pressMessageButton(QWidget *window, int k);
// Closes the notice box that shows with its OK (or else Cancel) button,
// keeping its text.
void answerNotice(QString *text);
// The top-level window of that object name, or null.
QWidget *topLevelNamed(const QString &name);

// Answers a row of modal windows in order: each step waits for the modal
// window of its object name and closes it. The texts of the message windows
// and notices answered are kept for the test to read.
class Script : public QObject {
public:
    Script();
    Script &then(const QString &window, Action action);
    // Button k of the message window.
    Script &message(int k);
    // Types into the input box and presses "Ok" (or "Отмена").
    Script &input(const QString &text, bool ok = true);
    // Chooses the file in the open-file dialog.
    Script &file(const QString &path);
    Script &notice();
    bool done() const { return m_steps.empty(); }
    QStringList texts;

private:
    void poll();
    struct Step {
        QString window;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
};

} // namespace modal
