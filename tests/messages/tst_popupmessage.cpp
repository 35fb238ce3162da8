#include "messages/ui/placecentered.h"
#include "messages/ui/popupmessage.h"

#include "tests/support/modal.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QtTest>

namespace {

const QString Running = QStringLiteral("  Идёт печать. Подождите пожалуйста...   ");
const QString Finished = QStringLiteral("  Печать завершена.   ");

// The open note (a closed one may still wait for its deletion).
QWidget *popup()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "TForm1000" && widget->isVisible())
            return widget;
    }
    return nullptr;
}

QLabel *popupLabel()
{
    return popup()->findChild<QLabel *>("Label1");
}

QTimer *popupTimer()
{
    return popup()->findChild<QTimer *>("Timer1");
}

bool staysOnTop()
{
    return popup()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

// Counts paint events of the popup's label, wherever it is created.
class LabelPaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == "Label1" && watched->parent()
            && watched->parent()->parent() && watched->parent()->parent()->objectName() == "TForm1000")
            ++count;
        return false;
    }
};

} // namespace

class PopupMessageTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        messages::ClosePopUpMsg();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!modal::topLevelNamed("TForm1000"));
    }

    void runningNoteStaysUntilClosed()
    {
        messages::ShowPopUpMsg(Running, 0, false, -1, -1, messages::SystemColor::InfoBackground);
        QVERIFY(messages::PopUpMsgIsOpen());
        QVERIFY(popup()->isVisible());
        QVERIFY(staysOnTop());
        QCOMPARE(popupLabel()->text(), Running);
        QVERIFY(!popupTimer()->isActive());

        QTest::mouseClick(popupLabel(), Qt::LeftButton);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::qWait(20);
        QVERIFY(messages::PopUpMsgIsOpen());
        QVERIFY(popup()->isVisible());

        messages::ClosePopUpMsg();
        QVERIFY(!messages::PopUpMsgIsOpen());
        QVERIFY(!popup());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!modal::topLevelNamed("TForm1000"));
    }

    void finishedNoteReusesTheRunningOne()
    {
        messages::ShowPopUpMsg(Running, 0, false, -1, -1, messages::SystemColor::InfoBackground);
        QPointer<QWidget> first = popup();
        const int runningWidth = first->width();
        messages::ShowPopUpMsg(Finished, 2, true, -1, -1, messages::SystemColor::InfoBackground);
        QCOMPARE(popup(), first.data());
        QCOMPARE(popupLabel()->text(), Finished);
        QVERIFY(first->width() < runningWidth);
        QVERIFY(!staysOnTop());
        QVERIFY(popupTimer()->isActive());
        QCOMPARE(popupTimer()->interval(), 2000);

        QTest::mouseClick(popupLabel(), Qt::LeftButton);
        QVERIFY(!messages::PopUpMsgIsOpen());
    }

    void clickOutsideTheTextDoesNothing()
    {
        messages::ShowPopUpMsg(Finished, 0, true, 10, 20, messages::SystemColor::InfoBackground);
        QTest::mouseClick(popup()->findChild<QFrame *>("Panel1"), Qt::LeftButton, {}, QPoint(1, 1));
        QTest::keyClick(popup(), Qt::Key_Escape);
        QVERIFY(messages::PopUpMsgIsOpen());
    }

    void timerClosesTheNote()
    {
        messages::ShowPopUpMsg(Finished, 1, true, 10, 20, messages::SystemColor::InfoBackground);
        QVERIFY(messages::PopUpMsgIsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!messages::PopUpMsgIsOpen(), 3000);
    }

    void timerRestartRule()
    {
        messages::ShowPopUpMsg(Finished, 2, true, 10, 20, messages::SystemColor::InfoBackground);
        QTest::qWait(600);
        messages::ShowPopUpMsg(Finished, 0, true, 10, 20, messages::SystemColor::InfoBackground);
        QVERIFY(popupTimer()->isActive());
        QVERIFY(popupTimer()->remainingTime() <= 1600);
        messages::ShowPopUpMsg(Finished, 3, true, 10, 20, messages::SystemColor::InfoBackground);
        QCOMPARE(popupTimer()->interval(), 3000);
        QVERIFY(popupTimer()->remainingTime() > 2500);
    }

    void losingTheActivationClosesAClickableNote()
    {
        messages::ShowPopUpMsg(Finished, 0, true, 10, 20, messages::SystemColor::InfoBackground);
        QVERIFY(QTest::qWaitForWindowActive(popup()));
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!messages::PopUpMsgIsOpen());
    }

    void sizeWrapsTheText()
    {
        messages::ShowPopUpMsg(Finished, 0, true, 10, 20, messages::SystemColor::InfoBackground);
        QLabel *label = popupLabel();
        QCOMPARE(label->pos(), QPoint(2, 2));
        QCOMPARE(label->width(), QFontMetrics(label->font()).horizontalAdvance(Finished));
        QCOMPARE(popup()->size(), label->size() + QSize(4, 4));
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->geometry(), popup()->rect());
    }

    void placementByY()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        messages::ShowPopUpMsg(Running, 0, false, 10, 20, messages::SystemColor::InfoBackground);
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(10, 20));

        messages::ShowPopUpMsg(Running, 0, false, screen.width() - 5, screen.height() - 5, messages::SystemColor::InfoBackground);
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(screen.width() - 5, screen.height() - 5));

        messages::ShowPopUpMsg(Running, 0, false, 0, -2, messages::SystemColor::InfoBackground);
        const QSize outer = popup()->frameGeometry().size();
        QCOMPARE(popup()->frameGeometry().topLeft(),
                 QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));

        QWidget main;
        main.setObjectName(messages::MainWindowObjectName);
        main.setGeometry(100, 100, 500, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        messages::ShowPopUpMsg(Running, 0, false, 0, -1, messages::SystemColor::InfoBackground);
        const QRect frame = main.frameGeometry();
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(frame.left() + (frame.width() - outer.width()) / 2,
                                                            frame.top() + (frame.height() - outer.height()) / 2));
    }

    void colourAndFont()
    {
        messages::PopupFont font{QFont("DejaVu Sans", 20), QColor(255, 0, 0)};
        font.font.setBold(true);
        messages::ShowPopUpMsg(Finished, 0, false, 10, 20, 0x00FF00, font);
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(popupLabel()->font().pointSize(), 20);
        QVERIFY(popupLabel()->font().bold());
        QCOMPARE(popupLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // A note after a close starts from the initial look again.
        messages::ClosePopUpMsg();
        messages::ShowPopUpMsg(Finished, 0, false, 10, 20, messages::SystemColor::InfoBackground);
        QCOMPARE(popupLabel()->font().pixelSize(), 13);
        QVERIFY(!popupLabel()->font().bold());
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::ToolTipBase));
    }

    void paintedBeforeReturning()
    {
        LabelPaintCounter counter;
        qApp->installEventFilter(&counter);
        messages::ShowPopUpMsg(Running, 0, false, -1, -1, messages::SystemColor::InfoBackground);
        const int paintedOnReturn = counter.count;
        qApp->removeEventFilter(&counter);
        QVERIFY(paintedOnReturn > 0);
    }

    void closeWithoutANoteDoesNothing()
    {
        QVERIFY(!messages::PopUpMsgIsOpen());
        messages::ClosePopUpMsg();
        QVERIFY(!messages::PopUpMsgIsOpen());
    }
};

QTEST_MAIN(PopupMessageTest)
#include "tst_popupmessage.moc"
