#include "messages/ui/inputbox.h"
#include "messages/inputboxlayout.h"

#include "tests/support/modal.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString Caption = QStringLiteral("Иморт из докумета Excel");
const QString ColumnPrompt = QStringLiteral("Столбец Excel документа(a,b,c...) для поля:\rКому");

QLineEdit *editOf(QWidget *window)
{
    return window->findChild<QLineEdit *>("MaskEdit1");
}

// Types each character as a key press carrying it as text (any script).
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.isDigit() || (c >= u'a' && c <= u'z') ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void press(QWidget *window, const char *button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
}

struct SeenLayout
{
    QSize client;
    QRect panel, label, edit, ok, cancel;
};

SeenLayout lookAt(QWidget *window)
{
    SeenLayout seen;
    seen.client = window->size();
    seen.panel = window->findChild<QFrame *>("Panel1")->geometry();
    seen.label = window->findChild<QLabel *>("Label1")->geometry();
    seen.edit = editOf(window)->geometry();
    seen.ok = window->findChild<QPushButton *>("BitBtn1")->geometry();
    seen.cancel = window->findChild<QPushButton *>("BitBtn2")->geometry();
    return seen;
}

SeenLayout layoutFor(const QString &prompt, int editWidth)
{
    SeenLayout seen;
    modal::whenShown("TFormInputBox", [&](QWidget *window) {
        seen = lookAt(window);
        press(window, "BitBtn2");
    });
    QString value;
    messages::ShowInputBox(Caption, prompt, value, messages::LatinLetters(), 1, editWidth);
    return seen;
}

} // namespace

class InputBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { modal::stopPolls(); }

    void typing_data()
    {
        QTest::addColumn<QString>("allowed");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter then digit") << messages::LatinLetters() << 1 << "b7" << "b";
        QTest::newRow("second letter over the limit") << messages::LatinLetters() << 1 << "bc" << "b";
        QTest::newRow("digits without limit") << messages::DecimalDigits() << 0 << "1a2-3 4" << "1234";
        QTest::newRow("cyrillic is not latin") << messages::LatinLetters() << 0 << "фxЯy" << "xy";
    }

    void typing()
    {
        QFETCH(QString, allowed);
        QFETCH(int, maxLength);
        QFETCH(QString, keys);
        QString typed;
        modal::whenShown("TFormInputBox", [&](QWidget *window) {
            type(editOf(window), keys);
            typed = editOf(window)->text();
            press(window, "BitBtn1");
        });
        QString value;
        QVERIFY(messages::ShowInputBox(Caption, "?", value, allowed, maxLength, 50));
        QTEST(typed, "expected");
        QTEST(value, "expected");
    }

    void backspaceWorksOutsideTheSet()
    {
        QString value;
        modal::whenShown("TFormInputBox", [&](QWidget *window) {
            type(editOf(window), "123");
            QTest::keyClick(editOf(window), Qt::Key_Backspace);
            press(window, "BitBtn1");
        });
        QVERIFY(messages::ShowInputBox(Caption, "?", value, messages::DecimalDigits(), 0, 50));
        QCOMPARE(value, QStringLiteral("12"));
    }

    void pastingKeepsOnlyAllowedCharacters()
    {
        QString value = QStringLiteral("9");
        modal::whenShown("TFormInputBox", [&](QWidget *window) {
            QLineEdit *edit = editOf(window);
            edit->setCursorPosition(0);
            edit->insert(QStringLiteral("1a2b3"));
            press(window, "BitBtn1");
        });
        QVERIFY(messages::ShowInputBox(Caption, "Сколько строк загрузить?", value, messages::DecimalDigits(), 0, 50));
        QCOMPARE(value, QStringLiteral("1239"));
    }

    void startValueIsShownAndFiltered()
    {
        QString shown;
        modal::whenShown("TFormInputBox", [&](QWidget *window) {
            shown = editOf(window)->text();
            press(window, "BitBtn1");
        });
        QString value = QStringLiteral("1x5");
        QVERIFY(messages::ShowInputBox(Caption, "?", value, messages::DecimalDigits(), 0, 50));
        QCOMPARE(shown, QStringLiteral("15"));
    }

    void okWithEmptyLine()
    {
        modal::whenShown("TFormInputBox", [&](QWidget *window) { press(window, "BitBtn1"); });
        QString value;
        QVERIFY(messages::ShowInputBox(Caption, "?", value, messages::DecimalDigits(), 0, 50));
        QCOMPARE(value, QString());
    }

    void cancelClearsTheValue()
    {
        modal::whenShown("TFormInputBox", [&](QWidget *window) { press(window, "BitBtn2"); });
        QString value = QStringLiteral("c");
        QVERIFY(!messages::ShowInputBox(Caption, ColumnPrompt, value, messages::LatinLetters(), 1, 25));
        QCOMPARE(value, QString());
    }

    void enterPressesOkAndEscapeDoesNothing()
    {
        bool visibleAfterEscape = false, visibleAfterClose = false;
        modal::whenShown("TFormInputBox", [&](QWidget *window) {
            type(editOf(window), "d");
            QTest::keyClick(editOf(window), Qt::Key_Escape);
            visibleAfterEscape = window->isVisible();
            window->close();
            visibleAfterClose = window->isVisible();
            QTest::keyClick(editOf(window), Qt::Key_Return);
        });
        QString value;
        QVERIFY(messages::ShowInputBox(Caption, ColumnPrompt, value, messages::LatinLetters(), 1, 25));
        QVERIFY(visibleAfterEscape);
        QVERIFY(visibleAfterClose);
        QCOMPARE(value, QStringLiteral("d"));
    }

    void layoutFollowsThePrompt()
    {
        const SeenLayout column = layoutFor(ColumnPrompt, 25);
        QCOMPARE(column.panel.topLeft(), QPoint(8, 8));
        QCOMPARE(column.label.topLeft(), QPoint(8, 8));
        QCOMPARE(column.client, QSize(column.panel.width() + 16, column.panel.height() + 16));
        const messages::InputBoxLayout expected = messages::LayOutInputBox(column.label.size(), 25);
        QCOMPARE(column.client, expected.clientSize);
        QCOMPARE(column.edit, expected.edit);
        QCOMPARE(column.ok, expected.okButton);
        QCOMPARE(column.cancel, expected.cancelButton);
        QCOMPARE(column.edit.left(), (column.panel.width() - 25) / 2);
        QCOMPARE(column.ok.bottom() + 1, column.panel.height() - 8);

        const SeenLayout taller = layoutFor(ColumnPrompt + "\rещё\rстроки", 25);
        QVERIFY(taller.client.height() > column.client.height());
        QCOMPARE(taller.client.width(), column.client.width());

        const SeenLayout wider = layoutFor(QString(80, u'Ш'), 25);
        QVERIFY(wider.client.width() > column.client.width());
        QCOMPARE(wider.edit.left(), (wider.panel.width() - 25) / 2);
        QCOMPARE(wider.ok.left(), (wider.panel.width() - 150) / 3);
    }
};

QTEST_MAIN(InputBoxTest)
#include "tst_inputbox.moc"
