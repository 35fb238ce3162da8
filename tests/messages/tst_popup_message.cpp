#include "messages/place_centered.h"
#include "messages/popup_message.h"

#include "modal_helper.h"

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
        ClosePopUpMsg();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!topLevelNamed("TForm1000"));
    }

    void runningNoteStaysUntilClosed()
    {
        ShowPopUpMsg(Running, 0, false, -1, -1, SystemColor::InfoBackground);
        QVERIFY(PopUpMsgIsOpen());
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
        QVERIFY(PopUpMsgIsOpen());
        QVERIFY(popup()->isVisible());

        ClosePopUpMsg();
        QVERIFY(!PopUpMsgIsOpen());
        QVERIFY(!popup());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!topLevelNamed("TForm1000"));
    }

    void finishedNoteReusesTheRunningOne()
    {
        ShowPopUpMsg(Running, 0, false, -1, -1, SystemColor::InfoBackground);
        QPointer<QWidget> first = popup();
        const int runningWidth = first->width();
        ShowPopUpMsg(Finished, 2, true, -1, -1, SystemColor::InfoBackground);
        QCOMPARE(popup(), first.data());
        QCOMPARE(popupLabel()->text(), Finished);
        QVERIFY(first->width() < runningWidth);
        QVERIFY(!staysOnTop());
        QVERIFY(popupTimer()->isActive());
        QCOMPARE(popupTimer()->interval(), 2000);

        QTest::mouseClick(popupLabel(), Qt::LeftButton);
        QVERIFY(!PopUpMsgIsOpen());
    }

    void clickOutsideTheTextDoesNothing()
    {
        ShowPopUpMsg(Finished, 0, true, 10, 20, SystemColor::InfoBackground);
        QTest::mouseClick(popup()->findChild<QFrame *>("Panel1"), Qt::LeftButton, {}, QPoint(1, 1));
        QTest::keyClick(popup(), Qt::Key_Escape);
        QVERIFY(PopUpMsgIsOpen());
    }

    void timerClosesTheNote()
    {
        ShowPopUpMsg(Finished, 1, true, 10, 20, SystemColor::InfoBackground);
        QVERIFY(PopUpMsgIsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!PopUpMsgIsOpen(), 3000);
    }

    void timerRestartRule()
    {
        ShowPopUpMsg(Finished, 2, true, 10, 20, SystemColor::InfoBackground);
        QTest::qWait(600);
        ShowPopUpMsg(Finished, 0, true, 10, 20, SystemColor::InfoBackground);
        QVERIFY(popupTimer()->isActive());
        QVERIFY(popupTimer()->remainingTime() <= 1600);
        ShowPopUpMsg(Finished, 3, true, 10, 20, SystemColor::InfoBackground);
        QCOMPARE(popupTimer()->interval(), 3000);
        QVERIFY(popupTimer()->remainingTime() > 2500);
    }

    void losingTheActivationClosesAClickableNote()
    {
        ShowPopUpMsg(Finished, 0, true, 10, 20, SystemColor::InfoBackground);
        QVERIFY(QTest::qWaitForWindowActive(popup()));
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!PopUpMsgIsOpen());
    }

    void sizeWrapsTheText()
    {
        ShowPopUpMsg(Finished, 0, true, 10, 20, SystemColor::InfoBackground);
        QLabel *label = popupLabel();
        QCOMPARE(label->pos(), QPoint(2, 2));
        QCOMPARE(label->width(), QFontMetrics(label->font()).horizontalAdvance(Finished));
        QCOMPARE(popup()->size(), label->size() + QSize(4, 4));
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->geometry(), popup()->rect());
    }

    void placementByY()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        ShowPopUpMsg(Running, 0, false, 10, 20, SystemColor::InfoBackground);
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(10, 20));

        ShowPopUpMsg(Running, 0, false, screen.width() - 5, screen.height() - 5, SystemColor::InfoBackground);
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(screen.width() - 5, screen.height() - 5));

        ShowPopUpMsg(Running, 0, false, 0, -2, SystemColor::InfoBackground);
        const QSize outer = popup()->frameGeometry().size();
        QCOMPARE(popup()->frameGeometry().topLeft(),
                 QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));

        QWidget main;
        main.setObjectName(MainWindowObjectName);
        main.setGeometry(100, 100, 500, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        ShowPopUpMsg(Running, 0, false, 0, -1, SystemColor::InfoBackground);
        const QRect frame = main.frameGeometry();
        QCOMPARE(popup()->frameGeometry().topLeft(), QPoint(frame.left() + (frame.width() - outer.width()) / 2,
                                                            frame.top() + (frame.height() - outer.height()) / 2));
    }

    void colourAndFont()
    {
        PopupFont font{QFont("DejaVu Sans", 20), QColor(255, 0, 0)};
        font.font.setBold(true);
        ShowPopUpMsg(Finished, 0, false, 10, 20, 0x00FF00, font);
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(popupLabel()->font().pointSize(), 20);
        QVERIFY(popupLabel()->font().bold());
        QCOMPARE(popupLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // A note after a close starts from the initial look again.
        ClosePopUpMsg();
        ShowPopUpMsg(Finished, 0, false, 10, 20, SystemColor::InfoBackground);
        QCOMPARE(popupLabel()->font().pixelSize(), 13);
        QVERIFY(!popupLabel()->font().bold());
        QCOMPARE(popup()->findChild<QFrame *>("Panel1")->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::ToolTipBase));
    }

    void paintedBeforeReturning()
    {
        LabelPaintCounter counter;
        qApp->installEventFilter(&counter);
        ShowPopUpMsg(Running, 0, false, -1, -1, SystemColor::InfoBackground);
        const int paintedOnReturn = counter.count;
        qApp->removeEventFilter(&counter);
        QVERIFY(paintedOnReturn > 0);
    }

    void closeWithoutANoteDoesNothing()
    {
        QVERIFY(!PopUpMsgIsOpen());
        ClosePopUpMsg();
        QVERIFY(!PopUpMsgIsOpen());
    }
};

QTEST_MAIN(PopupMessageTest)
#include "tst_popup_message.moc"
