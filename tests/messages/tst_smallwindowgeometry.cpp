#include "messages/inputboxlayout.h"
#include "messages/placement.h"

#include <QtTest>

class SmallWindowGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void centredPosition_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<bool>("hasMain");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<bool>("mainVisible");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("expected");

        // The screen is 1024 x 768.
        QTest::newRow("no main window") << QSize(301, 201) << false << QRect() << false << QPoint(5, 5)
                                        << QPoint(361, 283);
        QTest::newRow("over the visible main window")
            << QSize(300, 200) << true << QRect(100, 50, 601, 401) << true << QPoint(5, 5) << QPoint(250, 150);
        QTest::newRow("visible main window off to the right")
            << QSize(300, 200) << true << QRect(900, 700, 400, 300) << true << QPoint(5, 5) << QPoint(724, 568);
        QTest::newRow("hidden main window: on the pointer")
            << QSize(301, 201) << true << QRect(100, 50, 600, 400) << false << QPoint(500, 400)
            << QPoint(350, 300);
        QTest::newRow("pointer near the bottom right corner")
            << QSize(300, 200) << true << QRect(0, 0, 10, 10) << false << QPoint(1020, 760) << QPoint(724, 568);
        QTest::newRow("pointer near the origin")
            << QSize(300, 200) << true << QRect(0, 0, 10, 10) << false << QPoint(3, 4) << QPoint(0, 0);
        QTest::newRow("larger than the screen") << QSize(2000, 1000) << false << QRect() << false << QPoint()
                                                << QPoint(0, 0);
    }

    void centredPosition()
    {
        QFETCH(QSize, window);
        QFETCH(bool, hasMain);
        QFETCH(QRect, main);
        QFETCH(bool, mainVisible);
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, expected);
        messages::PlacementContext context;
        context.screen = QSize(1024, 768);
        if (hasMain)
            context.mainWindow = main;
        context.mainWindowVisible = mainVisible;
        context.pointer = pointer;
        QCOMPARE(messages::CenteredPosition(window, context), expected);
    }

    void screenCentredIsNotClamped()
    {
        QCOMPARE(messages::ScreenCentredPosition(QSize(301, 201), QSize(1024, 768)), QPoint(361, 283));
        QCOMPARE(messages::ScreenCentredPosition(QSize(2000, 1000), QSize(1024, 768)), QPoint(-488, -116));
    }

    void inputBoxLayout_data()
    {
        QTest::addColumn<QSize>("label");
        QTest::addColumn<int>("editWidth");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("panel");
        QTest::addColumn<QRect>("edit");
        QTest::addColumn<QRect>("ok");
        QTest::addColumn<QRect>("cancel");

        // Narrow prompt: the second button's right edge (179) sets the width.
        QTest::newRow("column letter") << QSize(100, 78) << 25 << QSize(211, 94) << QRect(8, 8, 195, 78)
                                       << QRect(85, 13, 25, 24) << QRect(15, 45, 75, 25)
                                       << QRect(105, 45, 75, 25);
        // Wide and tall prompt: the label sets both extents.
        QTest::newRow("long prompt") << QSize(300, 130) << 50 << QSize(332, 146) << QRect(8, 8, 316, 130)
                                     << QRect(133, 65, 50, 24) << QRect(55, 97, 75, 25)
                                     << QRect(185, 97, 75, 25);
        // A wide edit line sets the width; a short label leaves the buttons' 73.
        QTest::newRow("wide edit line") << QSize(50, 40) << 250 << QSize(290, 89) << QRect(8, 8, 274, 73)
                                        << QRect(12, 8, 250, 24) << QRect(41, 40, 75, 25)
                                        << QRect(157, 40, 75, 25);
    }

    void inputBoxLayout()
    {
        QFETCH(QSize, label);
        QFETCH(int, editWidth);
        const messages::InputBoxLayout layout = messages::LayOutInputBox(label, editWidth);
        QTEST(layout.clientSize, "client");
        QTEST(layout.panel, "panel");
        QTEST(layout.edit, "edit");
        QTEST(layout.okButton, "ok");
        QTEST(layout.cancelButton, "cancel");
        QCOMPARE(layout.label, QRect(QPoint(8, 8), label));
    }
};

QTEST_GUILESS_MAIN(SmallWindowGeometryTest)
#include "tst_smallwindowgeometry.moc"
