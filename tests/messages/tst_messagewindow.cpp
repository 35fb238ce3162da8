#include "messages/integertext.h"
#include "messages/ui/messagewindow.h"
#include "messages/ui/placecentered.h"

#include "tests/support/modal.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

// What a test sees of the shown message window.
struct SeenWindow
{
    QRect frame;
    QRect text;
    QList<QRect> panels;
    QList<bool> visible;
    QList<QString> captions;
    QList<int> labelWidths;
};

SeenWindow look(QWidget *window)
{
    SeenWindow seen;
    seen.frame = window->frameGeometry();
    seen.text = window->findChild<QTextEdit *>("RichEdit1")->geometry();
    for (int k = 1; k <= 5; ++k) {
        auto *panel = window->findChild<QFrame *>(QString("Panel%1").arg(k));
        auto *label = panel->findChild<QLabel *>(QString("Label%1").arg(k));
        seen.panels.append(panel->geometry());
        seen.visible.append(panel->isVisible());
        seen.captions.append(label->text());
        seen.labelWidths.append(label->width());
    }
    return seen;
}

void clickLabel(QWidget *window, int k, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(window->findChild<QLabel *>(QString("Label%1").arg(k)), button);
}

int labelTextWidth(const QString &text)
{
    QFont font("Tahoma");
    font.setPixelSize(13);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(text);
}

} // namespace

class MessageWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { modal::stopPolls(); }

    void captionsInFirstAndThirdButton()
    {
        SeenWindow seen;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            seen = look(window);
            clickLabel(window, 3);
        });
        QCOMPARE(messages::ShowMsg("Kuvertix", 400, 300, "Текст", "Да", "", "Нет"), 3);

        QCOMPARE(seen.frame.size(), QSize(400, 300));
        QCOMPARE(seen.captions.mid(0, 3), (QList<QString>{"  Да  ", "    ", "  Нет  "}));
        QCOMPARE(seen.visible, (QList<bool>{true, true, true, false, false}));
        QCOMPARE(seen.labelWidths[0], labelTextWidth("  Да  "));
        QCOMPARE(seen.labelWidths[1], labelTextWidth("    "));
        int used = 0;
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(seen.panels[k].width(), seen.labelWidths[k] + 4);
            used += seen.panels[k].width();
        }
        const int gap = (400 - used) / 4;
        QVERIFY(gap > 0);
        QCOMPARE(seen.panels[0].left(), gap);
        QCOMPARE(seen.panels[1].left(), seen.panels[0].right() + 1 + gap);
        QCOMPARE(seen.panels[2].left(), seen.panels[1].right() + 1 + gap);
        const int top = seen.text.bottom() + 1 - seen.panels[0].height() - 8;
        for (const QRect &panel : seen.panels)
            QCOMPARE(panel.top(), top);
    }

    void textAreaLeavesAGreyFrame()
    {
        QRect text, client;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            text = window->findChild<QTextEdit *>("RichEdit1")->geometry();
            client = window->rect();
            clickLabel(window, 1);
        });
        messages::ShowMsg("Kuvertix", 350, 250, "x");
        QCOMPARE(text, client.adjusted(8, 8, -8, -8));
    }

    void allCaptionsEmptyGiveOneOkButton()
    {
        SeenWindow seen;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            seen = look(window);
            clickLabel(window, 1, Qt::RightButton);
        });
        QCOMPARE(messages::ShowMsg("Kuvertix", 300, 200, "Текст"), 1);
        QCOMPARE(seen.captions[0], QStringLiteral("    Ok    "));
        QCOMPARE(seen.visible, (QList<bool>{true, false, false, false, false}));
        QCOMPARE(seen.panels[0].left(), (300 - seen.panels[0].width()) / 2);
    }

    void tooManyButtonsOverlap()
    {
        SeenWindow seen;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            seen = look(window);
            clickLabel(window, 5);
        });
        const QString long_ = "Очень длинная надпись";
        QCOMPARE(messages::ShowMsg("Kuvertix", 200, 150, "x", long_, long_, long_, long_, long_), 5);
        int used = 0;
        for (const QRect &panel : seen.panels)
            used += panel.width();
        const int gap = (200 - used) / 6;
        QVERIFY(gap < 0);
        QCOMPARE(seen.panels[0].left(), gap);
        for (int k = 1; k < 5; ++k)
            QCOMPARE(seen.panels[k].left(), seen.panels[k - 1].right() + 1 + gap);
        QCOMPARE(seen.visible, (QList<bool>{true, true, true, true, true}));
    }

    void closeIsRefusedUntilAButtonIsPressed()
    {
        bool visibleAfterClose = false, visibleAfterEscape = false, visibleAfterBorderClick = false;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            window->close();
            visibleAfterClose = window->isVisible();
            QTest::keyClick(window, Qt::Key_Escape);
            visibleAfterEscape = window->isVisible();
            QTest::mouseClick(window->findChild<QFrame *>("Panel2"), Qt::LeftButton, {}, QPoint(1, 1));
            visibleAfterBorderClick = window->isVisible();
            clickLabel(window, 2);
        });
        QCOMPARE(messages::ShowMsg("Kuvertix", 300, 200, "Текст", "Да", "Нет"), 2);
        QVERIFY(visibleAfterClose);
        QVERIFY(visibleAfterEscape);
        QVERIFY(visibleAfterBorderClick);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!modal::topLevelNamed("TForm1001"));
    }

    void buttonCaptionCodes()
    {
        QFont font;
        QColor text, face, plainFace;
        QString caption;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            auto *label = window->findChild<QLabel *>("Label1");
            font = label->font();
            text = label->palette().color(QPalette::WindowText);
            caption = label->text();
            face = window->findChild<QFrame *>("Panel1")->palette().color(QPalette::Window);
            plainFace = window->findChild<QFrame *>("Panel2")->palette().color(QPalette::Window);
            clickLabel(window, 1);
        });
        messages::ShowMsg("Kuvertix", 400, 300, "x", "{FS12}{FI}{FC$0000FF}{BC$00FF00}{FB-}{PL}Печатать", "Отмена");
        QCOMPARE(caption, QStringLiteral("  Печатать  "));
        QCOMPARE(font.pointSize(), 12);
        QVERIFY(font.italic());
        QVERIFY(font.bold());
        QCOMPARE(text, QColor(255, 0, 0));
        QCOMPARE(face, QColor(0, 255, 0));
        QCOMPARE(plainFace, QApplication::palette().color(QPalette::Button));
    }

    void messageTextIsRendered()
    {
        QString plain;
        QColor background;
        Qt::Alignment alignment;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            auto *view = window->findChild<QTextEdit *>("RichEdit1");
            plain = view->toPlainText();
            background = view->viewport()->palette().color(QPalette::Base);
            alignment = view->document()->begin().blockFormat().alignment();
            clickLabel(window, 1);
        });
        messages::ShowMsg("Kuvertix", 300, 200, "{PL}Строка {FB}жирная{BC$00FF00}");
        QCOMPARE(plain, QStringLiteral("Строка жирная"));
        QCOMPARE(background, QColor(0, 255, 0));
        QCOMPARE(alignment & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void badSizeShowsAsText()
    {
        QString shown;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            shown = window->findChild<QTextEdit *>("RichEdit1")->toPlainText();
            clickLabel(window, 1);
        });
        QCOMPARE(messages::ShowMsg("Kuvertix", 300, 200, "a{FS}b{FS99999999999}"), 1);
        QCOMPARE(shown, QStringLiteral("a{FS}b{FS99999999999}"));
    }

    void placedOverTheVisibleMainWindow()
    {
        QWidget main;
        main.setObjectName(messages::MainWindowObjectName);
        main.setGeometry(100, 120, 500, 400);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPoint position;
        modal::whenShown("TForm1001", [&](QWidget *window) {
            position = window->frameGeometry().topLeft();
            clickLabel(window, 1);
        });
        messages::ShowMsg("Kuvertix", 300, 200, "x");
        const QRect frame = main.frameGeometry();
        QCOMPARE(position, QPoint(frame.left() + (frame.width() - 300) / 2, frame.top() + (frame.height() - 200) / 2));
    }

    // The three cases of PlaceCentered on real windows (the offscreen screen
    // gives windows a frame, so outer sizes differ from client sizes).
    void placeCentered_data()
    {
        QTest::addColumn<int>("mainWindow"); // 0 none, 1 visible, 2 hidden
        QTest::addColumn<QPoint>("pointer");
        QTest::newRow("no main window") << 0 << QPoint(10, 10);
        QTest::newRow("visible main window") << 1 << QPoint(10, 10);
        QTest::newRow("hidden: on the pointer") << 2 << QPoint(300, 250);
        QTest::newRow("hidden: pointer at the origin") << 2 << QPoint(20, 30);
        QTest::newRow("hidden: pointer beyond the far corner") << 2 << QPoint(5000, 5000);
    }

    void placeCentered()
    {
        QFETCH(int, mainWindow);
        QFETCH(QPoint, pointer);
        std::unique_ptr<QWidget> main;
        if (mainWindow != 0) {
            main = std::make_unique<QWidget>();
            main->setObjectName(messages::MainWindowObjectName);
            main->setGeometry(50, 60, 401, 201);
            if (mainWindow == 1) {
                main->show();
                QVERIFY(QTest::qWaitForWindowExposed(main.get()));
            }
        }
        QCursor::setPos(pointer);
        QWidget window(nullptr, Qt::Window);
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize outer = window.frameGeometry().size();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();

        QPoint expected;
        if (mainWindow == 0) {
            expected = {(screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2};
        } else if (mainWindow == 1) {
            const QRect frame = main->frameGeometry();
            expected = {frame.left() + (frame.width() - outer.width()) / 2,
                        frame.top() + (frame.height() - outer.height()) / 2};
        } else {
            expected = {pointer.x() - outer.width() / 2, pointer.y() - outer.height() / 2};
            expected.setX(std::clamp(expected.x(), 0, screen.width() - outer.width()));
            expected.setY(std::clamp(expected.y(), 0, screen.height() - outer.height()));
        }
        messages::PlaceCentered(&window);
        QCOMPARE(window.frameGeometry().topLeft(), expected);
    }
};

QTEST_MAIN(MessageWindowTest)
#include "tst_messagewindow.moc"
